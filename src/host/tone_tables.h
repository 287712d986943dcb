// The CTCSS tone and DCS code lists, read by the tone decoders, the tone setters and CTCSSTone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace veltro::detail {

inline constexpr std::array<float, 50> kCtcssTones{
    67.0f,  69.3f,  71.9f,  74.4f,  77.0f,  79.7f,  82.5f,  85.4f,  88.5f,  91.5f,
    94.8f,  97.4f,  100.0f, 103.5f, 107.2f, 110.9f, 114.8f, 118.8f, 123.0f, 127.3f,
    131.8f, 136.5f, 141.3f, 146.2f, 151.4f, 156.7f, 159.8f, 162.2f, 165.5f, 167.9f,
    171.3f, 173.8f, 177.3f, 179.9f, 183.5f, 186.2f, 189.9f, 192.8f, 196.6f, 199.5f,
    203.5f, 206.5f, 210.7f, 218.1f, 225.7f, 229.1f, 233.6f, 241.8f, 250.3f, 254.1f};

// Each code as the decimal number its three octal digits spell (023 -> 23).
inline constexpr std::array<std::int16_t, 104> kDcsCodes{
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115,
    116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223,
    225, 226, 243, 244, 245, 246, 251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315,
    325, 331, 332, 343, 346, 351, 356, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 446,
    452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606, 612, 624,
    627, 631, 632, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

// The tone capability entry of the property table: 1 CTCSS only, 2 DCS only, 3 both, 0 none.
inline constexpr std::size_t kToneCapability = 30;
inline bool CtcssCapable(std::int16_t capability) { return capability == 1 || capability == 3; }
inline bool DcsCapable(std::int16_t capability) { return capability == 2 || capability == 3; }

// tone(i) and DCS code(i); 0 outside the lists.
inline float CtcssTone(int index) {
  return index >= 0 && index < static_cast<int>(kCtcssTones.size()) ? kCtcssTones[index] : 0.0f;
}
inline std::int16_t DcsCode(int index) {
  return index >= 0 && index < static_cast<int>(kDcsCodes.size()) ? kDcsCodes[index] : 0;
}

}  // namespace veltro::detail
