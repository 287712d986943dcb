// The real event loop on the monotonic clock: its descriptor wakes a host's poll() when a timer
// falls due, and late ticks fold into one. Watches are shown by the serial tests over a pty.
#include "platform/posix_event_loop.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>

namespace veltro::platform {
namespace {

bool Readable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeout_ms) == 1 && (p.revents & POLLIN);
}

TEST(PosixEventLoop, TimersWakeTheDescriptorAndFoldLateTicks) {
  PosixEventLoop loop;
  int ticks = 0;
  auto timer = loop.CreateTimer(30, [&] { ++ticks; });
  EXPECT_EQ(loop.NextTimeoutMs(1000), 1000);  // nothing enabled
  timer->Enabled(true);
  EXPECT_LE(loop.NextTimeoutMs(1000), 30);
  std::int64_t start = MonotonicNs();
  ASSERT_TRUE(Readable(loop.Fd(), 2000));
  EXPECT_GE(MonotonicNs() - start, 25'000'000);  // not before it is due
  EXPECT_EQ(loop.Dispatch(), 1);
  EXPECT_FALSE(Readable(loop.Fd(), 0));  // re-armed for the next interval

  PosixClock().SleepMs(100);  // the thread is busy for several intervals
  loop.Dispatch();
  EXPECT_EQ(ticks, 2);
  EXPECT_GT(loop.NextTimeoutMs(-1), 0);

  timer->Enabled(false);
  EXPECT_FALSE(Readable(loop.Fd(), 60));
  EXPECT_EQ(loop.Dispatch(), 0);
}

// A handler that takes longer than its interval and pumps gets the other timers' ticks inside,
// never its own: otherwise it would nest without end.
TEST(PosixEventLoop, AHandlerThatPumpsIsNotTickedInsideItself) {
  PosixEventLoop loop;
  int depth = 0, deepest = 0, slow_ticks = 0, inside = 0;
  auto slow = loop.CreateTimer(10, [&] {
    deepest = std::max(deepest, ++depth);
    ++slow_ticks;
    PosixClock().SleepMs(25);
    loop.PumpOnce();
    --depth;
  });
  auto fast = loop.CreateTimer(10, [&] { inside += depth; });
  slow->Enabled(true);
  fast->Enabled(true);
  loop.Run(200);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(slow_ticks, 2);
  EXPECT_GE(inside, 1);
}

}  // namespace
}  // namespace veltro::platform
