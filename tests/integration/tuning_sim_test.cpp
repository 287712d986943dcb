// Tuning, mode, tones and memory for real: a library instance on the POSIX clock, event loop and
// serial control, talking to the simulator over a pty. After each group of operations and the
// polling that follows, the simulator and the cache agree.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "host/mode_chars.h"
#include "support/real_rig.h"

namespace veltro {
namespace {

using namespace std::chrono_literals;

class TuningOverPty : public ::testing::Test {
 protected:
  TuningOverPty() : rig(sim::SimulatorOptions{sim::Model::kFtdx10, 7, 5ms}) {}

  // Runs the loop until the cache and the simulator agree on the tuning state.
  bool Agree(std::chrono::milliseconds timeout = 8s) {
    if (rig.RunUntil([this] { return Matches(); }, timeout)) return true;
    auto& s = rig.simulator;
    auto& r = *rig.radio;
    ADD_FAILURE() << "radio A=" << s.VfoAFreqHz() << " B=" << s.VfoBFreqHz()
                  << " split=" << s.Split() << " mem=" << s.MemoryMode() << " ch=" << s.Channel()
                  << "; cache A=" << r.VFOA_Freq() << " B=" << r.VFOB_Freq() << " VFO=" << r.VFO()
                  << " split=" << r.Split() << " mem=" << r.MemMode() << " ch=" << r.Channel()
                  << " mode=" << r.Mode();
    return false;
  }
  bool Matches() {
    auto hz = [](double mhz) { return static_cast<std::int64_t>(mhz * 1e6 + 0.5); };
    auto& s = rig.simulator;
    auto& r = *rig.radio;
    const char rx = r.VFO() == 1.0 ? 'B' : 'A';
    auto mode = detail::DecodeModeChar(s.Mode(rx));
    return s.MemoryMode() == (r.MemMode() == 1) && s.VfoAFreqHz() == hz(r.VFOA_Freq()) &&
           s.VfoBFreqHz() == hz(r.VFOB_Freq()) &&
           s.Inspect([](const sim::RadioModel& m) { return m.ReceiveVfo(); }) == rx &&
           s.Split() == (r.Split() == 1) &&
           (s.MemoryMode() ? s.Channel() == r.Channel() : mode && mode->mode == r.Mode());
  }

  testing::RealRig rig;
};

TEST_F(TuningOverPty, OperationsReachTheRadioAndTheCacheFollows) {
  ASSERT_EQ(rig.Open(), "");
  rig.CatOn();
  auto& radio = *rig.radio;
  auto& sim = rig.simulator;
  ASSERT_TRUE(Agree());

  std::int16_t cw = 2;
  EXPECT_EQ(radio.SetFreq(14.25), kTrue);
  EXPECT_EQ(radio.SetMode(cw, 0), kTrue);
  EXPECT_TRUE(Agree());
  EXPECT_EQ(sim.Mode('A'), '3');

  std::int16_t usb = 1;
  EXPECT_EQ(radio.SetTX(14.3, usb), kTrue);
  EXPECT_TRUE(Agree());
  EXPECT_TRUE(sim.Split());
  EXPECT_EQ(sim.VfoBFreqHz(), 14300000);
  EXPECT_DOUBLE_EQ(radio.TX_Freq(), 14.3);

  EXPECT_EQ(radio.SetSplit(0), kTrue);
  EXPECT_EQ(radio.SetVFO(1), kTrue);
  EXPECT_TRUE(Agree(12s));  // the current-VFO sequence runs first
  EXPECT_DOUBLE_EQ(radio.Freq(), 14.3);

  EXPECT_EQ(radio.SetVFO(0), kTrue);
  EXPECT_EQ(radio.SetVFOM(9, ""), kTrue);
  EXPECT_EQ(radio.SetChannel(9), kTrue);
  EXPECT_TRUE(Agree());
  // Let the answer to the recall's read-back in before switching back: asked for before the
  // switch, it would report memory mode until the next status poll.
  rig.RunUntil([] { return false; }, 300ms);
  EXPECT_TRUE(sim.MemoryMode());
  EXPECT_EQ(radio.Channel(), 9);
  EXPECT_DOUBLE_EQ(radio.Freq(), 14.25);

  EXPECT_EQ(radio.SetVFO(0), kTrue);
  EXPECT_TRUE(Agree());
  EXPECT_FALSE(sim.MemoryMode());
}

}  // namespace
}  // namespace veltro
