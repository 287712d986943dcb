// Noise blanker, noise reduction, manual and automatic notch. Noise reduction and the manual
// notch have a switch and a level on the radio but one number at the host; the blanker keeps a
// level per type.
#include "commands/command_helpers.h"
#include "host/convert.h"

namespace veltro::detail {

namespace {

constexpr SwitchLevel kNoiseReduction{"NR01", "NR00", "RL0", 2};
constexpr SwitchLevel kNotch{"BP00001", "BP00000", "BP01", 3};

constexpr Selector kBlankerType{61, SelectorRange::kUpToEntry, "NB0"};
constexpr Selector kAutoNotch{44, SelectorRange::kAny, "BC0"};

// Both functions take levels up to their capability entry.
bool LevelAllowed(ProtocolImpl& p, std::int16_t entry, std::int16_t level) {
  std::int16_t top = p.state.Property[entry];
  return top != 0 && level >= 0 && level <= top;
}

// The record of the blanker type not given (types are 1 and 2).
NoiseBlankerRecord& OtherBlanker(RadioState& s, std::int16_t type) {
  return s.NBRecord[type == 1 ? 2 : 1];
}

}  // namespace

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetNBType(std::int16_t NBType) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::SetSelector(p, detail::kBlankerType, NBType, nullptr)) return kFalse;
  if (NBType != 0) {
    // Capability entries never exceed 2 on either profile, so the type indexes a record.
    auto& rec = s.NBRecord[NBType];
    rec.On = 1;
    detail::OtherBlanker(s, NBType).On = 0;
    s.NB = rec.Level;
    p.Send(rec.Query);
  } else {
    s.NBRecord[1].On = 0;
    s.NBRecord[2].On = 0;
  }
  s.NBType = NBType;
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetNB(std::int16_t NB) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::LevelAllowed(p, 17, NB)) return kFalse;
  p.PausePolling();
  // With the blanker off (or a type the radio reported but the library has no record for) there
  // is no level to set.
  if (s.NBType < 1 || s.NBType > 2) return kFalse;
  auto& rec = s.NBRecord[s.NBType];
  p.Send(rec.Query + detail::PadLeft(detail::DecimalText(NB), 3));
  rec.On = 1;
  detail::OtherBlanker(s, s.NBType).On = 0;
  rec.Level = NB;
  s.NB = NB;
  s.StatusChange = kTrue;
  return kTrue;
}

std::int16_t FTDX10_Protocol::SetNR(std::int16_t NR) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::LevelAllowed(p, 19, NR)) return kFalse.value();
  p.PausePolling();
  if (detail::SendSwitchLevel(p, detail::kNoiseReduction, {s.NR, s.NROn, s.NRLevel}, NR, NR)) {
    s.StatusChange = kTrue;
  }
  return kTrue.value();
}

VBool FTDX10_Protocol::SetNF(std::int16_t NF) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::LevelAllowed(p, 18, NF)) return kFalse;
  p.PausePolling();
  detail::SendSwitchLevel(p, detail::kNotch, {s.NF, s.NotchOn, s.NotchLevel}, NF, NF);
  // The notch value is in tens of hertz.
  if (NF != 0) s.FNotch = static_cast<std::int16_t>(NF * 10);
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetAutoNF(std::int16_t AutoNF) {
  auto& p = *impl_;
  if (!detail::SetSelector(p, detail::kAutoNotch, AutoNF, nullptr)) return kFalse;
  p.state.AutoNF = Variant(AutoNF);
  return kTrue;
}

}  // namespace veltro
