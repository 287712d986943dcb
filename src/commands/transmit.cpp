// Transmit side: keying, the antenna tuner, power, microphone gain, processor, equaliser, VOX,
// monitor and TX watch; and SetData, the multi-purpose entry that can hold all output back.
#include <algorithm>
#include <cmath>

#include "commands/command_helpers.h"
#include "host/convert.h"
#include "host/scales.h"

namespace veltro::detail {

namespace {

constexpr Selector kPTT{24, SelectorRange::kSwitch, "TX"};
constexpr Selector kTuner{31, SelectorRange::kSwitch, "AC00"};
constexpr Selector kComp{8, SelectorRange::kSwitch, "PR0"};
constexpr Selector kTXEQ{62, SelectorRange::kSwitch, "PR1"};
constexpr Selector kVox{35, SelectorRange::kSwitch, "VX"};
constexpr Selector kTXWatch{70, SelectorRange::kSwitch, "TS"};

constexpr std::int16_t kPowerMin = 5, kPowerMax = 100;

// SetData's sub-functions.
enum DataFunction : std::int16_t {
  kSuspendOutput = 1,
  kContour = 3,
  kContourStep = 4,
  kNarrow = 6,
};

// The contour part of SetData: on/off (what 0) or level on the 0..255 scale (what 1).
void DataContour(ProtocolImpl& p, std::int16_t what, double d) {
  if (p.state.Property[50] == 0) return;
  double v = std::floor(d + 0.01);
  if (what == 0) {
    // Any value but 0 and 1 leaves the bare read request.
    p.Send(v == 0 ? "CO0000" : v == 1 ? "CO0001" : "CO00");
  } else if (what == 1) {
    // A NaN or a level beyond 16 bits fails as an overflow before anything is sent.
    p.Send("CO01" + PadLeft(DecimalText(ContourStepToRadio(RoundToInt16(v))), 2));
  }
}

}  // namespace

}  // namespace veltro::detail

namespace veltro {

using detail::SetSelector;

VBool FTDX10_Protocol::SetPTT(std::int16_t PTT) {
  return ToVBool(SetSelector(*impl_, detail::kPTT, PTT, &impl_->state.PTT).has_value());
}

VBool FTDX10_Protocol::SetStartTuner() {
  auto& p = *impl_;
  if (p.state.Property[36] == 0) return kFalse;
  p.Send("AC002");
  return kTrue;
}

VBool FTDX10_Protocol::SetTuner(std::int16_t Tuner) {
  auto& p = *impl_;
  auto& s = p.state;
  // Asking for the state the tuner is already in sends nothing but still succeeds.
  if (Tuner == s.Tuner && s.Property[detail::kTuner.entry] != 0 && Tuner >= 0 && Tuner <= 1) {
    return kTrue;
  }
  return ToVBool(SetSelector(p, detail::kTuner, Tuner, &s.Tuner).has_value());
}

VBool FTDX10_Protocol::SetRFPower(std::int16_t Power) {
  auto& p = *impl_;
  if (p.state.Property[26] == 0) return kFalse;
  p.PausePolling();
  std::int16_t w = std::clamp(Power, detail::kPowerMin, detail::kPowerMax);
  p.Send("PC" + detail::PadLeft(detail::DecimalText(w), 3));
  p.state.RFPower = w;
  return kTrue;
}

VBool FTDX10_Protocol::SetMicGain(std::int16_t MG) {
  auto& p = *impl_;
  p.Send("MG" + detail::PadLeft(detail::DecimalText(detail::MicGainToRadio(MG)), 3));
  p.state.MicGain = MG;
  return kTrue;
}

VBool FTDX10_Protocol::SetComp(std::int16_t Comp) {
  auto& s = impl_->state;
  if (!SetSelector(*impl_, detail::kComp, Comp, &s.Comp)) return kFalse;
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetTXEQ(std::int16_t TXEQ) {
  auto& s = impl_->state;
  if (!SetSelector(*impl_, detail::kTXEQ, TXEQ, &s.TXEQ)) return kFalse;
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetVox(std::int16_t Vox) {
  return ToVBool(SetSelector(*impl_, detail::kVox, Vox, &impl_->state.Vox).has_value());
}

VBool FTDX10_Protocol::SetMonitor(std::int16_t P1, std::int16_t P2) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[63] == 0) return kFalse;
  if (P1 == 0) {
    p.Send("ML000" + detail::DecimalText(P2));
    s.Monitor = P2;
  } else if (P1 == 1) {
    p.Send("ML1" + detail::PadLeft(detail::DecimalText(detail::MonitorLevelToRadio(P2)), 3));
    s.MonitorLevel = P2;
  } else {
    p.Send("ML");
  }
  return kTrue;
}

VBool FTDX10_Protocol::setTXW(std::int16_t State) {
  return ToVBool(SetSelector(*impl_, detail::kTXWatch, State, &impl_->state.TXW).has_value());
}

VBool FTDX10_Protocol::SetData(std::int16_t L1, std::int16_t L2, double D, const std::string&) {
  auto& p = *impl_;
  auto& s = p.state;
  switch (L1) {
    case detail::kSuspendOutput:
      if (L2 == 0) p.module().SendSuspended = kTrue;
      if (L2 == 1) p.module().SendSuspended = kFalse;
      break;
    case detail::kContour:
      detail::DataContour(p, L2, D);
      break;
    case detail::kContourStep:
      if (L2 == -1) p.Send(s.ContourLevelMenuDown + "-15");
      if (L2 == 1) p.Send(s.ContourLevelMenuUp + "+15");
      break;
    case detail::kNarrow:
      s.Property[57] = L2;
      p.Send("NA0" + detail::DecimalText(L2));
      break;
    default:
      break;
  }
  return kFalse;
}

}  // namespace veltro
