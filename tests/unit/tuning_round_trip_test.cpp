// The tuning, mode, tone and memory operations against the in-process radio model on virtual
// time: each operation reaches the radio, and after the polling that follows it the radio and
// the library's cache agree.
#include <gtest/gtest.h>

#include <source_location>
#include <string>
#include <tuple>
#include <utility>

#include "host/mode_chars.h"
#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

// The longest the polling may need to bring the cache level with the radio after an operation:
// a current-VFO sequence (29 steps of 200 ms) and then a whole status cycle, whose steps share
// the master tick with the S-meter poll. A swap made while a current-VFO sequence is under way
// only enables its timer, so the mode is read back by the next status cycle: about 10.8 s.
constexpr int kSettleMs = 12000;

std::int16_t ModeOf(char c) { return detail::DecodeModeChar(c).value().mode; }
double MHz(std::int64_t hz) { return static_cast<double>(hz) / 1e6; }

// Where the cache and the radio differ, as "name cache/radio" items; empty when they agree.
std::string Differences(SimulatedRig& rig) {
  const auto& m = rig.radio_model;
  const auto& r = *rig.radio;
  const char rx = m.ReceiveVfo();
  std::string out;
  auto check = [&out](const char* name, double cache, double radio) {
    if (cache != radio)
      out += std::string(name) + " " + std::to_string(cache) + "/" + std::to_string(radio) + "; ";
  };
  check("MemMode", r.MemMode(), m.MemoryMode() ? 1 : 0);
  check("VFO", r.VFO(), rx == 'A' ? 0 : 1);
  check("VFOA_Freq", r.VFOA_Freq(), MHz(m.VfoFreqHz('A')));
  check("VFOB_Freq", r.VFOB_Freq(), MHz(m.VfoFreqHz('B')));
  check("VFOA_Mode", r.VFOA_Mode(), ModeOf(m.ModeChar('A')));
  check("VFOB_Mode", r.VFOB_Mode(), ModeOf(m.ModeChar('B')));
  if (m.MemoryMode()) {
    check("Channel", r.Channel(), m.Channel());
    check("Freq", r.Freq(), MHz(m.WorkingChannel().freq_hz));
    check("Mode", r.Mode(), ModeOf(m.WorkingChannel().mode));
  } else {
    check("Freq", r.Freq(), MHz(m.VfoFreqHz(rx)));
    check("Mode", r.Mode(), ModeOf(m.ModeChar(rx)));
    check("Split", r.Split(), m.Split() ? 1 : 0);
    if (m.Split()) check("TX_Freq", r.TX_Freq(), MHz(m.VfoFreqHz(m.TransmitVfo())));
  }
  return out;
}

// Lets virtual time run in 25 ms steps until the two sides agree, at most `limit_ms`; returns
// how long that took, or -1. (In memory mode the "VS" answer of each status cycle points the
// frequency at VFO A until the next "IF" answer, so agreement is looked for, not sampled once.)
int SettleMs(SimulatedRig& rig, int limit_ms = kSettleMs) {
  for (int t = 0; t <= limit_ms; t += 25, rig.vp.Advance(25)) {
    if (Differences(rig).empty()) return t;
  }
  return -1;
}

void ExpectAgree(SimulatedRig& rig) { EXPECT_EQ(Differences(rig), ""); }

class TuningRoundTrip : public ::testing::Test {
 protected:
  TuningRoundTrip() {
    for (const char* c : {"FA007100000", "FB003600000", "MD02"}) rig.radio_model.Execute(c);
    rig.Connect(kSettleMs);
  }
  // The operation's result, then the polling, then the two sides compared.
  void Settled(VBool result, VBool expected = kTrue,
               std::source_location at = std::source_location::current()) {
    ::testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "operation");
    EXPECT_EQ(result, expected);
    EXPECT_GE(SettleMs(rig), 0) << Differences(rig);
  }
  VBool SetMode(std::int16_t mode, std::int16_t reverse = 0) {
    return rig.radio->SetMode(mode, reverse);
  }
  std::int64_t Hz(char vfo) { return rig.radio_model.VfoFreqHz(vfo); }
  SimulatedRig rig;
};

TEST_F(TuningRoundTrip, FrequencyVFOsCopySwapSplitAndMode) {
  auto& r = *rig.radio;
  ExpectAgree(rig);
  Settled(r.SetFreq(14.25));  // band change on A
  EXPECT_EQ(Hz('A'), 14250000);
  Settled(r.SetVFOB(21.1));
  EXPECT_EQ(Hz('B'), 21100000);
  Settled(r.SetFreq(80), kFalse);  // outside the range: the radio is untouched
  EXPECT_EQ(Hz('A'), 14250000);
  Settled(r.SetVFO(1));
  Settled(r.SetFreq(3.7));  // now on B
  Settled(r.SetAeqB());     // B to A
  EXPECT_EQ(Hz('A'), 3700000);
  Settled(r.SetVFO(0));
  Settled(r.SetFreq(7.05));
  Settled(r.SetAexcB());
  EXPECT_EQ(Hz('B'), 7050000);
  Settled(r.SetSplit(1));
  EXPECT_TRUE(rig.radio_model.Split());
  Settled(r.SetSplit(0));
  EXPECT_FALSE(rig.radio_model.Split());
  Settled(SetMode(2, 1));  // CW reversed
  EXPECT_EQ(rig.radio_model.ModeChar('A'), '7');
  Settled(r.SetDataMode(1, 1, 0, 0));
  EXPECT_EQ(rig.radio_model.ModeChar('A'), 'C');
}

// The transmit side is set up through nested operations; answers to their read requests arrive
// inside the call's message pump. The copy's read-back reports the other VFO as copied, before
// the new frequency: the cache holds that until the polling reads the VFO again.
TEST_F(TuningRoundTrip, TransmitFrequencyAndModeOnTheOtherVFO) {
  std::int16_t mode = 1;
  EXPECT_EQ(rig.radio->SetTX(14.2, mode), kTrue);
  EXPECT_FALSE(rig.module().ParserBusy);
  EXPECT_EQ(Differences(rig), "VFOB_Freq 7.100000/14.200000; ");
  EXPECT_EQ(rig.Read("TX_Freq TX_Mode"), "TX_Freq=14.2 TX_Mode=1");
  Settled(kTrue);
  EXPECT_EQ(rig.radio_model.TransmitVfo(), 'B');
  EXPECT_EQ(rig.Read("TX_Freq Freq"), "TX_Freq=14.2 Freq=7.1");
}

// While the radio reports every change itself, its reports of the nested commands arrive inside
// SetTX's pump too.
TEST(TuningRoundTripAI, TransmitFrequencyWithAutoInformation) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.radio_model.Execute("FA007100000");
  rig.Connect(kSettleMs);
  ASSERT_EQ(rig.radio->SetVFO(1), kTrue);
  EXPECT_GE(SettleMs(rig), 0) << Differences(rig);
  std::int16_t mode = 2;
  EXPECT_EQ(rig.radio->SetTX(7.2, mode), kTrue);
  EXPECT_GE(SettleMs(rig, 2000), 0) << Differences(rig);
  EXPECT_EQ(rig.radio_model.TransmitVfo(), 'A');
  EXPECT_DOUBLE_EQ(rig.radio->TX_Freq(), 7.2);
}

// FM on 10 m with a minus shift and a tone, stored in a channel, recalled, and back to the VFO.
TEST_F(TuningRoundTrip, RepeaterSettingsThroughAMemoryChannel) {
  auto& r = *rig.radio;
  const auto& m = rig.radio_model;
  ASSERT_EQ(r.SetFreq(29.62), kTrue);
  ASSERT_EQ(SetMode(4), kTrue);
  EXPECT_EQ(r.SetRPT(-1), kTrue);
  EXPECT_EQ(r.SetShift(100000), kTrue);
  // Encode and decode: the FM status read sends "CT01", which the radio takes as that setting.
  Settled(r.SetTone(88.5f, 0, 1, 1));
  for (auto [key, value] : {std::pair{"OS0", 2}, {"EX010317", 100}, {"CT0", 1}, {"CN00", 8}})
    EXPECT_EQ(m.Setting(key), value) << key;
  EXPECT_EQ(rig.Read("RPT Shift Enc Dec CTCSS"), "RPT=-1 Shift=100 Enc=1 Dec=1 CTCSS=88.5");

  Settled(r.SetVFOM(7, ""));  // storing leaves the radio on its VFO: the status read says so
  auto stored = m.Memory(7);
  ASSERT_TRUE(stored);
  EXPECT_EQ(std::tuple(stored->freq_hz, stored->mode, stored->tone_mode, stored->shift),
            std::tuple(29620000, '4', 1, 2));

  Settled(r.SetTone(0, 0, 0, 0));
  EXPECT_EQ(m.Setting("CT0"), 0);
  EXPECT_EQ(r.Enc(), 0);
  ASSERT_EQ(r.SetFreq(7.1), kTrue);
  ASSERT_EQ(SetMode(1), kTrue);
  Settled(r.SetChannel(7));
  EXPECT_EQ(rig.Read("MemMode Channel Freq Mode"), "MemMode=1 Channel=7 Freq=29.62 Mode=4");
  EXPECT_EQ(SetMode(0), kFalse);  // memory mode blocks tuning
  EXPECT_EQ(r.SetFreq(14.2), kFalse);

  Settled(r.SetVFO(0));  // back to the VFO
  EXPECT_EQ(rig.Read("MemMode Freq"), "MemMode=0 Freq=7.1");
}

// Back to the VFO straight after recalling a channel: SetVFO sends only "VM" and stores VFO
// operation, but the answer to the recall's "IF" was asked for before the switch, arrives after
// it and reports memory mode. The cache shows memory mode until the status cycle's next "IF".
TEST_F(TuningRoundTrip, BackToTheVFOStraightAfterRecallingAChannel) {
  auto& r = *rig.radio;
  ASSERT_EQ(r.SetVFOM(7, ""), kTrue);
  ASSERT_GE(SettleMs(rig), 0);
  ASSERT_EQ(r.SetChannel(7), kTrue);
  rig.serial().ClearWrites();
  ASSERT_EQ(r.SetVFO(0), kTrue);
  EXPECT_EQ(rig.TakeWrites(), std::vector<std::string>{"VM;"});
  EXPECT_EQ(r.MemMode(), 0);
  rig.vp.Advance(100);
  EXPECT_FALSE(rig.radio_model.MemoryMode());
  EXPECT_EQ(r.MemMode(), 1);  // the late answer
  EXPECT_GE(SettleMs(rig), 0) << Differences(rig);
  EXPECT_EQ(rig.Read("MemMode Freq"), "MemMode=0 Freq=7.1");
}

}  // namespace
}  // namespace veltro
