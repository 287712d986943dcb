// The virtual platform's timers, sleep, pump and serial line keep the guarantees the library's
// pacing rests on.
#include "platform/virtual_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace veltro::platform {
namespace {

using Times = std::vector<std::int64_t>;

TEST(VirtualPlatform, TicksOneIntervalAfterEnablingAndSleepsFoldMissedTicks) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  Times once, fast;
  std::unique_ptr<Timer> start = plat.loop->CreateTimer(5000, [&] {
    once.push_back(vp.NowMs());
    start->Enabled(false);  // a one-shot, as the start timer's handler does
  });
  auto quick = plat.loop->CreateTimer(175, [&] { fast.push_back(vp.NowMs()); });
  bool slept = false;
  auto slow = plat.loop->CreateTimer(200, [&] {
    if (!slept) plat.clock->SleepMs(1000), slept = true;
  });
  vp.Advance(1000);
  start->Enabled(true);
  quick->Enabled(true);
  quick->Enabled(true);  // enabling again keeps the phase
  slow->Enabled(true);
  vp.Advance(60000);
  EXPECT_EQ(once, Times{6000});
  // 1175 before the sleep at 1200; the ticks due meanwhile fold into one when it ends.
  ASSERT_GE(fast.size(), 3u);
  EXPECT_EQ(Times(fast.begin(), fast.begin() + 3), (Times{1175, 2200, 2225}));
}

TEST(VirtualPlatform, ThePumpDeliversDueWorkOnce) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  int a = 0, b = 0;
  auto ta = plat.loop->CreateTimer(100, [&] { ++a; });
  auto tb = plat.loop->CreateTimer(500, [&] { ++b; });
  ta->Enabled(true);
  tb->Enabled(true);
  plat.clock->SleepMs(350);
  plat.loop->PumpOnce();
  plat.loop->PumpOnce();
  EXPECT_EQ(a * 10 + b, 10);
  EXPECT_EQ(vp.sleeps(), (std::vector<int>{350}));
}

// A handler that takes longer than its interval and pumps gets the other timers' ticks inside,
// never its own: otherwise it would nest without end.
TEST(VirtualPlatform, AHandlerThatPumpsIsNotTickedInsideItself) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  int depth = 0, deepest = 0, slow_ticks = 0, inside = 0;
  auto slow = plat.loop->CreateTimer(100, [&] {
    deepest = std::max(deepest, ++depth);
    ++slow_ticks;
    plat.clock->SleepMs(250);
    plat.loop->PumpOnce();
    --depth;
  });
  auto fast = plat.loop->CreateTimer(100, [&] { inside += depth; });
  slow->Enabled(true);
  fast->Enabled(true);
  vp.Advance(1000);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(slow_ticks, 3);
  EXPECT_GE(inside, 2);
}

TEST(VirtualPlatform, TheSerialLineRecordsWritesAndDeliversFedInput) {
  VirtualPlatform vp;
  auto made = vp.platform().make_serial();
  auto& serial = static_cast<VirtualSerialControl&>(*made);
  std::string got;
  serial.OnComm([&] { got += serial.Input(); });
  serial.PortOpen(true);
  serial.Output("FA;");
  serial.FeedAt(30, "FA014250000;");
  vp.Advance(29);
  EXPECT_EQ(got, "");
  vp.Advance(1);
  EXPECT_EQ(got, "FA014250000;");
  ASSERT_EQ(serial.Writes().size(), 1u);
  EXPECT_EQ(serial.Writes()[0].ms, 0);
  serial.PortOpen(false);
  EXPECT_THROW(serial.Output("X;"), std::exception);
}

}  // namespace
}  // namespace veltro::platform
