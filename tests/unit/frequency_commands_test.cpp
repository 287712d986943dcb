// Tuning operations, one row a call (unit/encoder_cases.h), and the band, frequency-text and
// range routines beneath them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands/encoding.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::EncoderRig;
using testing::RunRows;

TEST(BandOfFreq, EdgesAreIncluded) {
  const struct {
    double mhz;
    std::int16_t band;
  } cases[] = {{1.5, 0},    {2.0, 0},     {2.01, 11},  {1.499, 11}, {3.5, 1},  {5.25, 2},
               {7.5, 3},    {10.1, 4},    {14.0, 5},   {14.5, 5},   {18.1, 6}, {21.2, 7},
               {24.5, 8},   {24.49, 11},  {25.0, 8},   {28.0, 9},   {30.0, 9}, {50.0, 10},
               {54.0, 10},  {54.001, 11}, {144.0, 15}, {148.0, 15}, {420, 16}, {450, 16},
               {450.1, 11}, {0.0, 11},    {-14.2, 11}};
  for (const auto& c : cases) EXPECT_EQ(detail::BandOfFreq(c.mhz), c.band) << c.mhz;
}

TEST(FreqDigits, WholeHertzPaddedToNineDigits) {
  const struct {
    double mhz;
    const char* text;
  } cases[] = {{14.25, "014250000"},     {0.03, "000030000"},     {8.2, "008200000"},
               {1296.1, "1296100000"},   {0.0, "000000000"},      {-7.1, "007100000"},
               {0.0000004, "000000000"}, {0.000001, "000000001"}, {74.999999, "074999999"}};
  for (const auto& c : cases) EXPECT_EQ(detail::FreqDigits(c.mhz), c.text) << c.mhz;
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e13}) {
    EXPECT_THROW(detail::FreqDigits(bad), AutomationError) << bad;
  }
}

TEST(ValidFreq, FollowsTheRangeTables) {
  EncoderRig rig;
  auto& m = rig.module();
  auto valid = [&](double mhz) { return rig.radio->ValidFreq(mhz) == kTrue; };
  EXPECT_TRUE(valid(75) && !valid(145));
  m.FreqRangeCount = 2, m.FreqRangeMin[2] = 144, m.FreqRangeMax[2] = 148;
  EXPECT_TRUE(valid(145));
  m.FreqRangeMax[1] = 54;  // the smaller profile
  EXPECT_TRUE(valid(54) && !valid(60));
  m.FreqRangeCount = 9;  // beyond the tables: their end
  EXPECT_TRUE(valid(14));
  m.FreqRangeCount = 0;
  EXPECT_FALSE(valid(14));
}

// VFO A on 7.1 MHz (40 m), VFO B on 3.6 MHz.
constexpr const char* kOnA = "Freq=7.1 FA=7.1 FB=3.6 ModeB=2";

TEST(FrequencyCommands, SetFreqAndSetVFOB) {
  // clang-format off
  const testing::Row rows[] = {
      {"band change on A: the band first, the frequency after its pause", "", VELTRO_CALL(SetFreq(14.25)), kTrue, "0:BS05; 200:FA014250000;", 200, "Freq=14.25 FA=14.25 Band=5"},
      {"same band", "", VELTRO_CALL(SetFreq(7.15)), kTrue, "0:FA007150000;", 0, "Freq=7.15 FA=7.15"},
      {"lowest edge, general coverage", "", VELTRO_CALL(SetFreq(0.03)), kTrue, "0:BS11; 200:FA000030000;", 200, "Freq=0.03 FA=0.03 Band=11"},
      {"VFO B never changes band", "VFO=1 Freq=3.6", VELTRO_CALL(SetFreq(14.25)), kTrue, "0:FB014250000;", 0, "Freq=14.25 FB=14.25"},
      {"outside the range", "", VELTRO_CALL(SetFreq(75.01)), kFalse, "", 0, ""},
      {"below the range", "", VELTRO_CALL(SetFreq(0.0299)), kFalse, "", 0, ""},
      {"NaN", "", VELTRO_CALL(SetFreq(std::nan(""))), kFalse, "", 0, ""},
      {"memory mode", "Mem=1", VELTRO_CALL(SetFreq(14.2)), kFalse, "", 0, ""},
      {"SetFreq not fitted", "P13=0", VELTRO_CALL(SetFreq(14.2)), kFalse, "", 0, ""},
      {"B: no range check", "", VELTRO_CALL(SetVFOB(100)), kTrue, "0:FB100000000;", 0, "FB=100"},
      {"B with TX watch goes to A", "TXW=1", VELTRO_CALL(SetVFOB(14.2)), kTrue, "0:FA014200000;", 0, "FA=14.2"},
      {"B skips the wait after a command", "", [](FTDX10_Protocol& r) { return r.SetRITClear(), r.SetVFOB(14.3); }, kTrue, "0:RC; 0:FB014300000;", 0, "FB=14.3"},
      {"B NaN", "", VELTRO_OVERFLOWS(SetVFOB(std::nan(""))), kTrue, "", 0, ""},
      {"B not fitted", "P83=0", VELTRO_CALL(SetVFOB(14.2)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

TEST(FrequencyCommands, SetVFO) {
  constexpr const char* kReadBack = " 105:ST; 205:FA; 310:FB; 415:MD0;";
  const std::string to_b = std::string("0:VS1;") + kReadBack,
                    to_a = std::string("0:VS0;") + kReadBack;
  // clang-format off
  const testing::Row rows[] = {
      {"to B: the transmit VFO stays", "VFOStep=3", VELTRO_CALL(SetVFO(1)), kTrue, to_b.c_str(), 615, "Freq=3.6 VFO=1 Mode=2 VFOStep=0 VFOPoll=1"},
      {"to A after the radio's own VS1: split off", "VFO=1 Split=1 Freq=3.6 Mode=2", VELTRO_CALL(SetVFO(0)), kTrue, to_a.c_str(), 615, "Freq=7.1 VFO=0 Mode=0 Split=0 VFOPoll=1"},
      {"to A with B transmitting: split on", "VFO=1 TXVFO=1", VELTRO_CALL(SetVFO(0)), kTrue, to_a.c_str(), 615, "VFO=0 Split=1 VFOPoll=1"},
      {"another value selects A without a command", "VFO=1 TXVFO=1 Freq=3.6", VELTRO_CALL(SetVFO(5)), kTrue, "0:ST; 105:FA; 205:FB; 310:MD0;", 510, "VFO=0 Split=1 VFOPoll=1"},
      {"memory mode: back to the VFO only", "Mem=1 VFO=1", VELTRO_CALL(SetVFO(1)), kTrue, "0:VM;", 0, "VFO=0 Mem=0"},
      {"not fitted", "P33=0", VELTRO_CALL(SetVFO(1)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

TEST(FrequencyCommands, SplitCopySwapBand) {
  // clang-format off
  const testing::Row rows[] = {
      {"split off reads the other side back", "Split=1 TXVFO=1", VELTRO_CALL(SetSplit(0)), kTrue, "0:ST0; 105:OI;", 105, "Split=0 TXVFO=0"},
      {"split on", "", VELTRO_CALL(SetSplit(1)), kTrue, "0:ST1;", 0, "Split=1 TXVFO=1"},
      {"any other split value is on", "", VELTRO_CALL(SetSplit(-1)), kTrue, "0:ST-1;", 0, "Split=-1 TXVFO=1"},
      {"split not fitted", "P28=0", VELTRO_CALL(SetSplit(1)), kFalse, "", 0, ""},
      {"A to B", "ModeA=3", VELTRO_CALL(SetAeqB()), kTrue, "0:AB; 250:OI;", 250, "FB=7.1 ModeB=3"},
      {"B to A", "VFO=1 ModeB=1", VELTRO_CALL(SetAeqB()), kTrue, "0:BA; 250:OI;", 250, "FA=3.6 ModeA=1"},
      {"copy not fitted", "P0=0", VELTRO_CALL(SetAeqB()), kFalse, "", 0, ""},
      {"swap after a pause, then the VFO poll", "", VELTRO_CALL(SetAexcB()), kTrue, "200:SV;", 200, "VFOPoll=1"},
      {"swap not fitted", "P75=0", VELTRO_CALL(SetAexcB()), kFalse, "", 0, ""},
      {"swap in memory mode", "Mem=1", VELTRO_CALL(SetAexcB()), kFalse, "", 0, ""},
      {"band", "", VELTRO_CALL(SetBand(5)), kTrue, "0:BS05;", 200, "Band=5"},
      {"band not fitted", "P74=0", VELTRO_CALL(SetBand(5)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

TEST(FrequencyCommands, StepScanRIT) {
  // clang-format off
  const testing::Row rows[] = {
      {"tuning step 0", "Step=3.5", VELTRO_CALL(SetTuningStep(0)), kTrue, "", 0, "Step=0"},
      {"no other tuning step", "Step=3.5", VELTRO_CALL(SetTuningStep(1)), kFalse, "", 0, ""},
      {"scan up", "", VELTRO_CALL(SetScanning(1, 7)), kTrue, "0:SC1;", 0, ""},
      {"scan down", "", VELTRO_CALL(SetScanning(-1, 0)), kTrue, "0:SC2;", 0, ""},
      {"scan: other values send nothing", "", VELTRO_CALL(SetScanning(5, 0)), kTrue, "", 0, ""},
      {"scan not fitted", "P37=0", VELTRO_CALL(SetScanning(1, 0)), kFalse, "", 0, ""},
      {"RIT on, clamped up", "", VELTRO_CALL(SetRIT(1, 12)), kTrue, "0:RT1; 105:RC; 205:RU9999;", 205, "RIT=1 RITOff=12"},
      {"RIT down, status unchanged", "RIT=1", VELTRO_CALL(SetRIT(1, -1.5)), kTrue, "0:RC; 105:RD1500;", 105, "RITOff=-1.5"},
      {"RIT clamped down", "RIT=1", VELTRO_CALL(SetRIT(1, -20)), kTrue, "0:RC; 105:RD9999;", 105, "RITOff=-20"},
      {"RIT pads to four digits", "RIT=1", VELTRO_CALL(SetRIT(1, 0.02)), kTrue, "0:RC; 105:RU0020;", 105, "RITOff=0.02"},
      {"RIT off at zero", "RIT=1 RITOff=2", VELTRO_CALL(SetRIT(0, 0)), kTrue, "0:RT0; 105:RC;", 105, "RIT=0 RITOff=0"},
      {"RIT NaN", "", VELTRO_OVERFLOWS(SetRIT(1, std::nan(""))), kTrue, "", 0, ""},
      {"RIT without the function still succeeds", "P41=0", VELTRO_CALL(SetRIT(1, 1)), kTrue, "", 0, ""},
      {"RIT clear", "RITOff=1.2", VELTRO_CALL(SetRITClear()), kTrue, "0:RC;", 0, "RITOff=0"},
      {"RIT clear not fitted", "RITOff=1.2 P42=0", VELTRO_CALL(SetRITClear()), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows("", rows);
}

TEST(FrequencyCommands, SetTX) {
  // clang-format off
  const testing::Row rows[] = {
      {"from A: the mode, the copy, B tuned at once, split on", "Mode=1 ModeA=1 ModeB=0", VELTRO_CALL(SetTX(14.2, 2)), kTrue, "0:MD03; 0:FA007100000; 105:BI; 205:AB; 455:OI; 455:FB014200000; 655:ST1;", 655, "FB=14.2 Mode=2 ModeA=2 ModeB=2 Split=1 TXVFO=1 TXFreq=14.2 TXMode=2"},
      {"from B: A changes band, no mode command", "VFO=1 Freq=3.6 Mode=2", VELTRO_CALL(SetTX(14.2, 2)), kTrue, "0:BA; 250:OI; 355:BS05; 555:FA014200000; 755:ST1;", 755, "FA=14.2 ModeA=2 Split=1 TXVFO=1 TXFreq=14.2 TXMode=2 Band=5"},
      {"mode 7 comes back as 4", "P16=255", VELTRO_REWRITES(7, 4, SetTX(7.2, m)), kTrue, "0:MD04; 0:FA007100000; 105:OS0; 205:EX010317; 310:BI; 415:AB; 665:OI; 665:FB007200000; 865:ST1;", 865, "FB=7.2 Mode=4 ModeA=4 ModeB=4 Split=1 TXVFO=1 TXFreq=7.2 TXMode=4"},
      {"not fitted", "P32=0", VELTRO_CALL(SetTX(14.2, 1)), kFalse, "", 0, ""},
      {"memory mode", "Mem=1", VELTRO_CALL(SetTX(14.2, 1)), kFalse, "", 0, ""},
      {"VFO beyond B", "VFO=2", VELTRO_CALL(SetTX(14.2, 1)), kFalse, "", 0, ""},
      {"NaN fails as an overflow before anything is sent", "", VELTRO_OVERFLOWS(SetTX(std::nan(""), 1)), kTrue, "", 0, ""},
      // CK: sends pump. The answer arrives after the copy's read-back, so the drain wait before
      // "BS05" delivers it while VFO A is selected for the new frequency; it is the receive VFO's
      // (B) mode and is taken in only once B is back in use.
      {"an answer in the pump is held while the VFO is flipped", "VFO=1 Freq=3.6 Mode=1 ModeA=1 ModeB=1 CK=-1 OI;>MD03;", VELTRO_CALL(SetTX(14.2, 1)), kTrue, "5:BA; 260:OI; 365:BS05; 565:FA014200000; 770:SH0; 875:IS0; 1080:ST; 1080:ST1; 1285:MD0; 1285:OI;", 1285, "FA=14.2 Mode=2 ModeB=2 Split=1 TXVFO=1 TXFreq=14.2 TXMode=1 Band=5 VFOStep=2 VFOPoll=1"},
  };
  // clang-format on
  RunRows(kOnA, rows);
}

// Called from a change handler (inside the parser), SetTX must leave the parser's guard set.
TEST(FrequencyCommands, SetTXInsideAHandlerKeepsTheParserGuard) {
  EncoderRig rig;
  bool busy_after = false;
  int calls = 0;
  rig.radio->AddChangeHandler([&](std::int16_t&) {
    if (calls++) return;
    rig.radio->SetTX(7.2, 1);
    busy_after = rig.module().ParserBusy;
  });
  std::string buf = "MD03;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_TRUE(busy_after);
  EXPECT_FALSE(rig.module().ParserBusy);
}

}  // namespace
}  // namespace veltro
