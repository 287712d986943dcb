// Mode and data mode, repeater shift and tones, memory channels: the encoding tables against
// the decoding ones, the fixed-width "MW" text field by field, and one row a call
// (unit/encoder_cases.h).
#include <gtest/gtest.h>

#include <cmath>

#include "commands/encoding.h"
#include "host/mode_chars.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using detail::MemoryContent;
using testing::RunRows;

// Every character the encoder sends decodes to the mode, sideband and data flag it was sent for
// (7 comes back as FM).
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
  }
}

// VFO A on 14.2 MHz, VFO B on 7.1 MHz, both LSB.
constexpr const char* kOnA = "Freq=14.2 FA=14.2 FB=7.1";

TEST(ModeCommands, SetModeAndDataMode) {
  // clang-format off
  const testing::Row rows[] = {
      {"CW reversed: the mode, the frequency again at once, break-in read", "", VELTRO_CALL(SetMode(2, 1)), kTrue, "0:MD07; 0:FA014200000; 105:BI;", 105, "Mode=2 ModeA=2 Rev=1"},
      {"LSB ends a data mode", "Mode=1 ModeA=1 Data=1", VELTRO_CALL(SetMode(0, 0)), kTrue, "0:MD01; 0:FA014200000; 105:BI;", 105, "Mode=0 ModeA=0 Data=0"},
      {"on VFO B", "VFO=1 Freq=7.1", VELTRO_CALL(SetMode(1, 0)), kTrue, "0:MD02; 0:FB007100000; 105:BI;", 105, "Mode=1 ModeB=1"},
      {"FM: repeater settings read back before break-in", "Freq=29.6 FA=29.6", VELTRO_CALL(SetMode(4, 0)), kTrue, "0:MD04; 0:FA029600000; 105:OS0; 205:EX010317; 310:BI;", 310, "Mode=4 ModeA=4"},
      {"FM with a tone asks for the tone too, 6 m menu", "Freq=51 FA=51 Enc=1", VELTRO_CALL(SetMode(4, 0)), kTrue, "0:MD04; 0:FA051000000; 105:OS0; 205:CN00; 310:CT01; 415:EX010318; 515:BI;", 515, "Mode=4 ModeA=4"},
      {"7 is FM when offered", "P16=255 Freq=0", VELTRO_REWRITES(7, 4, SetMode(m, 0)), kTrue, "0:MD04; 105:OS0; 205:EX010317; 310:BI;", 310, "Mode=4 ModeA=4"},
      {"beyond the table but offered: a bare read", "P16=511", VELTRO_CALL(SetMode(8, 0)), kTrue, "0:MD0; 0:FA014200000; 105:BI;", 105, "Mode=8 ModeA=8"},
      {"PSK by the ninth bit alone", "P16=256", VELTRO_CALL(SetMode(6, 0)), kTrue, "0:MD0E; 0:FA014200000; 105:BI;", 105, "Mode=6 ModeA=6"},
      {"the ninth bit offers nothing else", "P16=256", VELTRO_CALL(SetMode(1, 0)), kFalse, "", 0, ""},
      {"no valid frequency: nothing to send again", "Freq=0", VELTRO_CALL(SetMode(1, 0)), kTrue, "0:MD02; 105:BI;", 105, "Mode=1 ModeA=1"},
      {"7 not offered", "", VELTRO_CALL(SetMode(7, 0)), kFalse, "", 0, ""},
      {"10 outside the bits", "", VELTRO_CALL(SetMode(10, 0)), kFalse, "", 0, ""},
      {"-1: entry 0 of the capability bits is never set", "", VELTRO_CALL(SetMode(-1, 0)), kFalse, "", 0, ""},
      {"memory mode", "Mem=1", VELTRO_CALL(SetMode(1, 0)), kFalse, "", 0, ""},
      {"the smaller profile has no PSK", "P16=63", VELTRO_CALL(SetMode(6, 0)), kFalse, "", 0, ""},
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

// FM on VFO A at 29.6 MHz (10 m); only CTCSS fitted.
constexpr const char* kFM = "Mode=4 Freq=29.6";

TEST(ToneCommands, ShiftAndTones) {
  // clang-format off
  const testing::Row rows[] = {
      {"minus on A, then the FM read-back", "", VELTRO_CALL(SetRPT(-1)), kTrue, "0:OS02; 105:OS0; 205:EX010317;", 205, "RPT=-1"},
      {"plus on B", "VFO=1", VELTRO_CALL(SetRPT(1)), kTrue, "0:OS11; 105:OS1; 205:EX010317;", 205, "RPT=1"},
      {"simplex outside FM: no read-back", "Mode=1 RPT=1", VELTRO_CALL(SetRPT(0)), kTrue, "0:OS00;", 0, "RPT=0"},
      {"another direction is a bare read, stored as given", "Mode=1", VELTRO_CALL(SetRPT(3)), kTrue, "0:OS0;", 0, "RPT=3"},
      {"600 kHz below 50 MHz", "", VELTRO_CALL(SetShift(600000)), kTrue, "0:EX0103170600;", 0, "Shift=600"},
      {"50 to 60 MHz uses the other item", "Freq=51", VELTRO_CALL(SetShift(1000000)), kTrue, "0:EX0103181000;", 0, "Shift=1000"},
      {"60 MHz is still in it", "Freq=60", VELTRO_CALL(SetShift(500000)), kTrue, "0:EX0103180500;", 0, "Shift=500"},
      {"a hair under a kHz rounds up", "", VELTRO_CALL(SetShift(99990)), kTrue, "0:EX0103170100;", 0, "Shift=99.99"},
      {"no menu above 60 MHz, stored all the same", "Freq=145", VELTRO_CALL(SetShift(600000)), kTrue, "", 0, "Shift=600"},
      {"shift NaN", "", VELTRO_OVERFLOWS(SetShift(std::nanf(""))), kTrue, "", 0, ""},
      {"CTCSS encode and decode", "", VELTRO_CALL(SetTone(88.5f, 0, 1, 1)), kTrue, "0:CT01; 105:CN00008;", 105, "CTCSS=88.5 Enc=1 Dec=1 ToneCT=88.5"},
      {"CTCSS encode only, from DCS", "DCS=1 CTCSS=-23", VELTRO_CALL(SetTone(88.5f, 0, 1, 0)), kTrue, "0:CT02; 105:CN00008;", 105, "CTCSS=88.5 DCS=0 Enc=1 ToneCT=88.5"},
      {"on B", "VFO=1", VELTRO_CALL(SetTone(254.1f, 0, 1, 0)), kTrue, "0:CT12; 105:CN10049;", 105, "CTCSS=254.1 Enc=1 ToneCT=254.1"},
      {"unlisted tone: no number, the cache still set", "", VELTRO_CALL(SetTone(88.6f, 0, 1, 1)), kTrue, "0:CT01;", 0, "CTCSS=88.6 Enc=1 Dec=1 ToneCT=88.6"},
      {"odd Dec: only the number", "", VELTRO_CALL(SetTone(100.0f, 0, 1, 5)), kTrue, "0:CN00012;", 0, "CTCSS=100 Enc=1 Dec=5 ToneCT=100"},
      {"off keeps the last tone", "Enc=1 CTCSS=77 ToneCT=77", VELTRO_CALL(SetTone(88.5f, 0, 0, 0)), kTrue, "0:CT00;", 0, "Enc=0"},
      {"DCS when offered", "P30=3", VELTRO_CALL(SetTone(0, 23, 1, 0)), kTrue, "0:CT03; 105:CN01000;", 105, "CTCSS=-23 DCS=1 Enc=1 ToneDCS=23"},
      {"DCS 754 on B", "P30=3 VFO=1", VELTRO_CALL(SetTone(0, 754, 1, 1)), kTrue, "0:CT13; 105:CN11103;", 105, "CTCSS=-754 DCS=1 Enc=1 Dec=1 ToneDCS=754"},
      {"another Enc sends nothing", "", VELTRO_CALL(SetTone(88.5f, 0, 2, 0)), kTrue, "", 0, "Enc=2"},
      {"no tones", "P30=0", VELTRO_CALL(SetTone(88.5f, 0, 1, 0)), kFalse, "", 0, ""},
      {"DCS while only CTCSS", "", VELTRO_CALL(SetTone(0, 23, 1, 0)), kFalse, "", 0, ""},
      {"CTCSS while only DCS", "P30=2", VELTRO_CALL(SetTone(88.5f, 0, 1, 0)), kFalse, "", 0, ""},
      {"outside FM", "Mode=1", VELTRO_CALL(SetTone(88.5f, 0, 1, 0)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kFM, rows);
}

TEST(MemoryWriteText, FieldByField) {
  const struct {
    std::int16_t channel;
    MemoryContent in;
    const char* text;
    std::int16_t mode_after;
    // clang-format off
  } cases[] = {
      // freq, mode, reverse, enc, dec, ctcss, rpt
      {5, {145.5, 4, 0, 1, 0, 88.5f, -1}, "MW005145500000+000000402002", 4},
      {12, {7.074, 1, 0, 0, 0, 0, 1}, "MW012007074000+000000200000", 1},  // shift FM only
      {50, {14.07, 6, 1, 0, 0, 0, 0}, "MW050014070000+000000800000", 6},  // PSK stored as "8"
      {1, {7.03, 2, 1, 0, 0, 0, 0}, "MW001007030000+000000700000", 2},
      {1, {14.08, 5, 1, 0, 0, 0, 0}, "MW001014080000+000000900000", 5},
      {1, {0.5, 3, 0, 1, 1, 88.5f, 1}, "MW001000500000+000000500000", 3},  // tone FM only
      {99, {29.6, 4, 0, 1, 0, -23.0f, 0}, "MW099029600000+000000403000", 4},  // DCS
      {99, {29.6, 4, 0, 1, 7, 88.5f, 5}, "MW099029600000+000000400000", 4},   // odd Dec, RPT
      {99, {29.6, 4, 0, 3, 1, 88.5f, 1}, "MW099029600000+000000400001", 4},   // odd Enc
      {99, {29.6, 7, 0, 1, 0, 88.5f, 1}, "MW099029600000+000000402001", 4},   // 7 is FM
      {99, {29.6, 8, 0, 1, 0, 88.5f, 1}, "MW099029600000+000000 00001", 8},   // shift for 8
      {99, {29.6, -1, 0, 0, 0, 0, 0}, "MW099029600000+000000 00000", -1},
      {1234, {1296.1, 1, 0, 0, 0, 0, 0}, "MW123129610000+000000200000", 1},  // both cut
  };
  // clang-format on
  for (auto c : cases) {
    EXPECT_EQ(detail::MemoryWriteText(c.channel, c.in), c.text) << c.channel;
    EXPECT_EQ(c.in.mode, c.mode_after) << c.text;
  }
}

TEST(MemoryCommands, StoreRecallErase) {
  // 7.074 MHz USB on VFO A with a plus shift, which only FM stores.
  // clang-format off
  const testing::Row rows[] = {
      {"store, then the status read", "Mode=7", VELTRO_CALL(SetVFOM(12, "label")), kTrue, "200:MW012007074000+000000400001; 400:IF;", 400, "Mode=4 Mem=1 Ch=12"},
      {"store while sending is suspended, which stays so", "Suspend=-1", VELTRO_CALL(SetVFOM(3, "")), kTrue, "200:MW003007074000+000000200000; 400:IF;", 400, "Mem=1 Ch=3"},
      {"store in memory mode", "Mem=1", VELTRO_CALL(SetVFOM(1, "")), kFalse, "", 0, ""},
      {"recall, then the status read", "", VELTRO_CALL(SetChannel(5)), kTrue, "0:MC005; 105:IF;", 105, "Mem=1 Ch=5"},
      {"the host's bounds decide", "ChMax=120", VELTRO_CALL(SetChannel(100)), kTrue, "0:MC100; 105:IF;", 105, "Mem=1 Ch=100"},
      {"recall 0", "", VELTRO_CALL(SetChannel(0)), kFalse, "", 0, ""},
      {"recall 100", "", VELTRO_CALL(SetChannel(100)), kFalse, "", 0, ""},
      {"recall on VFO B", "VFO=1", VELTRO_CALL(SetChannel(5)), kFalse, "", 0, ""},
      {"erase is not offered", "", VELTRO_CALL(MClear(3)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows("Freq=7.074 FA=7.074 Mode=1 ModeA=1 RPT=1", rows);
}

}  // namespace
}  // namespace veltro
