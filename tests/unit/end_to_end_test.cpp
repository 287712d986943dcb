// The library against the in-process radio model on virtual time: switching CAT on, the status
// cycle, frequency following and auto-information.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

TEST(EndToEnd, StatusCycleFillsTheCacheAndAKnobTurnIsFollowed) {
  SimulatedRig rig;
  rig.radio_model.Execute("FA007074000");
  rig.radio_model.Execute("FB014250000");
  rig.radio_model.Execute("MD03");
  rig.Connect(5000);
  EXPECT_EQ(rig.Read("VFOA_Freq VFOB_Freq Freq Mode VFOA_Mode Split"),
            "VFOA_Freq=7.074 VFOB_Freq=14.25 Freq=7.074 Mode=2 VFOA_Mode=2 Split=0");
  EXPECT_EQ(rig.module().RefreshPending, kFalse);
  for (int i = 0; i < 20; ++i) {
    rig.radio_model.TurnKnob(100);
    rig.vp.Advance(175);
  }
  rig.vp.Advance(10000);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), rig.radio_model.VfoFreqHz('A') / 1e6);
}

// Without polling the radio reports by itself; the status cycle does not ask for the transmit
// VFO, so split set on the radio is seen through its own report.
TEST(EndToEnd, AutoInformationReportsArriveWithoutPolling) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.radio_model.Execute("FB014200000");
  rig.Connect(12000);
  EXPECT_TRUE(rig.radio_model.AutoInformation());
  std::vector<std::int16_t> states;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { states.push_back(st); });
  rig.FrontPanel("MD01");
  rig.FrontPanel("FA003573000");
  rig.FrontPanel("FT1");
  rig.vp.Advance(500);
  EXPECT_EQ(rig.Read("Mode Freq Split TX_Freq"), "Mode=0 Freq=3.573 Split=1 TX_Freq=14.2");
  EXPECT_NE(std::find(states.begin(), states.end(), 1), states.end());
}

}  // namespace
}  // namespace veltro
