// The library against the in-process radio model on virtual time, with auto-information in place
// of polling. The status cycle and a knob followed by polling run over a pty in
// integration/polling_sim_test.cpp.
#include <gtest/gtest.h>

#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

// Without polling the radio reports by itself; the status cycle does not ask for the transmit
// VFO, so split set on the radio is seen through its own report.
TEST(EndToEnd, AutoInformationReportsArriveWithoutPolling) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.radio_model.Execute("FB014200000");
  rig.Connect(12000);
  EXPECT_TRUE(rig.radio_model.AutoInformation());
  rig.FrontPanel("MD01");
  rig.FrontPanel("FA003573000");
  rig.FrontPanel("FT1");
  rig.vp.Advance(500);
  EXPECT_EQ(rig.Read("Mode Freq Split TX_Freq"), "Mode=0 Freq=3.573 Split=1 TX_Freq=14.2");
}

}  // namespace
}  // namespace veltro
