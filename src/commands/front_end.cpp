// Receiver gains and front end (AF, RF, squelch, AGC, attenuator, pre-amplifier, antenna,
// roofing filter) and the panel functions (dual receive, fast tuning, dial lock, dimmer, power,
// meter selection). Each checks its capability entry, sends, stores what it sent and never waits
// for the radio's answer.
#include <array>

#include "commands/command_helpers.h"
#include "host/convert.h"
#include "host/scales.h"
#include "parser/panorama.h"

namespace veltro::detail {

namespace {

// AF gain, RF gain and squelch: the capability entry is the number of receivers with the control.
bool SetReceiverLevel(ProtocolImpl& p, std::int16_t entry, std::string_view letters,
                      std::string_view receiver_digit, std::int16_t receiver,
                      std::int16_t wire_level, std::array<std::int16_t, 2>& field,
                      std::int16_t level) {
  std::int16_t receivers = p.state.Property[entry];
  if (receivers == 0 || receiver < 0 || receiver > receivers - 1 || receiver > 1) return false;
  p.PausePolling();
  p.Send(std::string(letters) + std::string(receiver_digit) + PadLeft(DecimalText(wire_level), 3));
  field[receiver] = level;
  return true;
}

constexpr Selector kAGC{2, SelectorRange::kUpToEntry, "GT0"};
constexpr Selector kAtt{4, SelectorRange::kUpToEntry, "RA0"};
constexpr Selector kPreAmp{23, SelectorRange::kUpToEntry, "PA0"};
constexpr Selector kAntenna{3, SelectorRange::kUpToEntry, "AN0", 1};
constexpr Selector kRoofing{58, SelectorRange::kUpToEntry, "RF0"};

// Tuning step in hertz for (mode, fast 0/1), by profile.
struct TuningSteps {
  float slow, fast;
};

TuningSteps StepsFor(bool ft891, std::int16_t mode) {
  if (!ft891) {
    switch (mode) {
      case 0:
      case 1:
      case 2:
      case 5:
      case 6:
        return {1, 10};
      default:
        return {10, 100};
    }
  }
  switch (mode) {
    case 2:
    case 5:
    case 6:
      return {5, 100};
    case 3:
      return {100, 100};
    case 4:
      return {100, 1000};
    default:
      return {10, 100};
  }
}

constexpr std::int16_t kMeterSelectorMax = 10;

}  // namespace

}  // namespace veltro::detail

namespace veltro {

using detail::SetSelector;

VBool FTDX10_Protocol::SetAFLevel(std::int16_t Receiver, std::int16_t Level) {
  auto& s = impl_->state;
  if (Level < 0) return kFalse;
  return ToVBool(detail::SetReceiverLevel(*impl_, 1, "AG", detail::DecimalText(Receiver), Receiver,
                                          Level, s.AFLevel, Level));
}

VBool FTDX10_Protocol::SetSQLevel(std::int16_t Receiver, std::int16_t Level) {
  auto& s = impl_->state;
  if (Level < 0) return kFalse;
  return ToVBool(detail::SetReceiverLevel(*impl_, 29, "SQ", detail::DecimalText(Receiver), Receiver,
                                          Level, s.SQLevel, Level));
}

VBool FTDX10_Protocol::SetRFLevel(std::int16_t Receiver, std::int16_t Level) {
  auto& s = impl_->state;
  if (Level < 0) return kFalse;
  // The radio's RF gain runs the other way: host 0 is full gain.
  std::int16_t wire = detail::RFGainToRadio(Level, s.RGScale);
  return ToVBool(detail::SetReceiverLevel(*impl_, 25, "RG", "0", Receiver, wire, s.RFLevel, Level));
}

VBool FTDX10_Protocol::SetAGC(std::int16_t AGC) {
  return ToVBool(SetSelector(*impl_, detail::kAGC, AGC, &impl_->state.AGC).has_value());
}

VBool FTDX10_Protocol::SetAtt(std::int16_t Att) {
  auto text = SetSelector(*impl_, detail::kAtt, Att, &impl_->state.Att);
  if (text) detail::SaveAtt(impl_->lib, *text);
  return ToVBool(text.has_value());
}

VBool FTDX10_Protocol::SetPreAmp(std::int16_t PreAmp) {
  auto text = SetSelector(*impl_, detail::kPreAmp, PreAmp, &impl_->state.PreAmp);
  if (text) detail::SavePre(impl_->lib, *text);
  return ToVBool(text.has_value());
}

VBool FTDX10_Protocol::SetAntenna(std::int16_t Antenna) {
  return ToVBool(SetSelector(*impl_, detail::kAntenna, Antenna, &impl_->state.Antenna).has_value());
}

VBool FTDX10_Protocol::SetRFT(std::int16_t Receiver, std::int16_t RFT) {
  auto& p = *impl_;
  if (Receiver < 0 || Receiver > 1) return kFalse;
  if (!SetSelector(p, detail::kRoofing, RFT, &p.state.RFT[Receiver])) return kFalse;
  // A new roofing filter may change the width and shift the radio reports.
  p.Send("SH0");
  p.Send("IS0");
  return kTrue;
}

VBool FTDX10_Protocol::SetDual(std::int16_t Dual) {
  auto& p = *impl_;
  if (p.state.Property[10] == 0 || Dual < 0) return kFalse;
  p.Send(Dual == 0 ? "FR0" : "FR2");
  p.state.Dual = Dual;
  return kTrue;
}

VBool FTDX10_Protocol::SetFast(std::int16_t Fast) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[11] == 0 || Fast < 0) return kFalse;
  bool ft891 = detail::Ft891Profile(p);
  detail::TuningSteps steps = detail::StepsFor(ft891, s.Mode);
  if (Fast == 0) s.TuningStep = steps.slow;
  if (Fast == 1) s.TuningStep = steps.fast;
  std::string text = ft891 ? "FS" : "FN";
  // Without a valid switch value or VFO the bare letters go out, which reads the setting back.
  if ((Fast == 0 || Fast == 1) && (s.VFO == 0 || s.VFO == 1)) {
    text += ft891 ? detail::DecimalText(2 * s.VFO + Fast) : (Fast == 0 ? "1" : "0");
  }
  p.Send(text);
  s.Fast = Fast;
  return kTrue;
}

VBool FTDX10_Protocol::SetLockDial(std::int16_t Dial) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[15] == 0 || Dial < 0) return kFalse;
  // Codes 2 and 3 lock VFO B.
  if (s.VFO == 0) p.Send("LK" + detail::DecimalText(Dial));
  if (s.VFO == 1) p.Send("LK" + detail::DecimalText(Dial + 2));
  s.LockDial = Dial;
  return kTrue;
}

VBool FTDX10_Protocol::SetDimLevel(std::int16_t Level) {
  auto& p = *impl_;
  std::int16_t top = p.state.Property[9];
  if (top == 0 || Level < 0 || Level > top) return kFalse;
  std::string d = detail::PadLeft(detail::DecimalText(Level), 2);
  // The FT-891 has four dimmer fields, the FTDX10 a fixed "00" and three.
  p.Send("DA" + (detail::Ft891Profile(p) ? d : std::string("00")) + d + d + d);
  p.state.DimLevel = Level;
  return kTrue;
}

VBool FTDX10_Protocol::SetPowerON(std::int16_t State) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[22] == 0 || State < 0) return kFalse;
  // Until the radio reports its auto-information setting again the level poll stays idle.
  s.AIState = -1;
  p.Send("PS" + detail::DecimalText(State));
  if (State == 1) {
    // A radio that was off needs a first "PS1" to wake and a second one to switch on.
    p.clock().SleepMs(1000);
    p.Send("PS1");
    std::int16_t on = 1;
    SetCAT(on);
  }
  s.CAT = State;
  s.PowerON = State;
  return kTrue;
}

VBool FTDX10_Protocol::SetMeterSW(std::int16_t MS) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[71] == 0 || MS < 0 || MS > detail::kMeterSelectorMax) return kFalse;
  p.Send("MS" + detail::DecimalText(MS));
  s.MeterSW = MS;
  s.MeterCaption = s.MeterNames[MS];
  if (!detail::Ft891Profile(p)) s.MeterIndex = detail::MeterIndexOf(MS);
  p.Send("MS");
  p.Send("RM" + s.MeterIndex);
  return kTrue;
}

}  // namespace veltro
