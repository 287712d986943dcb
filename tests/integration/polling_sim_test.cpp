// Polling for real: termios over a pty, the POSIX event loop, the simulator on its own thread.
#include <gtest/gtest.h>

#include <cmath>

#include "support/real_rig.h"

namespace veltro::testing {
namespace {

using namespace std::chrono_literals;

bool Near(double mhz, std::int64_t hz) { return std::llround(mhz * 1e6) == hz; }

TEST(PollingOverPty, TheStatusCycleFillsTheCacheAndFollowsTheKnob) {
  RealRig rig;
  rig.simulator.FrontPanel("FA007074000");
  rig.simulator.FrontPanel("FB014250000");
  rig.simulator.FrontPanel("MD03");
  ASSERT_EQ(rig.Open(), "");
  int changes = 0;
  rig.radio->AddChangeHandler([&](std::int16_t&) { ++changes; });
  rig.CatOn();
  ASSERT_TRUE(rig.RunUntil([&] {
    return Near(rig.radio->VFOA_Freq(), 7074000) && Near(rig.radio->VFOB_Freq(), 14250000) &&
           rig.radio->Mode() == 2;
  }));
  EXPECT_GT(changes, 0);

  rig.simulator.TurnKnob(30, 50, 20ms);
  EXPECT_TRUE(rig.RunUntil(
      [&] {
        return !rig.simulator.KnobTurning() && Near(rig.radio->Freq(), rig.simulator.VfoAFreqHz());
      },
      15s));
}

TEST(PollingOverPty, AutoInformationModeTakesTheRadiosReports) {
  RealRig rig;
  rig.radio->AutoPolling(kFalse);
  ASSERT_EQ(rig.Open(), "");
  rig.CatOn();
  ASSERT_TRUE(rig.RunUntil([&] { return rig.simulator.AutoInformation(); }));
  rig.simulator.FrontPanel("MD01");
  rig.simulator.FrontPanel("FA003573000");
  EXPECT_TRUE(
      rig.RunUntil([&] { return rig.radio->Mode() == 0 && Near(rig.radio->Freq(), 3573000); }));
}

TEST(PollingOverPty, GarbageSplitAndLostAnswersDoNotDisturbTheCache) {
  RealRig rig;
  rig.simulator.SetSplitAnswers(true);
  rig.simulator.FrontPanel("FA021074000");
  ASSERT_EQ(rig.Open(), "");
  rig.CatOn();
  rig.simulator.InjectGarbage(200);
  ASSERT_TRUE(rig.RunUntil([&] { return Near(rig.radio->VFOA_Freq(), 21074000); }));
  rig.simulator.DropAnswers(3);
  rig.simulator.FrontPanel("FA021075000");
  EXPECT_TRUE(rig.RunUntil([&] { return Near(rig.radio->VFOA_Freq(), 21075000); }, 20s));
}

}  // namespace
}  // namespace veltro::testing
