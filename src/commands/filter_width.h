// The radio knows filter widths only as numbered steps ("SH0" + profile digit + two digits). This
// maps a width in hertz to the step, per profile and mode group.
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

}  // namespace veltro::detail
