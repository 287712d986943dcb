// Pure routines of the Set operations: frequency texts, band numbers, capability bits, tone
// positions and the memory-write text. They touch no state, so each carries its own table test.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace veltro::detail {

// Band number of a frequency in MHz, as "BS" selects it; 11 for general coverage.
std::int16_t BandOfFreq(double freq_mhz);

// Whole hertz of |freq_mhz| in decimal, "0"-padded to at least 9 digits (14.25 -> "014250000").
// Longer results are not cut. NaN or a value beyond 64 bits throws AutomationError 6.
std::string FreqDigits(double freq_mhz);

// Spreads a capability value into bits: entry k holds bit k-1 for values 0..1023; entry 0 is
// never set.
std::array<std::int32_t, 11> CapabilityBits(float value);

// Position of a tone in the CTCSS list (exact match in single precision) or of a code in the DCS
// list (023 given as 23); -1 when it is not listed.
std::int16_t CTCSSIndex(float tone_hz);
std::int16_t DCSIndex(std::int16_t code);

// What the memory write needs from the cache; `mode` comes back 4 when it was 7.
struct MemoryContent {
  double freq;
  std::int16_t mode;
  std::int16_t reverse;
  std::int16_t enc;
  std::int16_t dec;
  float ctcss;  // negative: DCS
  std::int16_t rpt;
};

// The 27-character "MW" text (without ";") for `channel` and `c`.
std::string MemoryWriteText(std::int16_t channel, MemoryContent& c);

}  // namespace veltro::detail
