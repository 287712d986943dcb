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
// send, in which case the decoders leave the stored mode as it was (reverse and data are 0).
constexpr std::optional<DecodedMode> DecodeModeChar(char c) {
  for (const auto& e : kModeDecodeTable) {
    if (e.c == c) return e.m;
  }
  return std::nullopt;
}

// Host mode -> command character, for the mode commands and the memory write. `reversed` is sent
// when the host's Reverse flag is 1 (only CW and RTTY have another sideband); `data` is the data
// variant (0: none). The memory write uses its own column: it stores PSK as "8".
struct ModeEncoding {
  std::int16_t mode;
  char normal;
  char reversed;
  char data;
  char memory;
};

inline constexpr ModeEncoding kModeEncodeTable[] = {
    {0, '1', '1', '8', '1'},  // LSB, DATA-LSB
    {1, '2', '2', 'C', '2'},  // USB, DATA-USB
    {2, '3', '7', 0, '3'},    // CW-U, CW-L
    {3, '5', '5', 0, '5'},    // AM
    {4, '4', '4', 'A', '4'},  // FM, DATA-FM
    {5, '6', '9', 0, '6'},    // RTTY-LSB, RTTY-USB
    {6, 'E', 'E', 0, '8'},    // PSK
    {7, '4', '4', 0, '4'},    // FM by its other number; stored as 4
};

constexpr const ModeEncoding* FindModeEncoding(std::int16_t mode) {
  for (const auto& e : kModeEncodeTable) {
    if (e.mode == mode) return &e;
  }
  return nullptr;
}

// The command character of a host mode; nothing for a mode outside the table, or for a data
// value the mode has no variant for (data other than 0 and 1 included).
constexpr std::optional<char> EncodeModeChar(std::int16_t mode, std::int16_t reverse,
                                             std::int16_t data) {
  const ModeEncoding* e = FindModeEncoding(mode);
  if (!e) return std::nullopt;
  if (data == 0) return reverse == 1 ? e->reversed : e->normal;
  if (data == 1 && e->data) return e->data;
  return std::nullopt;
}

}  // namespace veltro::detail
