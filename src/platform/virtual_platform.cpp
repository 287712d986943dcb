#include "platform/virtual_platform.h"

#include <algorithm>
#include <cmath>

#include "veltro/types.h"

namespace veltro::platform {

class VirtualPlatform::VClock : public Clock {
 public:
  explicit VClock(VirtualPlatform& p) : p_(p) {}
  float SecondsSinceMidnight() override {
    double s = std::fmod(p_.start_seconds_ + static_cast<double>(p_.now_ms_) / 1000.0, 86400.0);
    return static_cast<float>(s);
  }
  void SleepMs(int ms) override {
    p_.sleeps_.push_back(ms);
    if (ms > 0) p_.now_ms_ += ms;
  }

 private:
  VirtualPlatform& p_;
};

class VirtualPlatform::VTimer : public Timer {
 public:
  VTimer(VirtualPlatform::VLoop& loop, int interval_ms, std::function<void()> tick)
      : loop_(loop), interval_ms_(interval_ms), tick_(std::move(tick)) {}
  ~VTimer() override;
  void Enabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  int IntervalMs() const override { return interval_ms_; }

  VirtualPlatform::VLoop& loop_;
  int interval_ms_;
  std::function<void()> tick_;
  bool enabled_ = false;
  bool running_ = false;  // its tick handler is on the stack (a pump inside it)
  std::int64_t due_ms_ = 0;
};

class VirtualPlatform::VLoop : public EventLoop {
 public:
  explicit VLoop(VirtualPlatform& p) : p_(p) {}
  std::unique_ptr<Timer> CreateTimer(int interval_ms, std::function<void()> tick) override {
    auto t = std::make_unique<VTimer>(*this, interval_ms, std::move(tick));
    timers_.push_back(t.get());
    return t;
  }
  void PumpOnce() override { p_.DeliverDue(); }

  // Fires `t` if it is still enabled and due and not inside its own handler; the next tick is
  // the first interval boundary after now, so ticks missed while busy fold into this one.
  bool Fire(VTimer* t) {
    if (!Ready(t) || t->due_ms_ > p_.now_ms_) return false;
    std::int64_t late = p_.now_ms_ - t->due_ms_;
    t->due_ms_ += (late / t->interval_ms_ + 1) * t->interval_ms_;
    ++p_.ticks_delivered_;
    t->running_ = true;
    t->tick_();
    // The handler may have destroyed its own timer.
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->running_ = false;
    return true;
  }
  static bool Ready(const VTimer* t) { return t->enabled_ && !t->running_; }

  VirtualPlatform& p_;
  std::vector<VTimer*> timers_;
};

VirtualPlatform::VTimer::~VTimer() {
  auto& v = loop_.timers_;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

void VirtualPlatform::VTimer::Enabled(bool enabled) {
  if (enabled && !enabled_) due_ms_ = loop_.p_.now_ms_ + interval_ms_;
  enabled_ = enabled;
}

VirtualPlatform::VirtualPlatform(double start_seconds)
    : start_seconds_(start_seconds),
      clock_(std::make_unique<VClock>(*this)),
      loop_(std::make_unique<VLoop>(*this)) {}

VirtualPlatform::~VirtualPlatform() = default;

Platform VirtualPlatform::platform() {
  Platform p;
  p.clock = clock_.get();
  p.loop = loop_.get();
  p.settings = &settings_;
  p.make_serial = [this] {
    auto s = std::make_unique<VirtualSerialControl>(*this);
    serial_ = s.get();
    return s;
  };
  return p;
}

// Delivers the earliest event due at or before `limit_ms`; false when there is none. Waiting
// input is delivered before anything later.
bool VirtualPlatform::DeliverNext(std::int64_t limit_ms) {
  if (receive_pending_ && serial_) {
    serial_->RaiseOnComm();
    return true;
  }
  std::int64_t best = limit_ms + 1;
  VTimer* timer = nullptr;
  for (VTimer* t : loop_->timers_) {
    if (VLoop::Ready(t) && t->due_ms_ < best) best = t->due_ms_, timer = t;
  }
  auto feed = std::min_element(scheduled_.begin(), scheduled_.end(),
                               [](const Scheduled& a, const Scheduled& b) {
                                 return a.ms != b.ms ? a.ms < b.ms : a.seq < b.seq;
                               });
  // Input that arrives at the same moment as a tick is delivered first.
  if (feed != scheduled_.end() && feed->ms <= limit_ms && feed->ms <= best) {
    now_ms_ = std::max(now_ms_, feed->ms);
    std::string bytes = std::move(feed->bytes);
    scheduled_.erase(feed);
    if (serial_) {
      serial_->Feed(bytes);
      serial_->RaiseOnComm();
    }
    return true;
  }
  if (!timer) return false;
  now_ms_ = std::max(now_ms_, timer->due_ms_);
  loop_->Fire(timer);
  return true;
}

void VirtualPlatform::Advance(std::int64_t ms) {
  // Like the real loop's Run, this ends at its deadline even when handlers keep the clock moving
  // (a tick that sleeps longer than its interval); what falls due after it waits for the next call.
  std::int64_t target = now_ms_ + std::max<std::int64_t>(ms, 0);
  while (DeliverNext(target)) {
  }
  now_ms_ = std::max(now_ms_, target);
}

// The one-shot pump: every due tick once, then a pending receive event.
void VirtualPlatform::DeliverDue() {
  for (auto it = scheduled_.begin(); it != scheduled_.end();) {
    if (it->ms <= now_ms_) {
      std::string bytes = std::move(it->bytes);
      it = scheduled_.erase(it);
      if (serial_) serial_->Feed(bytes);
    } else {
      ++it;
    }
  }
  std::vector<VTimer*> due;
  for (VTimer* t : loop_->timers_) {
    if (VLoop::Ready(t) && t->due_ms_ <= now_ms_) due.push_back(t);
  }
  for (VTimer* t : due) {
    auto& v = loop_->timers_;
    if (std::find(v.begin(), v.end(), t) != v.end()) loop_->Fire(t);
  }
  if (receive_pending_ && serial_) serial_->RaiseOnComm();
}

VirtualSerialControl::~VirtualSerialControl() {
  if (platform_.serial_ == this) platform_.serial_ = nullptr;
}

void VirtualSerialControl::PortOpen(bool open) {
  if (open && !fail_open_.empty()) {
    std::string d = std::move(fail_open_);
    fail_open_.clear();
    throw AutomationError(8002, d);
  }
  if (open && !present) {
    throw AutomationError(8002, "Cannot open " + device_path + ": No such file or directory");
  }
  open_ = open;
  hung_up_ = false;
}

void VirtualSerialControl::HangUp() {
  hung_up_ = true;
  if (on_hang_up_) on_hang_up_();
}

void VirtualSerialControl::Output(std::string_view bytes) {
  if (!open_) throw AutomationError(8018, "Operation valid only when the port is open");
  if (fail_writes || hung_up_)
    throw AutomationError(8020, "Error writing to the port: Input/output error");
  writes_.push_back({platform_.NowMs(), std::string(bytes)});
  if (drain_delay_ms > 0) queued_until_.push_back(platform_.NowMs() + drain_delay_ms);
  if (responder_) responder_(writes_.back().text);
}

int VirtualSerialControl::OutBufferCount() {
  std::int64_t now = platform_.NowMs();
  int count = 0;
  for (std::int64_t until : queued_until_) count += until > now ? 1 : 0;
  return count;
}

void VirtualSerialControl::DiscardOutput() {
  queued_until_.clear();
  ++discards;
}

std::string VirtualSerialControl::Input() {
  std::string out;
  out.swap(input_);
  return out;
}

void VirtualSerialControl::Feed(const std::string& bytes) {
  input_ += bytes;
  platform_.receive_pending_ = true;
}

void VirtualSerialControl::FeedAt(std::int64_t delay_ms, const std::string& bytes) {
  platform_.scheduled_.push_back({platform_.NowMs() + delay_ms, platform_.seq_++, bytes});
}

void VirtualSerialControl::RaiseOnComm() {
  platform_.receive_pending_ = false;
  if (on_comm_ && open_) on_comm_();
  // Bytes a handler left waiting raise the event again a little later, as the real control does.
  std::int64_t now = platform_.NowMs();
  if (open_ && !input_.empty() && retry_at_ <= now) {
    retry_at_ = now + kReceiveRetryMs;
    FeedAt(kReceiveRetryMs, "");
  }
}

std::vector<std::string> VirtualSerialControl::Texts() const {
  std::vector<std::string> out;
  out.reserve(writes_.size());
  for (const auto& w : writes_) out.push_back(w.text);
  return out;
}

std::vector<std::string> VirtualSerialControl::TakeTexts() {
  auto out = Texts();
  writes_.clear();
  return out;
}

void VirtualSettingsStore::Save(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& value) {
  saves.push_back({application, section, key, value});
  values_[application + "\n" + section + "\n" + key] = value;
}

std::string VirtualSettingsStore::Value(const std::string& application, const std::string& section,
                                        const std::string& key) const {
  auto it = values_.find(application + "\n" + section + "\n" + key);
  return it == values_.end() ? std::string() : it->second;
}

}  // namespace veltro::platform
