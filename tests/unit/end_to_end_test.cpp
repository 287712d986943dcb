// The library against the in-process radio model on virtual time: switching CAT on, the status
// cycle, frequency following and auto-information.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

TEST(EndToEnd, StatusCycleFillsTheCache) {
  SimulatedRig rig;
  rig.radio_model.Execute("FA007074000");
  rig.radio_model.Execute("FB014250000");
  rig.radio_model.Execute("MD03");
  rig.Connect(5000);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 7.074);
  EXPECT_DOUBLE_EQ(rig.radio->VFOB_Freq(), 14.25);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 7.074);
  EXPECT_EQ(rig.radio->Mode(), 2);
  EXPECT_EQ(rig.radio->VFOA_Mode(), 2);
  EXPECT_EQ(rig.radio->Split(), 0);
  EXPECT_EQ(rig.module().RefreshPending, kFalse);
}

TEST(EndToEnd, AKnobTurnIsFollowed) {
  SimulatedRig rig;
  rig.Connect(5000);
  for (int i = 0; i < 20; ++i) {
    rig.radio_model.TurnKnob(100);
    rig.vp.Advance(175);
  }
  // The current-VFO sequence started at connection holds routine queries off until it ends.
  rig.vp.Advance(10000);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), rig.radio_model.VfoFreqHz('A') / 1e6);
}

TEST(EndToEnd, AutoInformationReportsArriveWithoutPolling) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.Connect(12000);
  EXPECT_TRUE(rig.radio_model.AutoInformation());
  int changes = 0;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { changes += st == 1; });
  rig.FrontPanel("MD01");
  rig.FrontPanel("FA003573000");
  rig.vp.Advance(500);
  EXPECT_EQ(rig.radio->Mode(), 0);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 3.573);
  EXPECT_GE(changes, 1);
}

// The status cycle does not ask for the transmit VFO: split set on the radio is seen through its
// own report.
TEST(EndToEnd, SplitReportedByTheRadio) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.radio_model.Execute("FB014200000");
  rig.Connect(12000);
  std::vector<std::int16_t> states;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { states.push_back(st); });
  rig.FrontPanel("FT1");
  rig.vp.Advance(500);
  EXPECT_EQ(rig.radio->Split(), 1);
  EXPECT_DOUBLE_EQ(rig.radio->TX_Freq(), 14.2);
  EXPECT_NE(std::find(states.begin(), states.end(), 1), states.end());
}

}  // namespace
}  // namespace veltro
