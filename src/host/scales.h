// The host's scales against the radio's ranges. Most levels are 0..255 at the host and something
// else on the radio; each scale is written here once, as the pair the setters (...ToRadio) and
// the answer decoders (...ToHost) use, so a value sent and the same value read back agree.
#pragma once

#include <cstdint>
#include <string>

#include "veltro/capabilities.h"

namespace veltro::detail {

// RF gain: the radio's 0..full (255; 30 on the FT-891) runs the other way, host 0 is full gain.
// To the radio: rounded, limited to 0..full. To the host: rounded, at most 255.
std::int16_t RFGainToRadio(std::int16_t host, float full);
std::int16_t RFGainToHost(std::int16_t radio, float full);

// Microphone gain and monitor level, radio 0..100. The mic gain rounds on the way out, the
// monitor level is cut down; both come back rounded and at most 255.
std::int16_t MicGainToRadio(std::int16_t host);
std::int16_t MonitorLevelToRadio(std::int16_t host);
std::int16_t PercentToHost(std::int16_t radio);

// Keyer speed: host 1..255 over 4..60 words per minute.
std::int16_t KeyerSpeedToRadio(std::int16_t host);
std::int16_t KeyerSpeedToHost(std::int16_t wpm);

// Contour frequency: host 0..255 over 10..3200 Hz (out: cut down, limited to 10..3200).
std::int16_t ContourFreqToRadio(std::int16_t host);
std::int16_t ContourFreqToHost(std::int16_t hz);

// Contour level of the multi-purpose entry: host 0..255 over the radio's 0..39.
std::int16_t ContourStepToRadio(std::int16_t host);

// Audio peak filter offset: host 0..255 over the radio's 0..50 (25 is the centre).
std::int16_t APFToRadio(std::int16_t host);

using veltro::kMaxIfShiftHz;
using veltro::kMaxRitHz;

// IF shift: host -128..128 against 0..1200 Hz. Out: the magnitude in Hz, in the radio's 20 Hz
// steps. In: the magnitude on the host's scale, at most 128 (the sign is the caller's).
std::int32_t IFShiftToRadio(std::int16_t host);
std::int16_t IFShiftToHost(std::int32_t hz);

// Filter width: host 0..255 against the radio's steps 1..`steps`.
std::int16_t WidthCodeOfStep(std::int32_t step, std::int16_t steps);
std::int16_t WidthStepOfCode(std::int16_t code, std::int16_t steps);

// Break-in delay. FTDX10: host 0..6 as they are, above 6 two host numbers per radio code
// (7 and 8 give 7, 30 gives 18), two digits. FT-891: 50 ms per host number, four digits.
std::string BreakInDelayText(std::int16_t host, bool ft891);
// The FTDX10's code back to the host number (above 6: 7 gives 8, 18 gives 30).
std::int16_t BreakInDelayToHost(std::int16_t code);

// CW pitch: 300..1050 Hz against the radio's codes 0..75.
std::int16_t PitchToRadio(std::int16_t hz);
std::int16_t PitchToHost(std::int16_t code);

}  // namespace veltro::detail
