// The receive passband: cut-off pairs per filter and mode, the width step and IF shift they turn
// into, direct shift and width, contour and audio peak filter.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <span>

#include "commands/command_helpers.h"
#include "commands/filter_width.h"
#include "host/convert.h"
#include "host/scales.h"

namespace veltro::detail {

namespace {

// One row holds for widths up to and including `upto`; rows with step 0 are the gaps between
// FT-891 steps.
struct WidthRow {
  std::int32_t upto;
  std::int16_t step;
};

struct WidthTable {
  std::span<const WidthRow> rows;
  std::int16_t above;        // step for widths beyond the last row
  std::int16_t narrow_upto;  // steps 1..narrow_upto are narrow (FT-891); 0 = none
  std::int16_t lowest_wide;  // first step with the narrow setting off (direct width)
};

constexpr WidthRow kFtdx10Voice[] = {
    {299, 1},   {400, 2},   {600, 3},   {850, 4},   {1100, 5},  {1200, 6},  {1500, 7},  {1650, 8},
    {1800, 9},  {1950, 10}, {2100, 11}, {2250, 12}, {2400, 13}, {2450, 14}, {2500, 15}, {2600, 16},
    {2700, 17}, {2800, 18}, {2900, 19}, {3000, 20}, {3200, 21}, {3500, 22}};
constexpr WidthRow kFtdx10Narrow[] = {{49, 1},    {100, 2},  {150, 3},   {200, 4},   {250, 5},
                                      {300, 6},   {350, 7},  {400, 8},   {450, 9},   {500, 10},
                                      {600, 11},  {800, 12}, {1200, 13}, {1400, 14}, {1700, 15},
                                      {2000, 16}, {2400, 17}};
constexpr WidthRow kFt891Voice[] = {
    {199, 1},  {400, 2},   {600, 3},   {850, 4},   {1100, 5},  {1350, 6},  {1500, 7}, {1650, 8},
    {1800, 9}, {1950, 10}, {2100, 11}, {2200, 12}, {2249, 0},  {2300, 13}, {2399, 0}, {2400, 14},
    {2449, 0}, {2500, 15}, {2600, 16}, {2700, 17}, {2800, 18}, {2900, 19}, {3000, 20}};
constexpr WidthRow kFt891Narrow[] = {
    {49, 1},  {100, 2},  {150, 3},  {200, 4},   {250, 5},   {300, 6},   {350, 7},   {400, 8},
    {450, 9}, {500, 10}, {800, 11}, {1200, 12}, {1400, 13}, {1700, 14}, {2000, 15}, {2400, 16}};

// [profile][voice = 0, CW and data = 1]
constexpr WidthTable kWidthTables[2][2] = {
    {{kFtdx10Voice, 23, 0, 1}, {kFtdx10Narrow, 18, 0, 1}},
    {{kFt891Voice, 21, 9, 9}, {kFt891Narrow, 17, 10, 10}},
};

// Voice modes (LSB, USB) and CW-like modes (CW, RTTY, PSK) have width steps.
int WidthGroup(std::int16_t mode) {
  switch (mode) {
    case 0:
    case 1:
      return 0;
    case 2:
    case 5:
    case 6:
      return 1;
    default:
      return -1;
  }
}

const WidthTable* TableFor(bool ft891, std::int16_t mode) {
  int group = WidthGroup(mode);
  return group < 0 ? nullptr : &kWidthTables[ft891 ? 1 : 0][group];
}

std::string WidthText(bool ft891, std::int16_t step) {
  return std::string("SH0") + (ft891 ? "1" : "0") + PadLeft(DecimalText(step), 2);
}

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

// "IS0" + prefix + sign + four digits. The radio's sign is the opposite of the host's IF shift.
std::string ShiftText(const RadioState& s, char sign, std::int32_t hz) {
  return "IS0" + s.FilterPrefix + sign + PadLeft(DecimalText(hz), 4);
}

void SendShift(ProtocolImpl& p, char sign, std::int32_t hz) {
  std::string text = ShiftText(p.state, sign, hz);
  p.Send(text);
}

constexpr std::int16_t kIFShiftMax = 128;
constexpr std::int16_t kWidthBase = 1000, kWidthTop = 1255;
constexpr std::int32_t kPassbandCentre = 1500, kCentreMin = 500, kCentreMax = 2500;

void CheckFilterCell(std::int16_t filter, std::int16_t mode) {
  if (filter < 0 || filter >= kFilterRows || mode < 0 || mode >= kFilterModes) {
    throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
  }
}

}  // namespace

WidthStep WidthCommand(std::int32_t width_hz, std::int16_t mode, bool ft891) {
  WidthStep out{"", 0, false};
  if (const WidthTable* t = TableFor(ft891, mode)) {
    out.step = t->above;
    for (const WidthRow& row : t->rows) {
      if (width_hz <= row.upto) {
        out.step = row.step;
        break;
      }
    }
    out.narrow = out.step >= 1 && out.step <= t->narrow_upto;
  }
  out.text = WidthText(ft891, out.step);
  return out;
}

bool WidthStepLimits(bool ft891, std::int16_t mode, bool narrow, std::int16_t& lowest,
                     std::int16_t& highest) {
  const WidthTable* t = TableFor(ft891, mode);
  if (!t) return false;
  highest = t->above;
  lowest = 1;
  if (t->narrow_upto > 0) {
    // On the FT-891 the narrow setting splits the steps in two overlapping ranges.
    if (narrow)
      highest = t->narrow_upto;
    else
      lowest = t->lowest_wide;
  }
  return true;
}

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
  detail::CheckFilterCell(Filter, Mode);
  bool ft891 = detail::Ft891Profile(p);
  std::int16_t low = s.LowCutFilter[Filter][Mode];
  std::int16_t high = s.HighCutFilter[Filter][Mode];

  if (Mode == 3 || Mode == 4) {
    p.Send(Filter == 0 ? "NA00" : "NA01");
    s.Property[57] = Filter == 0 ? 0 : 1;
    if (!ft891) {
      p.Send("RF01");
      s.RFT[0] = 1;
    }
    p.ApplyFilterDefaults(Mode);
  } else {
    // Both sums overflow 16 bits as errors before anything is sent.
    std::int16_t width = detail::RoundToInt16(static_cast<double>(high) - low);
    std::int32_t centre =
        detail::RoundToInt16(detail::RoundToInt16(static_cast<double>(low) + high) / 2.0);
    detail::WidthStep ws = detail::WidthCommand(width, Mode, ft891);
    if (ft891) {
      p.Send(ws.narrow ? "NA01" : "NA00");
      p.Send("SH0000");
      p.Send(ws.text);
    } else {
      // Roofing filter 2 for voice, 4 for CW and data.
      std::int16_t roofing = Mode <= 1 ? 2 : 4;
      p.Send("RF0" + detail::DecimalText(roofing));
      s.RFT[0] = roofing;
      p.Send("SH0000");
      p.Send(ws.text);
    }
    detail::StoreWidthCode(s, ws.step, true);
    s.Property[57] = ws.narrow ? 1 : 0;

    char sign = '+';
    std::int32_t hz = 0;
    if (Mode <= 1) {
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
  std::string text = "SH0" + s.FilterPrefix + detail::PadLeft(detail::DecimalText(step), 2);
  p.Send(text);
  detail::StoreWidthCode(s, step, false);
  return kTrue;
}

VBool FTDX10_Protocol::SetContour(std::int16_t Param, std::int16_t Value) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[50] < 3 || Param < 0) return kFalse;
  switch (Param) {
    case 0:
      if (Value < 0 || Value > 1) return kFalse;
      p.Send("CO00000" + detail::DecimalText(Value));
      p.Send("CO00");
      s.ContourState = Value;
      break;
    case 1: {
      if (Value < 0 || Value > 255) return kFalse;
      std::int16_t hz = detail::ContourFreqToRadio(Value);
      p.Send("CO01" + detail::PadLeft(detail::DecimalText(hz), 4));
      p.Send("CO01");
      s.Property[51] = Value;
      s.ContourLevel = Value;
      s.FContour = static_cast<std::int16_t>(s.ContourSign * hz);
      break;
    }
    case 2:
      // The level menu takes a sign and two digits.
      if (Value < -99 || Value > 99) return kFalse;
      p.Send(s.ContourLevelMenu + (Value >= 0 ? "+" : "-") +
             detail::PadLeft(detail::DecimalText(std::abs(Value)), 2));
      s.ContourSign = Value < 0 ? -1 : 1;
      s.FContour = static_cast<std::int16_t>(std::abs(s.FContour) * s.ContourSign);
      break;
    case 3:
      if (Value < 0 || Value > 99) return kFalse;
      p.Send(s.ContourLevelMenu2 + detail::PadLeft(detail::DecimalText(Value), 2));
      break;
    default:
      break;
  }
  s.StatusChange = kTrue;
  return kTrue;
}

VBool FTDX10_Protocol::SetAPF(std::int16_t Param, std::int16_t Value) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[50] < 3 || Param < 0) return kFalse;
  switch (Param) {
    case 0:
      if (Value < 0 || Value > 1) return kFalse;
      p.Send("CO02000" + detail::DecimalText(Value));
      p.Send("CO00");
      p.Send("CO030025");  // the peak back to the centre
      s.APFState = Value;
      break;
    case 1: {
      if (Value < 0 || Value > 255) return kFalse;
      std::int16_t n = detail::APFToRadio(Value);
      p.Send("CO03" + detail::PadLeft(detail::DecimalText(n), 4));
      p.Send("CO03");
      s.APFLevel = Value;
      // 0..50 spans -250..+250 Hz around the centre.
      s.APFOffset = static_cast<std::int16_t>(std::floor(n / 50.0 * 500 - 250));
      break;
    }
    default:
      break;
  }
  s.StatusChange = kTrue;
  return kTrue;
}

}  // namespace veltro
