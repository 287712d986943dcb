// Repeater shift, shift amount and tones: the tone positions, and one row a call
// (unit/encoder_cases.h).
#include <gtest/gtest.h>

#include <cmath>

#include "commands/encoding.h"
#include "host/tone_tables.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::RunRows;

// The encoder's positions are the decoder's: every listed value comes back, nothing else does.
TEST(ToneIndex, PositionsInTheListsAndNothingElse) {
  for (int i = 0; i < 50; ++i) EXPECT_EQ(detail::CTCSSIndex(detail::CtcssTone(i)), i);
  for (int i = 0; i < 104; ++i) EXPECT_EQ(detail::DCSIndex(detail::DcsCode(i)), i);
  EXPECT_EQ(detail::CTCSSIndex(88.5f), 8);
  EXPECT_EQ(detail::DCSIndex(23), 0);  // 023
  for (float hz : {88.6f, 0.0f, -67.0f, 88.50001f}) EXPECT_EQ(detail::CTCSSIndex(hz), -1) << hz;
  for (std::int16_t code : {24, 0, -23, 755}) EXPECT_EQ(detail::DCSIndex(code), -1) << code;
}

// FM on VFO A at 29.6 MHz (10 m); only CTCSS fitted.
constexpr const char* kFM = "Mode=4 Freq=29.6";

TEST(ToneCommands, RepeaterShiftAndAmount) {
  // clang-format off
  const testing::Row rows[] = {
      {"minus on A, then the FM read-back", "", VELTRO_CALL(SetRPT(-1)), kTrue, "0:OS02; 105:OS0; 205:EX010317;", 205, "RPT=-1"},
      {"plus on B", "VFO=1", VELTRO_CALL(SetRPT(1)), kTrue, "0:OS11; 105:OS1; 205:EX010317;", 205, "RPT=1"},
      {"simplex outside FM: no read-back", "Mode=1 RPT=1", VELTRO_CALL(SetRPT(0)), kTrue, "0:OS00;", 0, "RPT=0"},
      {"another direction is a bare read, stored as given", "Mode=1", VELTRO_CALL(SetRPT(3)), kTrue, "0:OS0;", 0, "RPT=3"},
      {"shift direction not fitted", "P27=0", VELTRO_CALL(SetRPT(1)), kFalse, "", 0, ""},
      {"600 kHz below 50 MHz", "", VELTRO_CALL(SetShift(600000)), kTrue, "0:EX0103170600;", 0, "Shift=600"},
      {"50 to 60 MHz uses the other item", "Freq=51", VELTRO_CALL(SetShift(1000000)), kTrue, "0:EX0103181000;", 0, "Shift=1000"},
      {"60 MHz is still in it", "Freq=60", VELTRO_CALL(SetShift(500000)), kTrue, "0:EX0103180500;", 0, "Shift=500"},
      {"a hair under a kHz rounds up", "", VELTRO_CALL(SetShift(99990)), kTrue, "0:EX0103170100;", 0, "Shift=99.99"},
      {"no menu above 60 MHz, stored all the same", "Freq=145", VELTRO_CALL(SetShift(600000)), kTrue, "", 0, "Shift=600"},
      {"shift NaN", "", VELTRO_OVERFLOWS(SetShift(std::nanf(""))), kTrue, "", 0, ""},
      {"shift not fitted", "P20=0", VELTRO_CALL(SetShift(600000)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kFM, rows);
}

TEST(ToneCommands, SetTone) {
  // clang-format off
  const testing::Row rows[] = {
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
      {"outside FM even off", "Mode=7", VELTRO_CALL(SetTone(0, 0, 0, 0)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kFM, rows);
}

}  // namespace
}  // namespace veltro
