// The platform the library core talks to: a clock with a plain sleep, an event loop with timers
// and a one-shot pump, the serial control and the settings store. The POSIX implementations and
// the virtual ones used by tests each live in their own files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace veltro::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local time of day in seconds, as single precision. Callers only take absolute differences.
  virtual float SecondsSinceMidnight() = 0;
  // Blocks for `ms` milliseconds; delivers no tick, serial event or host call meanwhile.
  virtual void SleepMs(int ms) = 0;
};

class Timer {
 public:
  virtual ~Timer() = default;
  // Enabling a disabled timer makes the first tick come one interval later; enabling an enabled
  // timer changes nothing; disabling stops the ticks.
  virtual void Enabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual int IntervalMs() const = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // A disabled timer whose `tick` runs on the loop's thread once per interval while enabled.
  // Ticks that fall due while the thread is busy are folded into one.
  virtual std::unique_ptr<Timer> CreateTimer(int interval_ms, std::function<void()> tick) = 0;
  // Delivers every pending tick and receive event once, then returns.
  virtual void PumpOnce() = 0;
};

// The serial control as the library uses it. Errors are thrown as veltro::AutomationError
// carrying a description a host can show.
class SerialControl {
 public:
  virtual ~SerialControl() = default;
  virtual void CommPort(std::int16_t port) = 0;
  // A device path used instead of the port number when not empty.
  virtual void DevicePath(const std::string& path) = 0;
  // "<speed>,N,8,1"; checked when the port opens.
  virtual void Settings(const std::string& settings) = 0;
  virtual void InputMode(int mode) = 0;
  // 0 none, 2 RTS/CTS.
  virtual void Handshaking(int handshaking) = 0;
  virtual void DTREnable(bool enable) = 0;
  virtual void RTSEnable(bool enable) = 0;
  virtual void PortOpen(bool open) = 0;
  virtual bool PortOpen() const = 0;
  // Queues the bytes for sending and returns at once.
  virtual void Output(std::string_view bytes) = 0;
  // Bytes queued and not yet sent.
  virtual int OutBufferCount() = 0;
  virtual void DiscardOutput() = 0;
  virtual int InBufferCount() = 0;
  // Every waiting byte, in arrival order; removes them.
  virtual std::string Input() = 0;
  // Raised on the loop's thread whenever received bytes are waiting: when they arrive, and again
  // kReceiveRetryMs later while a handler has left bytes waiting (a nested read it refused).
  virtual void OnComm(std::function<void()> handler) = 0;
  // True once the open device went away (USB adapter unplugged, radio switched off): reads and
  // writes fail from then on. Closing the port clears it.
  virtual bool HungUp() const = 0;
  // Raised once per hang-up, on the loop's thread or inside the failing Output.
  virtual void OnHangUp(std::function<void()> handler) = 0;
};

constexpr int kReceiveRetryMs = 10;

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Stores one text value; failures are swallowed. A store may keep it for a moment before it
  // reaches the disk.
  virtual void Save(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) = 0;
  // Writes whatever is still kept back, before the process or the library goes.
  virtual void Flush() {}
};

// What a library instance runs on. The pieces outlive the library that uses them.
struct Platform {
  Clock* clock = nullptr;
  EventLoop* loop = nullptr;
  SettingsStore* settings = nullptr;
  // Creates the serial control when the control panel first comes up.
  std::function<std::unique_ptr<SerialControl>()> make_serial;
};

}  // namespace veltro::platform
