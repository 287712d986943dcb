// A platform whose time moves only when a test says so. SleepMs moves the clock and delivers
// nothing; Advance(ms) delivers timer ticks and scheduled serial input in time order. The serial
// control records every write with its time stamp and lets the test feed received bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace veltro::platform {

class VirtualPlatform;

class VirtualSerialControl : public SerialControl {
 public:
  struct Write {
    std::int64_t ms;
    std::string text;
  };

  explicit VirtualSerialControl(VirtualPlatform& platform) : platform_(platform) {}
  ~VirtualSerialControl() override;

  void CommPort(std::int16_t port) override { comm_port = port; }
  void DevicePath(const std::string& path) override { device_path = path; }
  void Settings(const std::string& s) override { settings = s; }
  void InputMode(int mode) override { input_mode = mode; }
  void Handshaking(int h) override { handshaking = h; }
  void DTREnable(bool enable) override { dtr = enable; }
  void RTSEnable(bool enable) override { rts = enable; }
  void PortOpen(bool open) override;
  bool PortOpen() const override { return open_; }
  void Output(std::string_view bytes) override;
  int OutBufferCount() override;
  void DiscardOutput() override;
  int InBufferCount() override { return static_cast<int>(input_.size()); }
  std::string Input() override;
  void OnComm(std::function<void()> handler) override { on_comm_ = std::move(handler); }
  bool HungUp() const override { return open_ && hung_up_; }
  void OnHangUp(std::function<void()> handler) override { on_hang_up_ = std::move(handler); }

  // The device goes away: writes fail and the hang-up is raised. While `present` is false an
  // open fails as for a missing device.
  void HangUp();
  bool present = true;

  // Received bytes: Feed makes them wait now and raises the receive event at the next delivery
  // point; FeedAt schedules them `delay_ms` from now.
  void Feed(const std::string& bytes);
  void FeedAt(std::int64_t delay_ms, const std::string& bytes);
  // Called after every write with the written text (a test's stand-in for the radio).
  void OnWrite(std::function<void(const std::string&)> responder) {
    responder_ = std::move(responder);
  }

  // Recorded writes; Texts() gives just the texts, TakeTexts() also forgets them.
  const std::vector<Write>& Writes() const { return writes_; }
  std::vector<std::string> Texts() const;
  std::vector<std::string> TakeTexts();
  void ClearWrites() { writes_.clear(); }

  // Faults: the next open throws with this description; writes throw while set.
  void FailNextOpen(const std::string& description) { fail_open_ = description; }
  bool fail_writes = false;
  // Output stays queued for this long after it was written (0: drains at once).
  std::int64_t drain_delay_ms = 0;
  int discards = 0;

  // The control's properties as last set.
  std::int16_t comm_port = 0;
  std::string device_path;
  std::string settings;
  int input_mode = 0;
  int handshaking = 0;
  bool dtr = false;
  bool rts = false;

 private:
  friend class VirtualPlatform;
  void RaiseOnComm();

  VirtualPlatform& platform_;
  bool open_ = false;
  std::string fail_open_;
  std::string input_;
  std::vector<Write> writes_;
  std::vector<std::int64_t> queued_until_;  // one entry per write still in the output buffer
  std::int64_t retry_at_ = -1;              // a receive event is due again then
  std::function<void()> on_comm_;
  std::function<void()> on_hang_up_;
  bool hung_up_ = false;
  std::function<void(const std::string&)> responder_;
};

class VirtualSettingsStore : public SettingsStore {
 public:
  struct Entry {
    std::string application, section, key, value;
  };
  void Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  // Value last saved under PAN-like (application, section, key); "" when never saved.
  std::string Value(const std::string& application, const std::string& section,
                    const std::string& key) const;
  std::vector<Entry> saves;

 private:
  std::map<std::string, std::string> values_;
};

class VirtualPlatform {
 public:
  // `start_seconds`: the clock's time of day at virtual time 0.
  explicit VirtualPlatform(double start_seconds = 1000.0);
  ~VirtualPlatform();
  VirtualPlatform(const VirtualPlatform&) = delete;
  VirtualPlatform& operator=(const VirtualPlatform&) = delete;

  Platform platform();

  std::int64_t NowMs() const { return now_ms_; }
  // Moves time forward by `ms`, delivering every tick and receive event that falls due, in time
  // order. Time spent in handlers' sleeps counts too.
  void Advance(std::int64_t ms);
  // The serial control the library created (nullptr before the control panel came up).
  VirtualSerialControl* serial() { return serial_; }
  VirtualSettingsStore& settings() { return settings_; }
  // Every SleepMs call, in order.
  const std::vector<int>& sleeps() const { return sleeps_; }
  // Number of timer ticks delivered so far, per interval (a cheap way to see which timers ran).
  int TicksDelivered() const { return ticks_delivered_; }

 private:
  class VClock;
  class VLoop;
  class VTimer;
  friend class VirtualSerialControl;
  struct Scheduled {
    std::int64_t ms;
    std::uint64_t seq;
    std::string bytes;
  };

  bool DeliverNext(std::int64_t limit_ms);
  void DeliverDue();

  double start_seconds_;
  std::int64_t now_ms_ = 0;
  std::unique_ptr<VClock> clock_;
  std::unique_ptr<VLoop> loop_;
  VirtualSettingsStore settings_;
  VirtualSerialControl* serial_ = nullptr;
  std::vector<Scheduled> scheduled_;
  std::uint64_t seq_ = 0;
  std::vector<int> sleeps_;
  int ticks_delivered_ = 0;
  bool receive_pending_ = false;
};

}  // namespace veltro::platform
