// Tuning operations: the texts each call writes, in order and on virtual time, the cache after
// it, and refusals that write and store nothing. The band and frequency-text routines have
// their own tables.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "commands/encoding.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::EncoderRig;
using testing::Sent;
using State = detail::RadioState;

TEST(BandOfFreq, EdgesAreIncludedAndTheFirstMatchWins) {
  const struct {
    double mhz;
    std::int16_t band;
  } cases[] = {{1.5, 0},     {2.0, 0},    {2.01, 11},  {3.5, 1},   {5.25, 2},  {7.0, 3},
               {7.5, 3},     {10.1, 4},   {14.0, 5},   {14.5, 5},  {18.1, 6},  {21.2, 7},
               {24.9, 8},    {25.0, 8},   {28.0, 9},   {30.0, 9},  {50.0, 10}, {54.0, 10},
               {54.001, 11}, {144.0, 15}, {148.0, 15}, {420, 16},  {450, 16},  {450.1, 11},
               {0.0, 11},    {-14.2, 11}, {75.0, 11},  {1.499, 11}};
  for (const auto& c : cases) EXPECT_EQ(detail::BandOfFreq(c.mhz), c.band) << c.mhz;
}

TEST(FreqDigits, WholeHertzPaddedToNineDigits) {
  const struct {
    double mhz;
    const char* text;
  } cases[] = {{14.25, "014250000"},    {0.03, "000030000"},     {7.0741, "007074100"},
               {1296.1, "1296100000"},  {0.0, "000000000"},      {-7.1, "007100000"},
               {145.5, "145500000"},    {29.6, "029600000"},     {0.0000004, "000000000"},
               {0.000001, "000000001"}, {74.999999, "074999999"}};
  for (const auto& c : cases) EXPECT_EQ(detail::FreqDigits(c.mhz), c.text) << c.mhz;
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e13}) {
    try {
      detail::FreqDigits(bad);
      ADD_FAILURE() << bad;
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.Number(), 6);
    }
  }
}

// One operation from a given cache: its result, what it wrote and when, how long it took and
// what the cache holds after it.
struct Case {
  const char* name;
  std::function<void(State&)> given;
  std::function<VBool(FTDX10_Protocol&)> call;
  VBool result;
  std::vector<Sent> sent;
  std::int64_t took_ms;
  std::function<void(EncoderRig&)> then;
};

void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  EncoderRig rig;
  if (c.given) c.given(rig.state());
  VBool result = kFalse;
  auto rec = rig.Record([&] { result = c.call(*rig.radio); });
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(rec.sent, c.sent);
  EXPECT_EQ(rec.took_ms, c.took_ms);
  if (c.then) c.then(rig);
}

void OnVFOA(State& s, double a, double b) {
  s.VFO = 0;
  s.VFOA_Freq = s.Freq = a;
  s.VFOB_Freq = b;
}

TEST(FrequencyCommands, SetFreq) {
  const Case cases[] = {
      {"band change on VFO A: band first, the frequency after its pause",
       [](State& s) { OnVFOA(s, 7.1, 3.6); },
       [](FTDX10_Protocol& r) { return r.SetFreq(14.25); },
       kTrue,
       {{0, "BS05;"}, {200, "FA014250000;"}},
       200,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 14.25);
         EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 14.25);
         EXPECT_DOUBLE_EQ(r.radio->VFOB_Freq(), 3.6);
         EXPECT_EQ(r.radio->Band(), 5);
       }},
      {"same band",
       [](State& s) { OnVFOA(s, 7.05, 0); },
       [](FTDX10_Protocol& r) { return r.SetFreq(7.15); },
       kTrue,
       {{0, "FA007150000;"}},
       0,
       [](EncoderRig& r) { EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 7.15); }},
      {"VFO B never changes band",
       [](State& s) {
         OnVFOA(s, 7.1, 3.6);
         s.VFO = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetFreq(14.25); },
       kTrue,
       {{0, "FB014250000;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 14.25);
         EXPECT_DOUBLE_EQ(r.radio->VFOB_Freq(), 14.25);
         EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 7.1);
         EXPECT_EQ(r.radio->Band(), 0);
       }},
      {"lowest edge",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetFreq(0.03); },
       kTrue,
       {{0, "FA000030000;"}},
       0,
       nullptr},
      {"highest edge, general coverage like 0 MHz",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetFreq(75); },
       kTrue,
       {{0, "FA075000000;"}},
       0,
       nullptr},
      {"representation error absorbed",
       [](State& s) { OnVFOA(s, 7.0, 0); },
       [](FTDX10_Protocol& r) { return r.SetFreq(7.0741); },
       kTrue,
       {{0, "FA007074100;"}},
       0,
       nullptr},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(FrequencyCommands, SetFreqIsImmediateEvenRightAfterACommand) {
  EncoderRig rig;
  rig.state().VFOA_Freq = 14.1;
  auto rec = rig.Record([&] {
    rig.radio->SetRITClear();
    rig.radio->SetFreq(14.2);
    rig.radio->SetVFOB(14.3);
  });
  EXPECT_EQ(rec.sent, (std::vector<Sent>{{0, "RC;"}, {0, "FA014200000;"}, {0, "FB014300000;"}}));
}

TEST(FrequencyCommands, SetFreqUsesTheRangeTables) {
  EncoderRig rig;
  auto& m = rig.module();
  m.FreqRangeCount = 2;
  m.FreqRangeMin[2] = 144;
  m.FreqRangeMax[2] = 148;
  EXPECT_EQ(rig.radio->ValidFreq(145), kTrue);
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetFreq(145), kTrue); });
  EXPECT_EQ(rec.sent, (std::vector<Sent>{{0, "BS15;"}, {200, "FA145000000;"}}));
  m.FreqRangeMax[1] = 54;  // the smaller profile
  EXPECT_EQ(rig.radio->ValidFreq(60), kFalse);
  EXPECT_EQ(rig.radio->ValidFreq(54), kTrue);
  m.FreqRangeCount = 0;
  EXPECT_EQ(rig.radio->ValidFreq(14), kFalse);
  m.FreqRangeCount = 9;  // beyond the tables: their end
  EXPECT_EQ(rig.radio->ValidFreq(14), kTrue);
}

TEST(FrequencyCommands, SetVFOB) {
  const Case cases[] = {
      {"no range check",
       [](State& s) { OnVFOA(s, 7.1, 3.6); },
       [](FTDX10_Protocol& r) { return r.SetVFOB(100); },
       kTrue,
       {{0, "FB100000000;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->VFOB_Freq(), 100);
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 7.1);
       }},
      {"TX watch sends it to A",
       [](State& s) {
         OnVFOA(s, 7.1, 3.6);
         s.TXW = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetVFOB(14.2); },
       kTrue,
       {{0, "FA014200000;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 14.2);
         EXPECT_DOUBLE_EQ(r.radio->VFOB_Freq(), 3.6);
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 7.1);
       }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(FrequencyCommands, SetVFO) {
  auto given = [](State& s) {
    OnVFOA(s, 7.1, 14.2);
    s.VFOA_Mode = 0;
    s.VFOB_Mode = 2;
  };
  auto split = [](std::int16_t tx) {
    return [tx](EncoderRig& r) {
      EXPECT_EQ(r.state().TXVFO, tx);
      EXPECT_EQ(r.radio->Split(), r.state().VFO != tx ? 1 : 0);
    };
  };
  const std::vector<Sent> readback = {{105, "ST;"}, {205, "FA;"}, {310, "FB;"}, {415, "MD0;"}};
  auto with = [](std::string first, std::vector<Sent> rest) {
    rest.insert(rest.begin(), {0, first});
    return rest;
  };
  const Case cases[] = {
      {"VFO B", given, [](FTDX10_Protocol& r) { return r.SetVFO(1); }, kTrue,
       with("VS1;", readback), 615,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->VFO(), 1.0);
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 14.2);
         EXPECT_EQ(r.radio->Mode(), 2);
         EXPECT_EQ(r.radio->Split(), 0);  // the transmit VFO follows
         EXPECT_EQ(r.state().TXVFO, 1);
         EXPECT_EQ(r.module().VFOPollStep, 0);
         EXPECT_TRUE(r.lib.Panel().tmrPollVFO->Enabled());
       }},
      {"VFO A",
       [&](State& s) {
         given(s);
         s.VFO = s.TXVFO = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetVFO(0); }, kTrue, with("VS0;", readback), 615,
       [&](EncoderRig& r) {
         EXPECT_EQ(r.radio->VFO(), 0.0);
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 7.1);
         EXPECT_EQ(r.radio->Mode(), 0);
         split(0)(r);
       }},
      {"split kept from A to B: B receives, A transmits",
       [&](State& s) {
         given(s);
         s.TXVFO = s.Split = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetVFO(1); }, kTrue, with("VS1;", readback), 615,
       split(0)},
      {"split kept from B to A",
       [&](State& s) {
         given(s);
         s.VFO = s.Split = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetVFO(0); }, kTrue, with("VS0;", readback), 615,
       split(1)},
      {"another value selects A without a command",
       [&](State& s) {
         given(s);
         s.VFO = 1;
         s.Freq = 14.2;
       },
       [](FTDX10_Protocol& r) { return r.SetVFO(5); },
       kTrue,
       {{0, "ST;"}, {105, "FA;"}, {205, "FB;"}, {310, "MD0;"}},
       510,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->VFO(), 0.0);
         EXPECT_DOUBLE_EQ(r.radio->Freq(), 14.2);  // left to the answers
       }},
      {"memory mode: back to VFO only",
       [&](State& s) {
         given(s);
         s.MemMode = 1;
         s.VFO = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetVFO(1); },
       kTrue,
       {{0, "VM;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->MemMode(), 0);
         EXPECT_EQ(r.radio->VFO(), 0.0);
         EXPECT_FALSE(r.lib.Panel().tmrPollVFO->Enabled());
       }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(FrequencyCommands, SplitCopySwapBand) {
  const Case cases[] = {
      {"split off reads the other side back",
       [](State& s) { s.Split = 1, s.TXVFO = 1; },
       [](FTDX10_Protocol& r) { return r.SetSplit(0); },
       kTrue,
       {{0, "ST0;"}, {105, "OI;"}},
       105,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->Split(), 0);
         EXPECT_EQ(r.state().TXVFO, 0);
       }},
      {"split on",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetSplit(1); },
       kTrue,
       {{0, "ST1;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->Split(), 1);
         EXPECT_EQ(r.state().TXVFO, 1);
       }},
      {"split on from VFO B transmits on A",
       [](State& s) { s.VFO = s.TXVFO = 1; },
       [](FTDX10_Protocol& r) { return r.SetSplit(1); },
       kTrue,
       {{0, "ST1;"}},
       0,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->Split(), 1);
         EXPECT_EQ(r.state().TXVFO, 0);
       }},
      {"split off on VFO B",
       [](State& s) { s.VFO = 1, s.Split = 1; },
       [](FTDX10_Protocol& r) { return r.SetSplit(0); },
       kTrue,
       {{0, "ST0;"}, {105, "OI;"}},
       105,
       [](EncoderRig& r) { EXPECT_EQ(r.state().TXVFO, 1); }},
      {"any other value is on",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetSplit(-1); },
       kTrue,
       {{0, "ST-1;"}},
       0,
       [](EncoderRig& r) { EXPECT_EQ(r.state().TXVFO, 1); }},
      {"A to B",
       [](State& s) {
         OnVFOA(s, 7.1, 14.2);
         s.VFOA_Mode = 3;
       },
       [](FTDX10_Protocol& r) { return r.SetAeqB(); },
       kTrue,
       {{0, "AB;"}, {250, "OI;"}},
       250,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->VFOB_Freq(), 7.1);
         EXPECT_EQ(r.radio->VFOB_Mode(), 3);
       }},
      {"B to A",
       [](State& s) {
         OnVFOA(s, 7.1, 14.2);
         s.VFO = 1;
         s.VFOB_Mode = 1;
       },
       [](FTDX10_Protocol& r) { return r.SetAeqB(); },
       kTrue,
       {{0, "BA;"}, {250, "OI;"}},
       250,
       [](EncoderRig& r) {
         EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 14.2);
         EXPECT_EQ(r.radio->VFOA_Mode(), 1);
       }},
      {"swap after a pause, then the VFO poll",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetAexcB(); },
       kTrue,
       {{200, "SV;"}},
       200,
       [](EncoderRig& r) { EXPECT_TRUE(r.lib.Panel().tmrPollVFO->Enabled()); }},
      {"band 5",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetBand(5); },
       kTrue,
       {{0, "BS05;"}},
       200,
       [](EncoderRig& r) { EXPECT_EQ(r.radio->Band(), 5); }},
      {"band 11",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetBand(11); },
       kTrue,
       {{0, "BS11;"}},
       200,
       nullptr},
      {"band -1 keeps its sign",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetBand(-1); },
       kTrue,
       {{0, "BS-1;"}},
       200,
       [](EncoderRig& r) { EXPECT_EQ(r.radio->Band(), -1); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(FrequencyCommands, StepScanRIT) {
  const Case cases[] = {
      {"tuning step 0",
       [](State& s) { s.TuningStep = 3.5f; },
       [](FTDX10_Protocol& r) { return r.SetTuningStep(0); },
       kTrue,
       {},
       0,
       [](EncoderRig& r) { EXPECT_EQ(r.state().TuningStep, 0.0f); }},
      {"scan up",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetScanning(1, 7); },
       kTrue,
       {{0, "SC1;"}},
       0,
       nullptr},
      {"scan down",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetScanning(-1, 0); },
       kTrue,
       {{0, "SC2;"}},
       0,
       nullptr},
      {"scan stop",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetScanning(0, 0); },
       kTrue,
       {{0, "SC0;"}},
       0,
       nullptr},
      {"scan: other values send nothing",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetScanning(5, 0); },
       kTrue,
       {},
       0,
       nullptr},
      {"RIT on, clamped up",
       nullptr,
       [](FTDX10_Protocol& r) { return r.SetRIT(1, 12); },
       kTrue,
       {{0, "RT1;"}, {105, "RC;"}, {205, "RU9999;"}},
       205,
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->RITStatus(), 1);
         EXPECT_DOUBLE_EQ(r.radio->RITOffset(), 12);
       }},
      {"RIT down, status unchanged",
       [](State& s) { s.RITStatus = 1; },
       [](FTDX10_Protocol& r) { return r.SetRIT(1, -1.5); },
       kTrue,
       {{0, "RC;"}, {105, "RD1500;"}},
       105,
       nullptr},
      {"RIT off at zero",
       [](State& s) { s.RITStatus = 1, s.RITOffset = 2; },
       [](FTDX10_Protocol& r) { return r.SetRIT(0, 0); },
       kTrue,
       {{0, "RT0;"}, {105, "RC;"}},
       105,
       [](EncoderRig& r) { EXPECT_DOUBLE_EQ(r.radio->RITOffset(), 0); }},
      {"RIT small offsets pad to four digits",
       [](State& s) { s.RITStatus = 1; },
       [](FTDX10_Protocol& r) { return r.SetRIT(1, 0.02); },
       kTrue,
       {{0, "RC;"}, {105, "RU0020;"}},
       105,
       nullptr},
      {"RIT clamped down",
       [](State& s) { s.RITStatus = 1; },
       [](FTDX10_Protocol& r) { return r.SetRIT(1, -20); },
       kTrue,
       {{0, "RC;"}, {105, "RD9999;"}},
       105,
       nullptr},
      {"RIT without the function still succeeds",
       [](State& s) { s.Property[41] = 0; },
       [](FTDX10_Protocol& r) { return r.SetRIT(1, 1); },
       kTrue,
       {},
       0,
       [](EncoderRig& r) { EXPECT_EQ(r.radio->RITStatus(), 0); }},
      {"RIT clear",
       [](State& s) { s.RITOffset = 1.2; },
       [](FTDX10_Protocol& r) { return r.SetRITClear(); },
       kTrue,
       {{0, "RC;"}},
       0,
       [](EncoderRig& r) { EXPECT_DOUBLE_EQ(r.radio->RITOffset(), 0); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(FrequencyCommands, SetRITRefusesNaNWithAnError) {
  EncoderRig rig;
  auto before = rig.Snapshot();
  auto rec = rig.Record([&] { EXPECT_THROW(rig.radio->SetRIT(1, std::nan("")), AutomationError); });
  EXPECT_TRUE(rec.sent.empty());
  EXPECT_EQ(rig.Snapshot(), before);
}

// Refused calls send nothing and store nothing.
TEST(FrequencyCommands, Refusals) {
  struct Refusal {
    const char* name;
    std::function<void(State&)> given;
    std::function<VBool(FTDX10_Protocol&)> call;
  };
  auto gate = [](int index) { return [index](State& s) { s.Property[index] = 0; }; };
  auto mem = [](State& s) { s.MemMode = 1; };
  const Refusal cases[] = {
      {"SetFreq 0", nullptr, [](FTDX10_Protocol& r) { return r.SetFreq(0); }},
      {"SetFreq 80", nullptr, [](FTDX10_Protocol& r) { return r.SetFreq(80); }},
      {"SetFreq below range", nullptr, [](FTDX10_Protocol& r) { return r.SetFreq(0.0299); }},
      {"SetFreq negative", nullptr, [](FTDX10_Protocol& r) { return r.SetFreq(-14.2); }},
      {"SetFreq NaN", nullptr, [](FTDX10_Protocol& r) { return r.SetFreq(std::nan("")); }},
      {"SetFreq memory", mem, [](FTDX10_Protocol& r) { return r.SetFreq(14.2); }},
      {"SetFreq gate", gate(13), [](FTDX10_Protocol& r) { return r.SetFreq(14.2); }},
      {"SetVFOB gate", gate(83), [](FTDX10_Protocol& r) { return r.SetVFOB(14.2); }},
      {"SetVFO gate", gate(33), [](FTDX10_Protocol& r) { return r.SetVFO(1); }},
      {"SetSplit gate", gate(28), [](FTDX10_Protocol& r) { return r.SetSplit(1); }},
      {"SetAeqB gate", gate(0), [](FTDX10_Protocol& r) { return r.SetAeqB(); }},
      {"SetAeqB memory", mem, [](FTDX10_Protocol& r) { return r.SetAeqB(); }},
      {"SetAexcB gate", gate(75), [](FTDX10_Protocol& r) { return r.SetAexcB(); }},
      {"SetAexcB memory", mem, [](FTDX10_Protocol& r) { return r.SetAexcB(); }},
      {"SetBand gate", gate(74), [](FTDX10_Protocol& r) { return r.SetBand(5); }},
      {"SetTuningStep 1", nullptr, [](FTDX10_Protocol& r) { return r.SetTuningStep(1); }},
      {"SetScanning gate", gate(37), [](FTDX10_Protocol& r) { return r.SetScanning(1, 0); }},
      {"SetRITClear gate", gate(42), [](FTDX10_Protocol& r) { return r.SetRITClear(); }},
      {"SetTX gate", gate(32),
       [](FTDX10_Protocol& r) {
         std::int16_t m = 1;
         return r.SetTX(14.2, m);
       }},
      {"SetTX memory", mem,
       [](FTDX10_Protocol& r) {
         std::int16_t m = 1;
         return r.SetTX(14.2, m);
       }},
      {"SetTX VFO beyond B", [](State& s) { s.VFO = 2; },
       [](FTDX10_Protocol& r) {
         std::int16_t m = 1;
         return r.SetTX(14.2, m);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EncoderRig rig;
    rig.state().VFOA_Freq = rig.state().Freq = 7.1;
    rig.state().TuningStep = 2;
    if (c.given) c.given(rig.state());
    auto before = rig.Snapshot();
    VBool result = kTrue;
    auto rec = rig.Record([&] { result = c.call(*rig.radio); });
    EXPECT_EQ(result, kFalse);
    EXPECT_TRUE(rec.sent.empty());
    EXPECT_EQ(rec.took_ms, 0);
    EXPECT_EQ(rig.Snapshot(), before);
  }
}

TEST(FrequencyCommands, SetTXTunesTheOtherVFOAndSwitchesSplitOn) {
  EncoderRig rig;
  auto& s = rig.state();
  OnVFOA(s, 7.1, 3.6);
  s.VFOA_Mode = s.Mode = 1;
  s.VFOB_Mode = 0;
  std::int16_t mode = 2;
  VBool result = kFalse;
  auto rec = rig.Record([&] { result = rig.radio->SetTX(14.2, mode); });
  EXPECT_EQ(result, kTrue);
  EXPECT_EQ(rec.sent, (std::vector<Sent>{{0, "MD03;"},
                                         {0, "FA007100000;"},
                                         {105, "BI;"},
                                         {205, "AB;"},
                                         {455, "OI;"},
                                         {455, "FB014200000;"},
                                         {655, "ST1;"}}));
  EXPECT_EQ(s.VFO, 0);
  EXPECT_DOUBLE_EQ(s.Freq, 7.1);
  EXPECT_EQ(s.Mode, 2);
  EXPECT_EQ(s.VFOA_Mode, 2);
  EXPECT_EQ(s.VFOB_Mode, 2);
  EXPECT_DOUBLE_EQ(s.VFOA_Freq, 7.1);
  EXPECT_DOUBLE_EQ(s.VFOB_Freq, 14.2);
  EXPECT_DOUBLE_EQ(s.TX_Freq, 14.2);
  EXPECT_EQ(s.TX_Mode, 2);
  EXPECT_EQ(s.Split, 1);
  EXPECT_EQ(s.TXVFO, 1);
}

TEST(FrequencyCommands, SetTXFromVFOBChangesBandOnA) {
  EncoderRig rig;
  auto& s = rig.state();
  OnVFOA(s, 7.1, 3.6);
  s.VFO = 1;
  s.Freq = 3.6;
  std::int16_t mode = 0;  // already the mode in use: no mode command
  auto rec = rig.Record([&] { rig.radio->SetTX(14.2, mode); });
  EXPECT_EQ(rec.sent,
            (std::vector<Sent>{
                {0, "BA;"}, {250, "OI;"}, {355, "BS05;"}, {555, "FA014200000;"}, {755, "ST1;"}}));
  EXPECT_EQ(s.VFO, 1);
  EXPECT_DOUBLE_EQ(s.Freq, 3.6);
  EXPECT_DOUBLE_EQ(s.VFOA_Freq, 14.2);
  EXPECT_EQ(s.Band, 5);
}

TEST(FrequencyCommands, SetTXPassesTheRewrittenModeBack) {
  EncoderRig rig;
  auto& s = rig.state();
  OnVFOA(s, 14.1, 14.1);
  s.Property[16] = 255;  // mode 7 offered
  std::int16_t mode = 7;
  EXPECT_EQ(rig.radio->SetTX(14.2, mode), kTrue);
  EXPECT_EQ(mode, 4);
  EXPECT_EQ(s.TX_Mode, 4);
  EXPECT_EQ(s.Mode, 4);
}

// An answer that a send's message pump delivers while SetTX has the other VFO selected must not
// be stored against that VFO: it is taken in once the VFO in use is back.
TEST(FrequencyCommands, SetTXHoldsAnswersWhileTheVFOIsFlipped) {
  EncoderRig rig;
  auto& s = rig.state();
  OnVFOA(s, 7.1, 3.6);
  s.VFO = 1;
  s.Freq = 3.6;
  s.VFOA_Mode = s.VFOB_Mode = s.Mode = 1;
  s.CKBuffer = kTrue;  // ordinary commands pump messages while the output drains
  std::vector<std::int16_t> vfo_seen;
  rig.serial().OnWrite([&](const std::string& text) {
    // Arrives after the copy's read-back, so the drain wait before "BS05" delivers it, while
    // VFO A is selected for the new frequency. The radio's receive VFO (B) is in CW.
    if (text == "OI;") rig.serial().Feed("MD03;");
  });
  rig.radio->AddChangeHandler([&](std::int16_t&) { vfo_seen.push_back(s.VFO); });
  std::int16_t mode = 1;
  EXPECT_EQ(rig.radio->SetTX(14.2, mode), kTrue);
  EXPECT_EQ(s.VFOB_Mode, 2);
  EXPECT_EQ(s.VFOA_Mode, 1);
  EXPECT_EQ(s.Mode, 2);  // parsed with VFO B in use again
  ASSERT_FALSE(vfo_seen.empty());
  for (auto v : vfo_seen) EXPECT_EQ(v, 1);
}

// Called from a Change handler (inside the parser), SetTX must leave the parser's guard set.
TEST(FrequencyCommands, SetTXInsideAHandlerKeepsTheParserGuard) {
  EncoderRig rig;
  OnVFOA(rig.state(), 7.1, 7.1);
  bool done = false;
  bool busy_after = false;
  rig.radio->AddChangeHandler([&](std::int16_t&) {
    if (done) return;
    done = true;
    std::int16_t mode = rig.state().Mode;
    rig.radio->SetTX(7.2, mode);
    busy_after = rig.module().ParserBusy;
  });
  std::string buf = "MD03;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_TRUE(done);
  EXPECT_TRUE(busy_after);
  EXPECT_FALSE(rig.module().ParserBusy);
}

}  // namespace
}  // namespace veltro
