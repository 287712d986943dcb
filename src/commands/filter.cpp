// The receive passband: cut-off pairs per filter and mode, the width step and IF shift they turn
// into, direct shift and width, contour and audio peak filter.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "commands/command_helpers.h"
#include "host/convert.h"
#include "host/filter_width.h"
#include "host/scales.h"
#include "parser/panorama.h"

namespace veltro::detail {

namespace {

// Width code on the host's 0..255 scale, copied into the capability table; entry 56 0 (no steps
// known) leaves both alone.
void StoreWidthCode(RadioState& s, std::int16_t step, bool limit) {
  std::int16_t steps = s.Property[56];
  if (steps == 0) return;
  std::int16_t code = WidthCodeOfStep(step, steps);
  if (limit) code = std::min<std::int16_t>(code, 255);
  s.WidthCode = code;
  s.Property[49] = code;
}

// "IS0" + prefix + sign + four digits, sent and kept for the panorama display. The radio's sign
// is the opposite of the host's IF shift.
void SendShift(ProtocolImpl& p, char sign, std::int32_t hz) {
  std::string text = "IS0" + p.state.FilterPrefix + sign + PadLeft(DecimalText(hz), 4);
  p.Send(text);
  SaveIFS(p, text);
}

// Sends a width step text and keeps its width for the panorama display; `tag` tells filter
// settings with the same step apart (the FTDX10's roofing filter).
void SendWidth(ProtocolImpl& p, const std::string& text, std::int16_t mode, std::int16_t tag) {
  p.Send(text);
  SaveFW(p, text, mode, p.state.Property[57], tag);
}

constexpr std::int16_t kIFShiftMax = 128;
constexpr std::int16_t kWidthBase = 1000, kWidthTop = 1255;
constexpr std::int32_t kPassbandCentre = 1500, kCentreMin = 500, kCentreMax = 2500;

void CheckFilterCell(std::int16_t filter, std::int16_t mode) {
  if (filter < 0 || filter >= kFilterRows || mode < 0 || mode >= kFilterModes) {
    throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
  }
}

// The contour and the audio peak filter share the "CO" command; its function digit is 0 for the
// contour switch, 1 the contour frequency, 2 the APF switch and 3 the APF frequency.
void SendCoSwitch(ProtocolImpl& p, char function, std::int16_t on) {
  p.Send(std::string("CO0") + function + "000" + DecimalText(on));
  p.Send("CO00");
}

// A frequency value as four digits, then a read of it.
void SendCoValue(ProtocolImpl& p, char function, std::int16_t value) {
  std::string command = std::string("CO0") + function;
  p.Send(command + PadLeft(DecimalText(value), 4));
  p.Send(command);
}

// The gate both share. Past it every Param, also one neither knows, marks the status changed.
template <typename Apply>
VBool SetContourPart(ProtocolImpl& p, Apply apply) {
  if (p.state.Property[50] < 3) return kFalse;
  apply();
  p.state.StatusChange = kTrue;
  return kTrue;
}

}  // namespace

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetCutFilter(std::int16_t Low, std::int16_t High, std::int16_t Filter,
                                    std::int16_t Mode) {
  auto& s = impl_->state;
  if (s.Property[38] == 0) return kFalse;
  detail::CheckFilterCell(Filter, Mode);
  s.LowCutFilter[Filter][Mode] = Low;
  s.HighCutFilter[Filter][Mode] = High;
  return kTrue;
}

VBool FTDX10_Protocol::SetFilter(std::int16_t Filter, std::int16_t Mode, std::int16_t) {
  auto& p = *impl_;
  auto& s = p.state;
  std::int16_t filters = s.Property[12];
  if (filters == 0 || Filter > filters || Mode != s.Mode) return kFalse;
  if (Mode < 0 || Mode > 6) return kFalse;
  bool ft891 = detail::Ft891Profile(p);

  if (Mode == 3 || Mode == 4) {
    p.Send(Filter == 0 ? "NA00" : "NA01");
    s.Property[57] = Filter == 0 ? 0 : 1;
    if (!ft891) {
      p.Send("RF01");
      s.RFT[0] = 1;
    }
    p.ApplyFilterDefaults(Mode);
  } else {
    // AM and FM above never read the cut tables; here a filter outside them fails with error 9
    // and a width beyond 16 bits with error 6, before anything is sent.
    detail::CheckFilterCell(Filter, Mode);
    std::int16_t low = s.LowCutFilter[Filter][Mode];
    std::int16_t high = s.HighCutFilter[Filter][Mode];
    std::int16_t width = detail::RoundToInt16(static_cast<double>(high) - low);
    detail::WidthStep ws = detail::WidthCommand(width, Mode, ft891);
    if (ft891) {
      p.Send(ws.narrow ? "NA01" : "NA00");
    } else {
      // Roofing filter 2 for voice, 4 for CW and data.
      s.RFT[0] = Mode <= 1 ? 2 : 4;
      p.Send("RF0" + detail::DecimalText(s.RFT[0]));
    }
    p.Send("SH0000");
    // The narrow setting is still the previous one here: the width saved for step 0 follows it.
    detail::SendWidth(p, ws.text, Mode, ft891 ? 0 : s.RFT[0]);
    detail::StoreWidthCode(s, ws.step, true);
    s.Property[57] = ws.narrow ? 1 : 0;

    char sign = '+';
    std::int32_t hz = 0;
    if (Mode <= 1) {
      // A pass-band sum beyond 16 bits fails here, with the width already sent.
      std::int32_t centre =
          detail::RoundToInt16(detail::RoundToInt16(static_cast<double>(low) + high) / 2.0);
      sign = centre >= detail::kPassbandCentre ? '+' : '-';
      centre = std::clamp(centre, detail::kCentreMin, detail::kCentreMax);
      hz = std::abs(centre - detail::kPassbandCentre);
    }
    detail::SendShift(p, sign, hz);
    std::int16_t shift = detail::IFShiftToHost(hz);
    s.IFShift = sign == '+' ? static_cast<std::int16_t>(-shift) : shift;
  }
  s.Filter = Filter;
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetIFShift(std::int16_t Level) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[43] == 0) return kFalse;
  p.PausePolling();
  if (Level < detail::kWidthBase) {
    if (Level < -detail::kIFShiftMax || Level > detail::kIFShiftMax) return kFalse;
    detail::SendShift(p, Level < 0 ? '+' : '-', detail::IFShiftToRadio(Level));
    s.IFShift = Level;
    return kTrue;
  }
  // 1000..1255 sets the width directly on the 0..255 scale.
  if (s.Property[48] == 0 || Level > detail::kWidthTop) return kFalse;
  bool ft891 = detail::Ft891Profile(p);
  std::int16_t lowest = 0, highest = 0;
  if (!detail::WidthStepLimits(ft891, s.Mode, s.Property[57] != 0, lowest, highest)) return kFalse;
  std::int16_t steps = s.Property[56];
  std::int16_t step =
      detail::WidthStepOfCode(static_cast<std::int16_t>(Level - detail::kWidthBase), steps);
  step = std::max(std::min(step, highest), lowest);
  detail::SendWidth(p, "SH0" + s.FilterPrefix + detail::PadLeft(detail::DecimalText(step), 2),
                    s.Mode, ft891 ? 0 : s.RFT[0]);
  detail::StoreWidthCode(s, step, false);
  return kTrue;
}

VBool FTDX10_Protocol::SetContour(std::int16_t Param, std::int16_t Value) {
  auto& p = *impl_;
  auto& s = p.state;
  return detail::SetContourPart(p, [&] {
    switch (Param) {
      case 0:
        detail::SendCoSwitch(p, '0', Value);
        s.ContourState = Value;
        break;
      case 1: {
        std::int16_t hz = detail::ContourFreqToRadio(Value);
        detail::SendCoValue(p, '1', hz);
        s.Property[51] = Value;
        s.ContourLevel = Value;
        // Before the level menu has been read or set the sign is 0, and so is the frequency.
        s.FContour = static_cast<std::int16_t>(s.ContourSign * hz);
        break;
      }
      case 2:
        p.Send(s.ContourLevelMenu + (Value >= 0 ? "+" : "-") +
               detail::PadLeft(detail::DecimalText(std::abs(int{Value})), 2));
        s.ContourSign = Value < 0 ? -1 : 1;
        s.FContour = static_cast<std::int16_t>(std::abs(s.FContour) * s.ContourSign);
        break;
      case 3:
        p.Send(s.ContourLevelMenu2 + detail::PadLeft(detail::DecimalText(Value), 2));
        break;
      default:
        break;
    }
  });
}

VBool FTDX10_Protocol::SetAPF(std::int16_t Param, std::int16_t Value) {
  auto& p = *impl_;
  auto& s = p.state;
  return detail::SetContourPart(p, [&] {
    if (Param == 0) {
      detail::SendCoSwitch(p, '2', Value);
      p.Send("CO030025");  // the peak back to the centre
      s.APFState = Value;
    } else if (Param == 1) {
      std::int16_t n = detail::APFToRadio(Value);
      detail::SendCoValue(p, '3', n);
      s.APFLevel = Value;
      // 0..50 spans -250..+250 Hz around the centre.
      s.APFOffset = static_cast<std::int16_t>(std::floor(n / 50.0 * 500 - 250));
    }
  });
}

}  // namespace veltro
