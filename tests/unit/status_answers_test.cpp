// Frequency, mode, VFO and status answers, table-driven: a starting state, one answer, and the
// fields it must leave behind (after the post-answer step, as a host sees them).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "host/mode_chars.h"
#include "support/virtual_rig.h"

namespace veltro {
namespace {

using detail::RadioState;
using testing::VirtualRig;

struct Case {
  const char* name;
  std::function<void(RadioState&)> before;
  const char* answers;
  std::function<void(const RadioState&)> check;
};

void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  VirtualRig rig;
  rig.OpenPort();
  if (c.before) c.before(rig.state());
  std::string buf = c.answers;
  rig.radio->ReadBuffer(buf, kFalse);
  c.check(rig.state());
}

// An IF/OI answer: channel, frequency in Hz, mode character and memory state at their places.
std::string Status(const char* code, int channel, long hz, char mode, char memory) {
  char text[40];
  std::snprintf(text, sizeof text, "%s%03d%09ld+000000%c%c0000;", code, channel, hz, mode, memory);
  return text;
}

TEST(StatusAnswers, Frequencies) {
  const Case cases[] = {
      {"FA on VFO A", nullptr, "FA014250000;",
       [](const RadioState& s) {
         EXPECT_DOUBLE_EQ(s.VFOA_Freq, 14.25);
         EXPECT_DOUBLE_EQ(s.Freq, 14.25);
       }},
      {"FA while B receives", [](RadioState& s) { s.VFO = 1, s.VFOB_Freq = 7.1; }, "FA014250000;",
       [](const RadioState& s) {
         EXPECT_DOUBLE_EQ(s.VFOA_Freq, 14.25);
         EXPECT_DOUBLE_EQ(s.Freq, 7.1);
       }},
      {"FA of 10 characters", nullptr, "FA14250000;",
       [](const RadioState& s) { EXPECT_EQ(s.VFOA_Freq, 0.0); }},
      {"FB on VFO B", [](RadioState& s) { s.VFO = 1; }, "FB007100000;",
       [](const RadioState& s) { EXPECT_DOUBLE_EQ(s.Freq, 7.1); }},
      {"FA in memory mode", [](RadioState& s) { s.MemMode = 1, s.Freq = 3.5; }, "FA014250000;",
       [](const RadioState& s) {
         EXPECT_DOUBLE_EQ(s.VFOA_Freq, 14.25);
         EXPECT_DOUBLE_EQ(s.Freq, 3.5);
       }},
      {"FA with junk digits", nullptr, "FA01425x000;",
       [](const RadioState& s) { EXPECT_DOUBLE_EQ(s.VFOA_Freq, 0.001425); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(StatusAnswers, ModeAnswers) {
  const Case cases[] = {
      {"MD0C is data USB", nullptr, "MD0C;",
       [](const RadioState& s) {
         EXPECT_EQ(s.Mode, 1);
         EXPECT_EQ(s.DataMode, 1);
         EXPECT_EQ(s.VFOA_Mode, 1);
       }},
      {"MD07 is reverse CW", nullptr, "MD07;",
       [](const RadioState& s) {
         EXPECT_EQ(s.Mode, 2);
         EXPECT_EQ(s.Reverse, 1);
       }},
      {"MD on VFO B", [](RadioState& s) { s.VFO = 1; }, "MD05;",
       [](const RadioState& s) {
         EXPECT_EQ(s.VFOB_Mode, 3);
         EXPECT_EQ(s.VFOA_Mode, 0);
         EXPECT_EQ(s.Mode, 3);
       }},
      {"unknown character keeps the mode", [](RadioState& s) { s.VFOA_Mode = 2, s.Reverse = 1; },
       "MD0Z;",
       [](const RadioState& s) {
         EXPECT_EQ(s.Mode, 2);
         EXPECT_EQ(s.Reverse, 1);
       }},
      {"position 3 is not examined", nullptr, "MDx4;",
       [](const RadioState& s) { EXPECT_EQ(s.Mode, 4); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(StatusAnswers, ModeCharacterTable) {
  const struct {
    char c;
    std::int16_t mode, reverse, data;
  } rows[] = {{'1', 0, 0, 0}, {'2', 1, 0, 0}, {'3', 2, 0, 0}, {'4', 4, 0, 0}, {'5', 3, 0, 0},
              {'6', 5, 0, 0}, {'7', 2, 1, 0}, {'8', 0, 0, 1}, {'9', 5, 1, 0}, {'A', 4, 0, 1},
              {'B', 4, 0, 0}, {'C', 1, 0, 1}, {'D', 3, 0, 0}, {'E', 6, 0, 0}, {'F', 4, 0, 1}};
  for (const auto& r : rows) {
    auto m = detail::DecodeModeChar(r.c);
    ASSERT_TRUE(m) << r.c;
    EXPECT_EQ(m->mode, r.mode) << r.c;
    EXPECT_EQ(m->reverse, r.reverse) << r.c;
    EXPECT_EQ(m->data, r.data) << r.c;
  }
  for (char c : {'0', 'G', 'a', 'b', ' ', '\0'}) EXPECT_FALSE(detail::DecodeModeChar(c)) << c;
}

TEST(StatusAnswers, CompositeStatus) {
  const std::string if_vfo = Status("IF", 5, 14250000, '3', '0');
  const std::string if_mem = Status("IF", 12, 7050000, '1', '1');
  const std::string if_high = Status("IF", 120, 7050000, '1', '2');
  const std::string oi = Status("OI", 0, 21074000, 'C', '0');
  const Case cases[] = {
      {"IF in VFO mode on A", nullptr, if_vfo.c_str(),
       [](const RadioState& s) {
         EXPECT_EQ(s.MemMode, 0);
         EXPECT_EQ(s.Channel, 5);
         EXPECT_DOUBLE_EQ(s.VFOA_Freq, 14.25);
         EXPECT_EQ(s.Mode, 2);
       }},
      {"IF in VFO mode on B changes only memory fields", [](RadioState& s) { s.VFO = 1; },
       if_vfo.c_str(),
       [](const RadioState& s) {
         EXPECT_EQ(s.VFOA_Freq, 0.0);
         EXPECT_EQ(s.Channel, 5);
       }},
      {"IF in memory mode", nullptr, if_mem.c_str(),
       [](const RadioState& s) {
         EXPECT_EQ(s.MemMode, 1);
         EXPECT_DOUBLE_EQ(s.Freq, 7.05);
         EXPECT_EQ(s.VFOA_Freq, 0.0);
         EXPECT_EQ(s.Channel, 12);
       }},
      {"IF channel above the maximum", [](RadioState& s) { s.ChannelMin = 3; }, if_high.c_str(),
       [](const RadioState& s) {
         EXPECT_EQ(s.Channel, 3);
         EXPECT_EQ(s.MemMode, 1);
       }},
      {"IF of 26 characters", nullptr, "IF00501425000+000000300000;",
       [](const RadioState& s) { EXPECT_EQ(s.Channel, 1); }},
      {"OI goes to the other VFO", nullptr, oi.c_str(),
       [](const RadioState& s) {
         EXPECT_DOUBLE_EQ(s.VFOB_Freq, 21.074);
         EXPECT_EQ(s.VFOB_Mode, 1);
         EXPECT_EQ(s.DataMode, 0);
       }},
      {"OI while B receives", [](RadioState& s) { s.VFO = 1; }, oi.c_str(),
       [](const RadioState& s) { EXPECT_DOUBLE_EQ(s.VFOA_Freq, 21.074); }},
      {"OI in memory mode", [](RadioState& s) { s.MemMode = 1; }, oi.c_str(),
       [](const RadioState& s) { EXPECT_EQ(s.VFOB_Freq, 0.0); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(StatusAnswers, VFOSplitAndStatusFlags) {
  const Case cases[] = {
      {"VS1 selects B", [](RadioState& s) { s.VFOB_Freq = 7.1, s.VFOB_Mode = 3; }, "VS1;",
       [](const RadioState& s) {
         EXPECT_EQ(s.VFO, 1);
         EXPECT_DOUBLE_EQ(s.Freq, 7.1);
         EXPECT_EQ(s.Mode, 3);
       }},
      {"VS2 changes nothing", nullptr, "VS2;", [](const RadioState& s) { EXPECT_EQ(s.VFO, 0); }},
      {"FT1 is split", [](RadioState& s) { s.VFOB_Freq = 14.2, s.VFOA_Freq = 14.25; }, "FT1;",
       [](const RadioState& s) {
         EXPECT_EQ(s.Split, 1);
         EXPECT_DOUBLE_EQ(s.TX_Freq, 14.2);
       }},
      {"ST1 alone is not split", nullptr, "ST1;",
       [](const RadioState& s) { EXPECT_EQ(s.Split, 0); }},
      {"TX2 is stored as 1", nullptr, "TX2;", [](const RadioState& s) { EXPECT_EQ(s.PTT, 1); }},
      {"TX0", [](RadioState& s) { s.PTT = 1; }, "TX0;",
       [](const RadioState& s) { EXPECT_EQ(s.PTT, 0); }},
      {"LK1 and BY10", nullptr, "LK1;BY10;",
       [](const RadioState& s) {
         EXPECT_EQ(s.LockDial, 1);
         EXPECT_EQ(s.Busy, 1);
       }},
      {"AI answer", nullptr, "AI1;", [](const RadioState& s) { EXPECT_EQ(s.AIState, 1); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(StatusAnswers, AIAfterPowerOnRestartsTheLevelSequenceOnce) {
  VirtualRig rig;
  rig.OpenPort();
  rig.radio->AutoPolling(kFalse);
  rig.state().AIState = -1;
  rig.module().LevelPollStep = 17;
  auto& timer = *rig.module().panel->tmrLevels;
  std::string buf = "AI1;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(rig.module().LevelPollStep, 0);
  EXPECT_TRUE(timer.Enabled());
  rig.module().LevelPollStep = 9;
  buf = "AI1;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(rig.module().LevelPollStep, 9);
}

}  // namespace
}  // namespace veltro
