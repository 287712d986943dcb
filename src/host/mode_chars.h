// The radio's mode characters and the host's mode numbers (0 LSB, 1 USB, 2 CW, 3 AM, 4 FM,
// 5 RTTY, 6 PSK), both directions side by side. They are not mirror images: the radio may
// report "B", "D" and "F", which the library never sends, and host mode 7 goes out as FM ("4")
// and comes back as 4.
#pragma once

#include <cstdint>
#include <optional>

namespace veltro::detail {

struct DecodedMode {
  std::int16_t mode;
  std::int16_t reverse;  // 0/1: CW-L or RTTY-USB, the opposite sideband
  std::int16_t data;     // 0/1: a data variant of LSB, USB or FM
};

// Answer character -> host mode.
inline constexpr struct {
  char c;
  DecodedMode m;
} kModeDecodeTable[] = {
    {'1', {0, 0, 0}}, {'2', {1, 0, 0}}, {'3', {2, 0, 0}}, {'4', {4, 0, 0}}, {'5', {3, 0, 0}},
    {'6', {5, 0, 0}}, {'7', {2, 1, 0}}, {'8', {0, 0, 1}}, {'9', {5, 1, 0}}, {'A', {4, 0, 1}},
    {'B', {4, 0, 0}}, {'C', {1, 0, 1}}, {'D', {3, 0, 0}}, {'E', {6, 0, 0}}, {'F', {4, 0, 1}},
};

// The host mode of an answer's mode character; nothing for a character the radio is not known to
// send, in which case the decoders leave the stored mode as it was.
constexpr std::optional<DecodedMode> DecodeModeChar(char c) {
  for (const auto& e : kModeDecodeTable) {
    if (e.c == c) return e.m;
  }
  return std::nullopt;
}

// Host mode -> command character: see the encoding table below (the Set operations' side).

}  // namespace veltro::detail
