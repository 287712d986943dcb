#include "platform/posix_event_loop.h"

#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

namespace veltro::platform {

std::int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

float PosixClock::SecondsSinceMidnight() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  time_t secs = ts.tv_sec;
  tm local{};
  localtime_r(&secs, &local);
  double s = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ts.tv_nsec / 1e9;
  return static_cast<float>(s);
}

void PosixClock::SleepMs(int ms) {
  if (ms <= 0) return;
  timespec req{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  timespec rem{};
  while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}

class PosixEventLoop::PTimer : public Timer {
 public:
  PTimer(PosixEventLoop& loop, int interval_ms, std::function<void()> tick)
      : loop_(loop),
        interval_ns_(static_cast<std::int64_t>(interval_ms) * 1000000LL),
        interval_ms_(interval_ms),
        tick_(std::move(tick)) {}
  ~PTimer() override {
    auto& v = loop_.timers_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    loop_.Rearm();
  }
  void Enabled(bool enabled) override {
    if (enabled && !enabled_) due_ns_ = MonotonicNs() + interval_ns_;
    enabled_ = enabled;
    loop_.Rearm();
  }
  bool Enabled() const override { return enabled_; }
  int IntervalMs() const override { return interval_ms_; }

  PosixEventLoop& loop_;
  std::int64_t interval_ns_;
  int interval_ms_;
  std::function<void()> tick_;
  bool enabled_ = false;
  bool running_ = false;  // its tick handler is on the stack (a pump inside it)
  std::int64_t due_ns_ = 0;
};

PosixEventLoop::PosixEventLoop() {
  epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
  timer_fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (epoll_fd_ >= 0 && timer_fd_ >= 0) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = timer_fd_;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, timer_fd_, &ev);
  }
}

PosixEventLoop::~PosixEventLoop() {
  if (timer_fd_ >= 0) close(timer_fd_);
  if (epoll_fd_ >= 0) close(epoll_fd_);
}

std::unique_ptr<Timer> PosixEventLoop::CreateTimer(int interval_ms, std::function<void()> tick) {
  auto t = std::make_unique<PTimer>(*this, std::max(interval_ms, 1), std::move(tick));
  timers_.push_back(t.get());
  return t;
}

std::int64_t PosixEventLoop::NextDueNs() const {
  std::int64_t next = INT64_MAX;
  for (const PTimer* t : timers_) {
    if (t->enabled_ && !t->running_) next = std::min(next, t->due_ns_);
  }
  return next;
}

// Points the timerfd at the earliest due tick, so the epoll descriptor wakes the host then.
void PosixEventLoop::Rearm() {
  if (timer_fd_ < 0) return;
  itimerspec when{};
  std::int64_t next = NextDueNs();
  if (next != INT64_MAX) {
    next = std::max<std::int64_t>(next, 1);
    when.it_value.tv_sec = next / 1000000000LL;
    when.it_value.tv_nsec = next % 1000000000LL;
  }
  timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &when, nullptr);
}

int PosixEventLoop::Dispatch() {
  int ran = 0;
  std::uint64_t expirations = 0;
  if (timer_fd_ >= 0) {
    ssize_t r = read(timer_fd_, &expirations, sizeof expirations);
    (void)r;
  }
  // Timers first, each at most once per dispatch: a late timer folds its missed ticks. A timer
  // whose handler pumps is not ticked again inside itself; its due tick waits until it returns,
  // so a handler that takes longer than its interval cannot nest without end.
  std::int64_t now = MonotonicNs();
  std::vector<PTimer*> due;
  for (PTimer* t : timers_) {
    if (t->enabled_ && t->due_ns_ <= now) due.push_back(t);
  }
  for (PTimer* t : due) {
    if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) continue;
    if (!t->enabled_ || t->running_ || t->due_ns_ > now) continue;
    std::int64_t late = now - t->due_ns_;
    t->due_ns_ += (late / t->interval_ns_ + 1) * t->interval_ns_;
    t->running_ = true;
    t->tick_();
    // The handler may have destroyed its own timer.
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->running_ = false;
    ++ran;
  }
  Rearm();
  // Then every ready descriptor once.
  epoll_event events[16];
  int n = epoll_fd_ >= 0 ? epoll_wait(epoll_fd_, events, 16, 0) : 0;
  for (int i = 0; i < n; ++i) {
    int fd = events[i].data.fd;
    if (fd == timer_fd_) continue;
    std::shared_ptr<WatchEntry> entry;
    for (auto& w : watches_) {
      if (w->alive && w->fd == fd) entry = w;
    }
    if (entry) {
      entry->ready(events[i].events);
      ++ran;
    }
  }
  watches_.erase(std::remove_if(watches_.begin(), watches_.end(),
                                [](const std::shared_ptr<WatchEntry>& w) { return !w->alive; }),
                 watches_.end());
  return ran;
}

int PosixEventLoop::NextTimeoutMs(int max_ms) const {
  std::int64_t next = NextDueNs();
  if (next == INT64_MAX) return max_ms;
  std::int64_t wait_ns = next - MonotonicNs();
  int ms = wait_ns <= 0 ? 0 : static_cast<int>((wait_ns + 999999) / 1000000);
  return max_ms >= 0 ? std::min(ms, max_ms) : ms;
}

void PosixEventLoop::Run(int ms) {
  std::int64_t end = MonotonicNs() + static_cast<std::int64_t>(std::max(ms, 0)) * 1000000LL;
  for (;;) {
    std::int64_t left = end - MonotonicNs();
    if (left <= 0) break;
    int wait = NextTimeoutMs(static_cast<int>((left + 999999) / 1000000));
    epoll_event ev[1];
    if (epoll_fd_ >= 0) epoll_wait(epoll_fd_, ev, 1, wait);
    Dispatch();
  }
}

bool PosixEventLoop::Watch(int fd, std::uint32_t events, std::function<void(std::uint32_t)> ready) {
  if (epoll_fd_ < 0) return false;
  epoll_event ev{};
  ev.events = events;
  ev.data.fd = fd;
  if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &ev) != 0) return false;
  watches_.push_back(std::make_shared<WatchEntry>(WatchEntry{fd, std::move(ready), true}));
  return true;
}

void PosixEventLoop::Modify(int fd, std::uint32_t events) {
  epoll_event ev{};
  ev.events = events;
  ev.data.fd = fd;
  epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, fd, &ev);
}

void PosixEventLoop::Unwatch(int fd) {
  epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
  for (auto& w : watches_) {
    if (w->fd == fd) w->alive = false;
  }
}

}  // namespace veltro::platform
