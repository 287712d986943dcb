#include "host/radio_state.h"

namespace veltro::detail {

namespace {

// The FTDX10's capability and setting table; indices not listed are 0.
constexpr std::array<std::int16_t, kPropertyCount> kInitialProperty = [] {
  std::array<std::int16_t, kPropertyCount> p{};
  auto set = [&p](int first, int last, std::int16_t value) {
    for (int i = first; i <= last; ++i) p[i] = value;
  };
  set(0, 1, 1);
  p[2] = 4;
  p[4] = 3;
  p[5] = 30;
  set(6, 8, 1);
  p[9] = 20;
  p[11] = 2;
  set(12, 15, 1);
  p[16] = 127;
  p[17] = 10;
  p[18] = 320;
  p[19] = 15;
  p[20] = 2;
  set(21, 22, 1);
  p[23] = 2;
  set(24, 38, 1);
  set(41, 44, 1);
  set(46, 48, 1);
  p[50] = 4;
  p[52] = 1;
  p[53] = 50;
  p[54] = 1;
  p[56] = 23;
  p[58] = 5;
  set(59, 62, 1);
  p[63] = 2;
  set(64, 65, 1);
  set(66, 67, 5);
  p[68] = 1;
  p[69] = 2;
  p[70] = 1;
  p[71] = 5;
  p[72] = 4;
  set(73, 75, 1);
  set(77, 78, 1);
  p[83] = 1;
  p[86] = 1;
  p[87] = 49;
  return p;
}();

}  // namespace

RadioState::RadioState() : Property(kInitialProperty) {
  NBRecord[1].Query = "NL0";
  NBRecord[2].Query = "NL0";
}

}  // namespace veltro::detail
