#include "host/scales.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/convert.h"

namespace veltro::detail {

namespace {

constexpr double kHostFull = 255.0;

// The integer part (towards minus infinity) as a 16-bit value.
std::int16_t Floor16(double x) { return RoundToInt16(std::floor(x)); }

std::int16_t AtMostHostFull(std::int16_t v) { return std::min<std::int16_t>(v, 255); }

}  // namespace

std::int16_t RFGainToRadio(std::int16_t host, float full) {
  double v = RoundToInt16(full - host / kHostFull * full);
  return static_cast<std::int16_t>(std::clamp(v, 0.0, static_cast<double>(RoundToInt16(full))));
}

std::int16_t RFGainToHost(std::int16_t radio, float full) {
  return AtMostHostFull(RoundToInt16(kHostFull - radio / static_cast<double>(full) * kHostFull));
}

std::int16_t MicGainToRadio(std::int16_t host) {
  return std::min<std::int16_t>(RoundToInt16(host / kHostFull * 100), 100);
}

std::int16_t MonitorLevelToRadio(std::int16_t host) {
  // Computed in single precision, as the radio's own panel rounds.
  float v = static_cast<float>(host) / 255.0f * 100.0f;
  return std::min<std::int16_t>(static_cast<std::int16_t>(std::trunc(v)), 100);
}

std::int16_t PercentToHost(std::int16_t radio) {
  return AtMostHostFull(RoundToInt16(radio / 100.0 * kHostFull));
}

std::int16_t KeyerSpeedToRadio(std::int16_t host) {
  return RoundToInt16(host / kHostFull * 56 + 4);
}

std::int16_t KeyerSpeedToHost(std::int16_t wpm) {
  return RoundToInt16((wpm - 4) / 56.0 * kHostFull);
}

std::int16_t ContourFreqToRadio(std::int16_t host) {
  return Floor16(std::clamp(host / kHostFull * 3200 + 10, 10.0, 3200.0));
}

std::int16_t ContourFreqToHost(std::int16_t hz) {
  double c = std::clamp<double>(hz, 10, 3200);
  return RoundToInt16((c - 10) / 3190 * kHostFull);
}

std::int16_t ContourStepToRadio(std::int16_t host) { return Floor16(host / kHostFull * 39 + 0.01); }

std::int16_t APFToRadio(std::int16_t host) {
  return std::min<std::int16_t>(Floor16(host / kHostFull * 50), 50);
}

std::int32_t IFShiftToRadio(std::int16_t host) {
  std::int32_t hz = RoundToInt32(std::abs(host) / 128.0 * kMaxIfShiftHz + 0.1);
  return hz / 20 * 20;
}

std::int16_t IFShiftToHost(std::int32_t hz) {
  return std::min<std::int16_t>(RoundToInt16(hz / static_cast<double>(kMaxIfShiftHz) * 128), 128);
}

std::int16_t WidthCodeOfStep(std::int32_t step, std::int16_t steps) {
  return Floor16(static_cast<double>(step) / steps * kHostFull + 0.01);
}

std::int16_t WidthStepOfCode(std::int16_t code, std::int16_t steps) {
  return Floor16(code / kHostFull * steps + 0.1);
}

std::string BreakInDelayText(std::int16_t host, bool ft891) {
  if (ft891) return PadLeft(DecimalText(host * 50), 4);
  std::int32_t code =
      host <= 6 ? host : static_cast<std::int32_t>(std::floor((host - 7) / 2.0 + 7));
  return PadLeft(DecimalText(code), 2);
}

std::int16_t BreakInDelayToHost(std::int16_t code) {
  if (code <= 6) return code;
  return RoundToInt16(((code - 7) * 100.0 + 400) / 50);
}

std::int16_t PitchToRadio(std::int16_t hz) { return Floor16((hz + 0.01 - 300) / 10); }

std::int16_t PitchToHost(std::int16_t code) { return RoundToInt16(code / 75.0 * 750 + 300); }

}  // namespace veltro::detail
