// The tuning, mode and memory operations against the in-process radio model on virtual
// time: each operation reaches the radio, and after the polling that follows it the radio and
// the library's cache agree. The exact texts are pinned by the command tables; here the radio's
// own answers show that it took them; tones and repeater shift are left to those tables.
#include <gtest/gtest.h>

#include <source_location>
#include <sstream>
#include <string>

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

class TuningRoundTrip : public ::testing::Test {
 protected:
  TuningRoundTrip() {
    for (const char* c : {"FA007100000", "FB003600000", "MD02"}) rig.radio_model.Execute(c);
    rig.Connect(kSettleMs);
  }
  // The operation's success, then the polling until the two sides agree. (In memory mode the
  // "VS" answer of each status cycle points the frequency at VFO A until the next "IF" answer,
  // so agreement is looked for in 25 ms steps, not sampled once.)
  void Settled(VBool result, std::source_location at = std::source_location::current()) {
    ::testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "operation");
    EXPECT_EQ(result, kTrue);
    for (int t = 0; !Differences(rig).empty(); t += 25, rig.vp.Advance(25)) {
      if (t > kSettleMs) return ADD_FAILURE() << Differences(rig);
    }
  }
  // The radio's own answers to the reads in `queries`, as one line.
  std::string Radio(const std::string& queries) {
    std::istringstream in(queries);
    std::string out;
    for (std::string q; in >> q;) out += rig.radio_model.Execute(q);
    return out;
  }
  SimulatedRig rig;
};

TEST_F(TuningRoundTrip, VFOsSplitModeAndTheTransmitSide) {
  auto& r = *rig.radio;
  Settled(r.SetFreq(14.25));  // band change on A
  Settled(r.SetVFOB(21.1));
  EXPECT_EQ(Radio("FA FB"), "FA014250000;FB021100000;");
  Settled(r.SetVFO(1));
  Settled(r.SetFreq(3.7));  // now on B
  Settled(r.SetAeqB());     // B to A
  Settled(r.SetVFO(0));
  Settled(r.SetFreq(7.05));
  Settled(r.SetAexcB());
  Settled(r.SetSplit(1));
  EXPECT_EQ(Radio("FA FB FT"), "FA003700000;FB007050000;FT1;");
  Settled(r.SetSplit(0));
  Settled(r.SetMode(2, 1));  // CW reversed
  EXPECT_EQ(Radio("MD0 FT"), "MD07;FT0;");
  Settled(r.SetDataMode(1, 1, 0, 0));
  // The transmit side is set up through nested operations whose read-backs are answered
  // inside the call's message pump.
  Settled(r.SetTX(14.2, 1));
  EXPECT_EQ(Radio("FA MD0 FB FT"), "FA003700000;MD0C;FB014200000;FT1;");
}

// A channel stored from FM on 10 m, recalled over the VFO on 40 m, and left again.
TEST_F(TuningRoundTrip, MemoryChannelAndBackToTheVFO) {
  auto& r = *rig.radio;
  Settled(r.SetFreq(29.62));
  Settled(r.SetMode(4, 0));
  Settled(r.SetVFOM(7, ""));  // storing leaves the radio on its VFO: the status read says so
  Settled(r.SetFreq(7.1));
  Settled(r.SetMode(1, 0));
  Settled(r.SetChannel(7));
  EXPECT_EQ(rig.Read("MemMode Channel Freq Mode"), "MemMode=1 Channel=7 Freq=29.62 Mode=4");
  Settled(r.SetVFO(0));
  // Back to the VFO straight after a recall: the answer to the recall's "IF" arrives after "VM"
  // and reports memory mode, until the next status cycle reads the radio again.
  ASSERT_EQ(r.SetChannel(7), kTrue);
  const VBool back = r.SetVFO(0);
  rig.vp.Advance(100);
  EXPECT_EQ(r.MemMode(), 1);
  Settled(back);
  EXPECT_EQ(rig.Read("MemMode Freq"), "MemMode=0 Freq=7.1");
}

}  // namespace
}  // namespace veltro
