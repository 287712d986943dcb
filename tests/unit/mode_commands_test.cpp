// Mode and data mode: the encoding table against the decoding one, the capability bits, and one
// row a call (unit/encoder_cases.h).
#include <gtest/gtest.h>

#include "commands/encoding.h"
#include "host/mode_chars.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::RunRows;

// Every character the encoder sends decodes to the mode, sideband and data flag it was sent for
// (7 comes back as FM); the memory column differs for PSK only.
TEST(ModeEncoding, RoundTripsThroughTheDecodingTable) {
  for (std::int16_t mode = 0; mode <= 7; ++mode) {
    for (std::int16_t reverse : {0, 1}) {
      for (std::int16_t data : {0, 1}) {
        auto c = detail::EncodeModeChar(mode, reverse, data);
        ASSERT_EQ(c.has_value(), data == 0 || mode == 0 || mode == 1 || mode == 4) << mode << data;
        if (!c) continue;
        auto back = detail::DecodeModeChar(*c);
        ASSERT_TRUE(back) << *c;
        EXPECT_EQ(back->mode, mode == 7 ? 4 : mode) << *c;
        bool sideband = mode == 2 || mode == 5;
        EXPECT_EQ(back->reverse, sideband && data == 0 ? reverse : 0) << *c;
        EXPECT_EQ(back->data, data) << *c;
      }
    }
    EXPECT_EQ(detail::FindModeEncoding(mode)->memory, "12354684"[mode]) << mode;
  }
  for (std::int16_t mode : {-1, 8}) EXPECT_FALSE(detail::EncodeModeChar(mode, 0, 0));
  EXPECT_FALSE(detail::EncodeModeChar(0, 0, -1));
  EXPECT_FALSE(detail::EncodeModeChar(0, 0, 2));
}

TEST(CapabilityBits, EntryKHoldsBitKMinusOne) {
  const struct {
    float value;
    std::array<std::int32_t, 11> bits;
    // clang-format off
  } cases[] = {
      {127, {0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}},  {0, {}},
      {1023, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}}, {256, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
      {1024, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}},  // beyond ten bits the top entry overflows
      {-1, {0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},   // no entry reads 1
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(detail::CapabilityBits(c.value), c.bits) << c.value;
}

// SetMode with the mode it gets and the mode it must pass back.
testing::Call Mode(std::int16_t mode, std::int16_t reverse, std::int16_t after) {
  return [=](FTDX10_Protocol& r) {
    std::int16_t m = mode;
    VBool ok = r.SetMode(m, reverse);
    EXPECT_EQ(m, after);
    return ok;
  };
}
testing::Call Mode(std::int16_t mode, std::int16_t reverse) { return Mode(mode, reverse, mode); }

// VFO A on 14.2 MHz, VFO B on 7.1 MHz, both LSB.
constexpr const char* kOnA = "Freq=14.2 FA=14.2 FB=7.1";

TEST(ModeCommands, SetMode) {
  // clang-format off
  const testing::Row rows[] = {
      {"CW reversed: the mode, the frequency again at once, break-in read", "", Mode(2, 1), kTrue, "0:MD07; 0:FA014200000; 105:BI;", 105, "Mode=2 ModeA=2 Rev=1"},
      {"LSB ends a data mode", "Mode=1 ModeA=1 Data=1", Mode(0, 0), kTrue, "0:MD01; 0:FA014200000; 105:BI;", 105, "Mode=0 ModeA=0 Data=0"},
      {"on VFO B", "VFO=1 Freq=7.1", Mode(1, 0), kTrue, "0:MD02; 0:FB007100000; 105:BI;", 105, "Mode=1 ModeB=1"},
      {"FM: repeater settings read back before break-in", "Freq=29.6 FA=29.6", Mode(4, 0), kTrue, "0:MD04; 0:FA029600000; 105:OS0; 205:EX010317; 310:BI;", 310, "Mode=4 ModeA=4"},
      {"FM with a tone asks for the tone too, 6 m menu", "Freq=51 FA=51 Enc=1", Mode(4, 0), kTrue, "0:MD04; 0:FA051000000; 105:OS0; 205:CN00; 310:CT01; 415:EX010318; 515:BI;", 515, "Mode=4 ModeA=4"},
      {"7 is FM when offered", "P16=255 Freq=0", Mode(7, 0, 4), kTrue, "0:MD04; 105:OS0; 205:EX010317; 310:BI;", 310, "Mode=4 ModeA=4"},
      {"beyond the table but offered: a bare read", "P16=511", Mode(8, 0), kTrue, "0:MD0; 0:FA014200000; 105:BI;", 105, "Mode=8 ModeA=8"},
      {"PSK by the ninth bit alone", "P16=256", Mode(6, 0), kTrue, "0:MD0E; 0:FA014200000; 105:BI;", 105, "Mode=6 ModeA=6"},
      {"the ninth bit offers nothing else", "P16=256", Mode(1, 0), kFalse, "", 0, ""},
      {"no valid frequency: nothing to send again", "Freq=0", Mode(1, 0), kTrue, "0:MD02; 105:BI;", 105, "Mode=1 ModeA=1"},
      {"7 not offered", "", Mode(7, 0), kFalse, "", 0, ""},
      {"10 outside the bits", "", Mode(10, 0), kFalse, "", 0, ""},
      {"-1: entry 0 is never set", "", Mode(-1, 0), kFalse, "", 0, ""},
      {"-2", "", Mode(-2, 0), kFalse, "", 0, ""},
      {"memory mode", "Mem=1", Mode(1, 0), kFalse, "", 0, ""},
      {"no modes", "P16=0", Mode(1, 0), kFalse, "", 0, ""},
      {"the smaller profile has no PSK", "P16=63", Mode(6, 0), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

TEST(ModeCommands, SetDataMode) {
  // clang-format off
  const testing::Row rows[] = {
      {"data USB clears Reverse", "Rev=1", VELTRO_CALL(SetDataMode(1, 1, 1, 2)), kTrue, "0:MD0C;", 0, "Mode=1 Rev=0 Data=1"},
      {"data FM", "", VELTRO_CALL(SetDataMode(4, 1, 0, 0)), kTrue, "0:MD0A;", 0, "Mode=4 Data=1"},
      {"negative data: a bare read", "", VELTRO_CALL(SetDataMode(0, -1, 0, 0)), kTrue, "0:MD0;", 0, "Data=-1"},
      {"in memory mode too, the VFO modes left to the answer", "Mem=1", VELTRO_CALL(SetDataMode(1, 0, 0, 0)), kTrue, "0:MD02;", 0, "Mode=1"},
      {"no data CW", "", VELTRO_CALL(SetDataMode(3, 1, 0, 0)), kFalse, "", 0, ""},
      {"data 2", "", VELTRO_CALL(SetDataMode(0, 2, 0, 0)), kFalse, "", 0, ""},
      {"no data modes", "P78=0", VELTRO_CALL(SetDataMode(1, 1, 0, 0)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

}  // namespace
}  // namespace veltro
