// The real event loop: timers on the monotonic clock and file-descriptor watches, all behind one
// epoll descriptor that a host can put in its own loop. Nothing runs on another thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace veltro::platform {

class PosixClock : public Clock {
 public:
  float SecondsSinceMidnight() override;
  void SleepMs(int ms) override;
};

class PosixEventLoop : public EventLoop {
 public:
  PosixEventLoop();
  ~PosixEventLoop() override;
  PosixEventLoop(const PosixEventLoop&) = delete;
  PosixEventLoop& operator=(const PosixEventLoop&) = delete;

  std::unique_ptr<Timer> CreateTimer(int interval_ms, std::function<void()> tick) override;
  void PumpOnce() override { Dispatch(); }

  // Readable whenever a timer is due or a watched descriptor is ready.
  int Fd() const { return epoll_fd_; }
  // Runs what is due now, without blocking; returns the number of callbacks run.
  int Dispatch();
  // Waits for and runs events for about `ms` milliseconds.
  void Run(int ms);
  // Milliseconds until the next tick (capped by max_ms when it is not negative).
  int NextTimeoutMs(int max_ms) const;

  // Calls `ready(revents)` from Dispatch while `fd` is ready for `events` (EPOLLIN, EPOLLOUT...).
  // Level-triggered: a descriptor that stays ready is reported on every dispatch.
  bool Watch(int fd, std::uint32_t events, std::function<void(std::uint32_t)> ready);
  void Modify(int fd, std::uint32_t events);
  void Unwatch(int fd);

 private:
  class PTimer;
  struct WatchEntry {
    int fd;
    std::function<void(std::uint32_t)> ready;
    bool alive;
  };
  void Rearm();
  std::int64_t NextDueNs() const;

  int epoll_fd_ = -1;
  int timer_fd_ = -1;
  std::vector<PTimer*> timers_;
  std::vector<std::shared_ptr<WatchEntry>> watches_;
};

// Monotonic time in nanoseconds.
std::int64_t MonotonicNs();

}  // namespace veltro::platform
