// The library for real against the simulator on its own thread: termios over a pty and the
// POSIX event loop. The logic itself is covered on virtual time; this shows it holds up with
// real timing, answers that arrive in pieces, line noise and lost answers. Operations sent over
// a pty are shown by cli_test's calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "ftdx10sim/simulator.h"
#include "support/real_rig.h"

namespace veltro::testing {
namespace {

using namespace std::chrono_literals;

bool Near(double mhz, std::int64_t hz) { return std::llround(mhz * 1e6) == hz; }

TEST(PollingOverPty, CacheFollowsTheRadioThroughNoiseLostAnswersAndReports) {
  sim::Simulator sim;  // outlives the rig, whose port closes first
  sim.Start();
  PosixRig rig;
  auto& radio = *rig.radio;
  sim.SetSplitAnswers(true);
  for (const char* c : {"FA007074000", "FB014250000", "MD03"}) sim.FrontPanel(c);
  ASSERT_EQ(rig.Open(sim.SlavePath()), "");
  int changes = 0, mode_changes = 0;
  radio.AddChangeHandler([&](std::int16_t& state) { ++changes, mode_changes += state == 1; });
  std::int16_t cat = 1;
  radio.SetCAT(cat);
  sim.InjectGarbage(200);
  ASSERT_TRUE(rig.RunUntil([&] {
    return Near(radio.VFOA_Freq(), 7074000) && Near(radio.VFOB_Freq(), 14250000) &&
           radio.Mode() == 2;
  }));
  EXPECT_GT(changes, 0);

  sim.DropAnswers(3);
  sim.TurnKnob(30, 50, 20ms);
  EXPECT_TRUE(rig.RunUntil(
      [&] { return !sim.KnobTurning() && Near(radio.Freq(), sim.VfoAFreqHz()); }, 20s));

  // With ReportChanges the radio's reports share the line with the polls: a mode change and a
  // knob turn arrive at once, the mode raises one Change, and routine queries go on after them.
  std::atomic<int> smeter_polls{0};
  sim.SetTrace([&](sim::TraceDirection d, std::string_view bytes) {
    smeter_polls += d == sim::TraceDirection::kToRadio && bytes.find("SM0;") != bytes.npos;
  });
  radio.ReportChanges(kTrue);
  radio.SetCAT(cat);
  ASSERT_TRUE(rig.RunUntil([&] { return sim.AutoInformation() && smeter_polls > 2; }, 30s));
  const int modes = mode_changes, polls = smeter_polls;
  const std::int64_t turned = sim.VfoAFreqHz() + 100;
  sim.FrontPanel("MD01");
  sim.TurnKnob(1, 100, 1ms);
  EXPECT_TRUE(rig.RunUntil([&] { return Near(radio.Freq(), turned) && radio.Mode() == 0; }, 1s));
  EXPECT_TRUE(rig.RunUntil([&] { return smeter_polls > polls + 2; }));
  EXPECT_EQ(mode_changes, modes + 1);
}

}  // namespace
}  // namespace veltro::testing
