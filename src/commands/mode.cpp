// Operating mode and data mode. The characters come from the encoding table beside the decoding
// table (host/mode_chars.h); which modes the radio takes comes from its capability entry.
#include <string>

#include "commands/encoding.h"
#include "host/convert.h"
#include "host/mode_chars.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

constexpr std::size_t kModeCapability = 16;  // bit m: host mode m may be set
constexpr std::size_t kDataCapability = 78;  // highest data value accepted
constexpr std::int16_t kFM = 4;

}  // namespace

std::array<std::int32_t, 11> CapabilityBits(float value) {
  std::array<std::int32_t, 11> bits{};
  for (int i = 1; i <= 10; ++i) {
    const std::int32_t weight = 1 << (10 - i);
    // Integer division truncates toward zero, so a negative value sets no bit at all.
    const std::int32_t entry = RoundToInt32(value) / weight;
    bits[static_cast<std::size_t>(11 - i)] = entry;
    value -= static_cast<float>(weight) * static_cast<float>(entry);
  }
  return bits;
}

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetMode(std::int16_t& Mode, std::int16_t Reverse) {
  auto& p = *impl_;
  auto& s = p.state;
  try {
    const std::int16_t capability = s.Property[detail::kModeCapability];
    if (capability == 0 || s.MemMode == 1) return kFalse;
    const auto bits = detail::CapabilityBits(capability);
    const int index = Mode + 1;
    if (index < 0 || index >= static_cast<int>(bits.size())) {
      throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
    }
    const bool allowed = bits[static_cast<std::size_t>(index)] == 1 || (bits[9] == 1 && Mode == 6);
    if (!allowed) return kFalse;
    std::string command = "MD0";
    if (auto c = detail::EncodeModeChar(Mode, Reverse, 0)) command += *c;
    if (Mode == 7) Mode = detail::kFM;
    p.Send(command);
    s.Mode = Mode;
    s.DataMode = 0;
    // The radio may move the frequency with the mode; it is sent again.
    SetFreq(s.Freq);
    if (s.MemMode == 0) {
      if (s.VFO == 0) s.VFOA_Mode = Mode;
      if (s.VFO == 1) s.VFOB_Mode = Mode;
    }
    s.Reverse = Reverse;
    if (Mode == detail::kFM) p.FMStatusQuery();
    p.Send("BI");
    return kTrue;
  } catch (...) {
    return kFalse;
  }
}

// No memory-mode check and no frequency re-sent: the data variants only retag the mode; the
// per-VFO modes follow from the radio's answer.
VBool FTDX10_Protocol::SetDataMode(std::int16_t Mode, std::int16_t Data, std::int16_t /*Reverse*/,
                                   std::int16_t /*Filter*/) {
  auto& p = *impl_;
  auto& s = p.state;
  if (Data > s.Property[detail::kDataCapability]) return kFalse;
  if (Mode != 0 && Mode != 1 && Mode != detail::kFM) return kFalse;
  std::string command = "MD0";
  if (auto c = detail::EncodeModeChar(Mode, 0, Data)) command += *c;
  p.Send(command);
  s.Mode = Mode;
  s.Reverse = 0;
  s.DataMode = Data;
  return kTrue;
}

}  // namespace veltro
