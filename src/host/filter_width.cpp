#include "host/filter_width.h"

#include <span>

#include "host/convert.h"

namespace veltro::detail {

namespace {

// A step whose range does not start right above the previous step's width: the FT-891 leaves
// gaps below these, and a width in a gap has no step.
struct StepFloor {
  std::int16_t step;
  std::int32_t from_hz;
};

struct WidthTable {
  std::span<const std::int32_t> widths;  // Hz of steps 1..N
  std::int32_t top_hz;                   // Hz of step N + 1, which every wider setting takes
  std::int16_t narrow_upto;              // steps 1..narrow_upto are narrow (FT-891); 0 = none
  std::int16_t lowest_wide;              // first step with the narrow setting off (direct width)
  std::span<const StepFloor> floors = {};

  std::int16_t TopStep() const { return static_cast<std::int16_t>(widths.size() + 1); }
  bool BelowFloor(std::int16_t step, std::int32_t hz) const {
    for (const StepFloor& f : floors) {
      if (f.step == step) return hz < f.from_hz;
    }
    return false;
  }
};

constexpr std::int32_t kFtdx10Voice[] = {300,  400,  600,  850,  1100, 1200, 1500, 1650,
                                         1800, 1950, 2100, 2250, 2400, 2450, 2500, 2600,
                                         2700, 2800, 2900, 3000, 3200, 3500};
constexpr std::int32_t kFtdx10Narrow[] = {50,  100, 150, 200,  250,  300,  350,  400, 450,
                                          500, 600, 800, 1200, 1400, 1700, 2000, 2400};
constexpr std::int32_t kFt891Voice[] = {200,  400,  600,  850,  1100, 1350, 1500, 1650, 1800, 1950,
                                        2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000};
constexpr std::int32_t kFt891Narrow[] = {50,  100, 150, 200,  250,  300,  350,  400,
                                         450, 500, 800, 1200, 1400, 1700, 2000, 2400};
constexpr StepFloor kFt891VoiceFloors[] = {{13, 2250}, {14, 2400}, {15, 2450}};

// [profile][voice = 0, CW and data = 1]
constexpr WidthTable kWidthTables[2][2] = {
    {{kFtdx10Voice, 4000, 0, 1}, {kFtdx10Narrow, 3000, 0, 1}},
    {{kFt891Voice, 3200, 9, 9, kFt891VoiceFloors}, {kFt891Narrow, 3000, 10, 10}},
};

// Voice modes (LSB, USB) and CW-like modes (CW, RTTY, PSK) have width steps.
const WidthTable* TableFor(bool ft891, std::int16_t mode) {
  int group = -1;
  if (mode == 0 || mode == 1) group = 0;
  if (mode == 2 || mode == 5 || mode == 6) group = 1;
  return group < 0 ? nullptr : &kWidthTables[ft891 ? 1 : 0][group];
}

std::int16_t StepOfWidth(const WidthTable& t, std::int32_t hz) {
  // Step 1 takes only the widths below its own; exactly its width already selects step 2.
  if (hz < t.widths.front()) return 1;
  for (std::size_t i = 1; i < t.widths.size(); ++i) {
    if (hz <= t.widths[i]) {
      auto step = static_cast<std::int16_t>(i + 1);
      return t.BelowFloor(step, hz) ? 0 : step;
    }
  }
  return t.TopStep();
}

// Step 0 on the FTDX10 is the roofing filter's own width.
std::int32_t Ftdx10WideOpen(std::int16_t roofing) {
  switch (roofing) {
    case 1:
      return 12000;
    case 4:
      return 500;
    case 5:
      return 300;
    default:
      return 3000;
  }
}

}  // namespace

WidthStep WidthCommand(std::int32_t width_hz, std::int16_t mode, bool ft891) {
  WidthStep out{"", 0, false};
  if (const WidthTable* t = TableFor(ft891, mode)) {
    out.step = StepOfWidth(*t, width_hz);
    out.narrow = out.step >= 1 && out.step <= t->narrow_upto;
  }
  out.text = std::string("SH0") + (ft891 ? "1" : "0") + PadLeft(DecimalText(out.step), 2);
  return out;
}

bool WidthStepLimits(bool ft891, std::int16_t mode, bool narrow, std::int16_t& lowest,
                     std::int16_t& highest) {
  const WidthTable* t = TableFor(ft891, mode);
  if (!t) return false;
  highest = t->TopStep();
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

std::int32_t FilterWidthHz(bool ft891, std::int32_t step, std::int16_t mode, std::int16_t narrow,
                           std::int16_t roofing) {
  if (mode == 3) return narrow != 0 ? 6000 : 9000;
  if (mode == 4 || mode > 6) return narrow != 0 ? 9000 : 16000;
  const WidthTable* t = TableFor(ft891, mode);
  if (!t || step < 0) return 0;
  if (step == 0) {
    if (!ft891) return Ftdx10WideOpen(roofing);
    if (mode <= 1) return narrow == 1 ? 1500 : 2400;
    if (mode == 2) return narrow == 1 ? 500 : 2400;
    return narrow == 1 ? 300 : 500;
  }
  if (step >= t->TopStep()) return t->top_hz;
  return t->widths[static_cast<std::size_t>(step - 1)];
}

}  // namespace veltro::detail
