// The radio knows filter widths only as numbered steps ("SH0" + profile digit + two digits). One
// table per profile and mode group gives each step's width in hertz; the filter commands read it
// from width to step, the panorama settings from step to width.
#pragma once

#include <cstdint>
#include <string>

namespace veltro::detail {

struct WidthStep {
  std::string text;     // "SH0012"; the step is its last two digits
  std::int16_t step;    // 0 for a mode without steps or a width between two FT-891 steps
  bool narrow = false;  // FT-891 only: the step belongs to the narrow range
};

// Width `width_hz` in host mode `mode` (0 LSB, 1 USB, 2 CW, 5 RTTY, 6 PSK have steps).
WidthStep WidthCommand(std::int32_t width_hz, std::int16_t mode, bool ft891);

// Lowest and highest step the width may be set to directly, by profile, mode and narrow setting.
// False for modes without steps (AM, FM, anything outside 0..6).
bool WidthStepLimits(bool ft891, std::int16_t mode, bool narrow, std::int16_t& lowest,
                     std::int16_t& highest);

// The width in Hz of step `step` in `mode`, by profile, narrow setting and roofing filter (the
// roofing filter sets the FTDX10's width at step 0). AM and FM have fixed widths; a negative
// step or mode gives 0.
std::int32_t FilterWidthHz(bool ft891, std::int32_t step, std::int16_t mode, std::int16_t narrow,
                           std::int16_t roofing);

}  // namespace veltro::detail
