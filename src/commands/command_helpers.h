// The shapes the Set operations share. A setter either sends one value behind a capability entry
// (a selector), or drives a function that has an on/off command and a level command on the radio
// but one number at the host (a switch plus level). Each shape lives here once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/profile.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

// How far a selector's value may go. Negative values never pass: on the line they would come out
// as a "-" inside a field of digits.
enum class SelectorRange {
  kUpToEntry,  // 0 up to the capability entry (the entry is the highest code on this radio)
  kSwitch,     // 0 or 1
  kAny,        // 0 up to anything (the radio judges the value)
};

struct Selector {
  std::int16_t entry;  // Property index that enables the command; 0 there: not fitted
  SelectorRange range;
  std::string_view prefix;       // command letters and selector digits, e.g. "RA0"
  std::int16_t wire_offset = 0;  // added on the line: antenna 0 goes out as "1"
};

// Sends prefix + value and stores value in *field (when given). Returns the text sent, or
// nothing when the entry is 0 or the value out of range (then nothing is sent or stored).
std::optional<std::string> SetSelector(ProtocolImpl& p, const Selector& sel, std::int16_t value,
                                       std::int16_t* field);

// The cache fields of a switch-plus-level function.
struct SwitchLevelFields {
  std::int16_t& combined;  // what the host reads: the level while on, 1000 + level while off
  std::int16_t& on;        // 1 on, 0 off
  std::int16_t& level;     // last host level
};

struct SwitchLevel {
  std::string_view on_command;    // "NR01"
  std::string_view off_command;   // "NR00"
  std::string_view level_prefix;  // "RL0"
  std::size_t level_width;        // digits of the level field
};

// Host level 0 switches the function off (the level is kept); any other level switches it on
// first when it is off or was never reported, then sends the level as `wire_level`. Returns
// whether the switch command went out. Callers have done the capability test and the range check.
bool SendSwitchLevel(ProtocolImpl& p, const SwitchLevel& cmd, SwitchLevelFields f,
                     std::int16_t level, std::int16_t wire_level);

}  // namespace veltro::detail
