// The library on the real POSIX platform (monotonic timers, epoll loop, termios serial control),
// for the few tests and the benchmarks that must run for real; everything else uses VirtualRig.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/library.h"
#include "platform/posix_event_loop.h"
#include "platform/virtual_platform.h"
#include "veltro/ftdx10.h"

namespace veltro::testing {

// A pty pair: the library opens `path`, the test reads and writes `master`. The slave side is
// held open as well, so the line does not hang up while the library closes and reopens it.
class Pty {
 public:
  Pty();  // throws std::runtime_error when the system has no pty to give
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  // The far end goes away: the library's side sees a hang-up.
  void Close();
  // Reads from the master until the text ends with `end` or `timeout_ms` passes.
  std::string ReadUntil(std::string_view end, int timeout_ms = 2000);

  int master = -1;
  std::string path;

 private:
  int keep_ = -1;
};

// Reads `fd` until `done` holds for what came, the peer closes, or `timeout_ms` passes.
std::string ReadUntil(int fd, const std::function<bool(const std::string&)>& done, int timeout_ms);

// CPU time this process has used, user and system.
double CpuSeconds();

// One library instance of its own, so every rig starts from the state at load time.
class PosixRig {
 public:
  PosixRig();
  ~PosixRig();  // closes the port if it is open

  // Opens `device` through the library; returns SetPort's message ("" on success).
  std::string Open(const std::string& device, const std::string& speed = "38400");
  VBool Close();
  // Runs the event loop until `done` holds or `timeout` passes; returns whether it held.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

  platform::PosixClock clock;
  platform::PosixEventLoop loop;
  platform::VirtualSettingsStore settings;  // keeps the panorama values away from the user's
  std::unique_ptr<detail::Library> lib;
  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> radio;
};

}  // namespace veltro::testing
