// The virtual platform's timers and pump keep the guarantees the library's pacing rests on.
#include "platform/virtual_platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltro::platform {
namespace {

TEST(VirtualTimers, FirstTickOneIntervalAfterEnabling) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  std::vector<std::int64_t> ticks;
  std::unique_ptr<Timer> start;
  start = plat.loop->CreateTimer(5000, [&] {
    ticks.push_back(vp.NowMs());
    start->Enabled(false);  // a one-shot, as the start timer's handler does
  });
  vp.Advance(1000);
  start->Enabled(true);
  vp.Advance(4999);
  EXPECT_TRUE(ticks.empty());
  vp.Advance(1);
  vp.Advance(60000);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{6000}));
}

TEST(VirtualTimers, EnablingAnEnabledTimerKeepsItsPhase) {
  VirtualPlatform vp;
  std::vector<std::int64_t> ticks;
  auto t = vp.platform().loop->CreateTimer(200, [&] { ticks.push_back(vp.NowMs()); });
  t->Enabled(true);
  vp.Advance(150);
  t->Enabled(true);
  vp.Advance(300);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{200, 400}));
}

TEST(VirtualTimers, ASleepInsideAHandlerFoldsMissedTicks) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  std::vector<std::int64_t> fast_ticks;
  auto fast = plat.loop->CreateTimer(175, [&] { fast_ticks.push_back(vp.NowMs()); });
  bool slept = false;
  auto slow = plat.loop->CreateTimer(200, [&] {
    if (!slept) plat.clock->SleepMs(1000), slept = true;
  });
  fast->Enabled(true);
  slow->Enabled(true);
  vp.Advance(1400);
  // 175 before the sleep at 200; the ticks due at 350..1050 fold into one at 1200.
  ASSERT_GE(fast_ticks.size(), 3u);
  EXPECT_EQ(fast_ticks[0], 175);
  EXPECT_EQ(fast_ticks[1], 1200);
  EXPECT_EQ(fast_ticks[2], 1225);
}

TEST(VirtualPump, DeliversDueWorkOnceAndNothingLater) {
  VirtualPlatform vp;
  auto plat = vp.platform();
  int a = 0, b = 0;
  auto ta = plat.loop->CreateTimer(100, [&] { ++a; });
  auto tb = plat.loop->CreateTimer(500, [&] { ++b; });
  ta->Enabled(true);
  tb->Enabled(true);
  plat.clock->SleepMs(350);
  plat.loop->PumpOnce();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  plat.loop->PumpOnce();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(vp.sleeps(), (std::vector<int>{350}));
}

TEST(VirtualSerial, RecordsWritesAndDeliversFedInput) {
  VirtualPlatform vp;
  auto serial = vp.platform().make_serial();
  std::string got;
  serial->OnComm([&] { got += serial->Input(); });
  serial->PortOpen(true);
  serial->Output("FA;");
  static_cast<VirtualSerialControl&>(*serial).FeedAt(30, "FA014250000;");
  vp.Advance(29);
  EXPECT_EQ(got, "");
  vp.Advance(1);
  EXPECT_EQ(got, "FA014250000;");
  auto& writes = static_cast<VirtualSerialControl&>(*serial).Writes();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].ms, 0);
  serial->PortOpen(false);
  EXPECT_THROW(serial->Output("X;"), std::exception);
}

}  // namespace
}  // namespace veltro::platform
