// What the radio in use can do, from the library's own tables for its profile (FTDX10 or FT-891):
// for programs that describe the radio to others, such as a network server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "veltro/types.h"

namespace veltro {

class FTDX10_Protocol;

// The largest RIT offset either way, in Hz (both radios).
inline constexpr int kMaxRitHz = 9999;
// The largest IF shift either way, in Hz (both radios); the host's IFShift runs -128..128 over it.
inline constexpr int kMaxIfShiftHz = 1200;

struct RadioCapabilities {
  std::string transceiver;  // "FTDX-10" or "FT-891"
  double range_min_hz = 0, range_max_hz = 0;
  // Receive filter widths in Hz per host mode (0 LSB ... 6 PSK), narrowest first.
  struct ModeFilters {
    std::int16_t mode;
    std::vector<std::int32_t> widths_hz;
  };
  std::vector<ModeFilters> filters;
  std::vector<int> attenuator_db;  // per code 1, 2...
  std::vector<int> preamp_db;
  int agc_codes = 0;  // AGC codes 0 up to this
  int max_rit_hz = 0;
  int max_if_shift_hz = 0;
  int channel_min = 0, channel_max = 0;
  // The tones SetTone takes on this radio (empty when it takes none of that kind).
  std::vector<float> ctcss_hz;
  std::vector<int> dcs_codes;  // as the decimal number the octal digits spell (023 -> 23)
};

// Reads the tables for the profile the radio identified itself with. Sends nothing.
VELTRO_API RadioCapabilities Capabilities(const FTDX10_Protocol& radio);

}  // namespace veltro
