// Frequency, mode, VFO and status answers, table-driven: a starting state, the answers, and the
// properties they must leave behind once the post-answer step has run, as a host reads them.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using detail::RadioState;
using testing::VirtualRig;

struct Case {
  const char* name;
  std::function<void(RadioState&)> before;
  std::string answers;
  const char* expect;  // "Name=value ..."
};

// An IF/OI answer: channel, frequency in Hz, mode character and memory state at their places.
std::string Status(const char* code, int channel, long hz, char mode, char memory) {
  char text[40];
  std::snprintf(text, sizeof text, "%s%03d%09ld+000000%c%c0000;", code, channel, hz, mode, memory);
  return text;
}

TEST(StatusAnswers, LeaveTheCacheAsAHostReadsIt) {
  const std::string if_vfo = Status("IF", 5, 14250000, '3', '0');
  const std::string oi = Status("OI", 0, 21074000, 'C', '0');
  // clang-format off
  const Case cases[] = {
      // Frequency and mode.
      {"FA on VFO A", nullptr, "FA014250000;", "VFOA_Freq=14.25 Freq=14.25"},
      {"FA while B receives", [](RadioState& s) { s.VFO = 1, s.VFOB_Freq = 7.1; }, "FA014250000;", "VFOA_Freq=14.25 Freq=7.1"},
      {"FA of 10 characters", nullptr, "FA14250000;", "VFOA_Freq=0"},
      {"FB on VFO B", [](RadioState& s) { s.VFO = 1; }, "FB007123456;", "VFOB_Freq=7.123456 Freq=7.123456"},
      {"FA in memory mode", [](RadioState& s) { s.MemMode = 1, s.Freq = 3.5; }, "FA014250000;", "VFOA_Freq=14.25 Freq=3.5"},
      {"MD0C is data USB", nullptr, "MD0C;", "Mode=1 DataMode=1 VFOA_Mode=1"},
      {"MD07 is reverse CW", nullptr, "MD07;", "Mode=2 Reverse=1"},
      {"MD on VFO B", [](RadioState& s) { s.VFO = 1; }, "MD05;", "VFOB_Mode=3 VFOA_Mode=0 Mode=3"},
      {"unknown mode character keeps the mode only", [](RadioState& s) { s.Mode = s.VFOA_Mode = 2, s.Reverse = s.DataMode = 1; }, "MD0Z;", "Mode=2 VFOA_Mode=2 Reverse=0 DataMode=0"},
      {"IF with an unknown mode character", [](RadioState& s) { s.Mode = s.VFOA_Mode = 2, s.Reverse = 1; }, "IF001014250000+000000Z00000;", "Mode=2 Reverse=0 Freq=14.25"},
      {"position 3 is not examined", nullptr, "MDx4;", "Mode=4"},
      // AM and FM take their default widths, by the narrow flag (Property 57), and no IF shift.
      {"AM", [](RadioState& s) { s.IFS = 300; }, "MD05;", "BW=9000 IFS=0"},
      {"AM narrow", [](RadioState& s) { s.IFS = 300, s.Property[57] = 1; }, "MD05;", "BW=6000 IFS=0"},
      {"FM", [](RadioState& s) { s.IFS = 300; }, "MD04;", "BW=16000 IFS=0"},
      {"FM narrow", [](RadioState& s) { s.IFS = 300, s.Property[57] = 1; }, "MD04;", "BW=9000 IFS=0"},
      {"CW keeps them", [](RadioState& s) { s.IFS = 300, s.BW = 500; }, "MD03;", "BW=500 IFS=300"},
      // The composite status of the VFO in use ("IF") and of the other one ("OI").
      {"IF in VFO mode on A", nullptr, if_vfo, "MemMode=0 Channel=5 VFOA_Freq=14.25 Mode=2"},
      {"IF in VFO mode on B", [](RadioState& s) { s.VFO = 1; }, if_vfo, "VFOA_Freq=0 Mode=0 Channel=5"},
      {"IF in memory mode", nullptr, Status("IF", 12, 7050000, '1', '1'), "MemMode=1 Freq=7.05 VFOA_Freq=0 Channel=12"},
      {"IF channel above the maximum", [](RadioState& s) { s.ChannelMin = 3; }, Status("IF", 120, 7050000, '1', '2'), "Channel=3 MemMode=1"},
      {"IF of 26 characters", nullptr, "IF00501425000+000000300000;", "Channel=1 VFOA_Freq=0"},
      {"OI goes to the other VFO", nullptr, oi, "VFOB_Freq=21.074 VFOB_Mode=1 DataMode=0"},
      {"OI while B receives", [](RadioState& s) { s.VFO = 1; }, oi, "VFOA_Freq=21.074 VFOA_Mode=1 VFOB_Freq=0"},
      {"OI in memory mode", [](RadioState& s) { s.MemMode = 1; }, oi, "VFOB_Freq=0"},
      // VFO, split and status flags.
      {"VS1 selects B", [](RadioState& s) { s.VFOB_Freq = 7.1, s.VFOB_Mode = 3; }, "VS1;", "VFO=1 Freq=7.1 Mode=3"},
      {"VS2 changes nothing", nullptr, "VS2;", "VFO=0"},
      {"FT1 is split", [](RadioState& s) { s.VFOB_Freq = 14.2, s.VFOA_Freq = 14.25; }, "FT1;", "Split=1 TX_Freq=14.2 Freq=14.25"},
      {"ST1 alone is not split", nullptr, "ST1;", "Split=0"},
      {"FT1 in memory mode transmits on the channel", [](RadioState& s) { s.MemMode = 1, s.Freq = 3.5, s.VFOB_Freq = 14.2; }, "FT1;", "Split=1 TX_Freq=3.5"},
      {"TX2 is stored as 1, LK1 and BY10", nullptr, "TX2;LK1;BY10;", "PTT=1 LockDial=1 Busy=1"},
  };
  // clang-format on
  for (const auto& c : cases) {
    VirtualRig rig;
    rig.OpenPort();
    if (c.before) c.before(rig.state());
    std::string buf = c.answers;
    rig.radio->ReadBuffer(buf, kFalse);
    EXPECT_EQ(rig.Read(c.expect), c.expect) << c.name;
  }
}

TEST(StatusAnswers, AIAfterPowerOnRestartsTheLevelSequenceOnce) {
  VirtualRig rig;
  rig.OpenPort();
  rig.radio->AutoPolling(kFalse);
  rig.state().AIState = -1;
  for (auto [step, after] : {std::pair{17, 0}, {9, 9}}) {
    rig.module().LevelPollStep = static_cast<std::int16_t>(step);
    std::string buf = "AI1;";
    rig.radio->ReadBuffer(buf, kFalse);
    EXPECT_EQ(rig.module().LevelPollStep, after);
    EXPECT_EQ(rig.state().AIState, 1);
  }
  EXPECT_TRUE(rig.module().panel->tmrLevels->Enabled());
}

}  // namespace
}  // namespace veltro
