// CW and message work: break-in and its delay, the keyer and its speed, pitch, spot and zero-in,
// the stored keyer messages and the voice message player.
#include <algorithm>
#include <cmath>

#include "commands/command_helpers.h"
#include "host/convert.h"
#include "host/scales.h"

namespace veltro::detail {

namespace {

constexpr Selector kBreakIn{60, SelectorRange::kAny, "BI"};
constexpr Selector kSpot{69, SelectorRange::kAny, "CS"};
constexpr Selector kVoiceMessage{67, SelectorRange::kUpToEntry, "PB0"};

constexpr SwitchLevel kKeyer{"KR1", "KR0", "KS", 3};

// The radio's keyer memories take at most this many characters.
constexpr std::size_t kKeyerMessageMax = 40;

std::string UpperCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
  return out;
}

}  // namespace

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetBK(std::int16_t BK) {
  return ToVBool(detail::SetSelector(*impl_, detail::kBreakIn, BK, &impl_->state.BK).has_value());
}

VBool FTDX10_Protocol::SetBKIn(std::int16_t BKIn) {
  auto& p = *impl_;
  auto& s = p.state;
  std::int16_t top = s.Property[5];
  if (top == 0 || BKIn < 0 || BKIn > top) return kFalse;
  if (BKIn != 0) {
    p.Send(s.FullBKMenu + "0");
    p.Send("SD" + detail::BreakInDelayText(BKIn, detail::Ft891Profile(p)));
    s.FullBK = 0;
  } else {
    // Delay 0 is full break-in, a menu switch of its own.
    p.Send(s.FullBKMenu + "1");
    s.FullBK = 1;
  }
  s.BKIn = BKIn;
  return kTrue;
}

VBool FTDX10_Protocol::SetKeyerSpeed(std::int16_t KeyerSpeed) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[14] == 0 || KeyerSpeed < 0) return kFalse;
  p.PausePolling();
  std::int16_t wpm = detail::KeyerSpeedToRadio(KeyerSpeed);
  if (detail::SendSwitchLevel(p, detail::kKeyer, {s.KeyerSpeed, s.KeyerOn, s.KeyerLevel},
                              KeyerSpeed, wpm)) {
    s.StatusChange = kTrue;
  }
  if (KeyerSpeed != 0) s.KeyerWPM = wpm;
  return kTrue;
}

VBool FTDX10_Protocol::SetPitch(std::int16_t Pitch) {
  auto& p = *impl_;
  if (p.state.Property[21] == 0 || Pitch < 0) return kFalse;
  // Codes 0..75 cover 300..1050 Hz; other pitches go out as computed and the radio judges them.
  std::int16_t code = detail::PitchToRadio(Pitch);
  p.Send("KP" + std::string(code < 10 ? "0" : "") + detail::DecimalText(code));
  p.state.Pitch = Pitch;
  return kTrue;
}

VBool FTDX10_Protocol::SetSpot(std::int16_t State) {
  return ToVBool(detail::SetSelector(*impl_, detail::kSpot, State, nullptr).has_value());
}

VBool FTDX10_Protocol::SetZeroIN() {
  auto& p = *impl_;
  if (p.state.Property[69] < 1) return kFalse;
  p.Send("ZI");
  return kTrue;
}

VBool FTDX10_Protocol::SetVoiceMessage(std::int16_t MSG) {
  return ToVBool(detail::SetSelector(*impl_, detail::kVoiceMessage, MSG, nullptr).has_value());
}

VBool FTDX10_Protocol::SetKeyerMessage(std::int16_t LOAD, std::int16_t MSG,
                                       const std::string& MESS) {
  auto& p = *impl_;
  std::int16_t top = p.state.Property[66];
  if (top == 0 || MSG < 0 || MSG > top || LOAD < 0) return kFalse;
  if (LOAD == 0) {
    // Messages 1..5 play with "KY6".."KYA".
    std::int16_t code = static_cast<std::int16_t>(MSG + 5);
    p.Send("KY" + (code == 10 ? std::string("A") : detail::DecimalText(code)));
  } else if (LOAD == 1) {
    std::string text = detail::UpperCase(MESS).substr(0, detail::kKeyerMessageMax);
    // A ";" would end the command early and the rest would reach the radio as a command.
    if (text.find(';') != std::string::npos) return kFalse;
    p.Send("KM" + detail::DecimalText(MSG) + std::string(detail::Trim(text)));
  }
  return kTrue;
}

}  // namespace veltro
