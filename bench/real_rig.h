// A library instance of its own on the real platform (monotonic clock, epoll loop, termios serial
// control), so each measurement starts from the state at load time, plus the small pieces the
// pty benchmarks share.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/library.h"
#include "host/protocol_impl.h"
#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "veltro/ftdx10.h"

namespace veltro::bench {

// The panorama values go nowhere: a benchmark must not touch the user's settings.
class NullSettings : public platform::SettingsStore {
 public:
  void Save(const std::string&, const std::string&, const std::string&,
            const std::string&) override {}
};

class RealRig {
 public:
  RealRig() : lib_(MakePlatform()) {
    connector = std::make_unique<FTDX10_Connector>(lib_);
    radio = connector->FTDX10_Protocol();
  }
  ~RealRig() {
    if (radio && radio->PortOpen()) {
      VBool open = kFalse;
      std::string a, c, m;
      radio->SetPort(open, a, c, m);
    }
  }

  // Opens `device`; throws with the library's reason when it cannot.
  void Open(const std::string& device, bool auto_polling = true) {
    radio->PortDevice(device);
    radio->PortSpeed("38400");
    radio->AutoPolling(auto_polling ? kTrue : kFalse);
    VBool open = kTrue;
    std::string a, c, msg;
    if (!radio->SetPort(open, a, c, msg))
      throw std::runtime_error("cannot open " + device + ": " + msg);
  }

  platform::PosixEventLoop& loop() { return loop_; }
  detail::Module& module() { return lib_.module(); }
  // Waits for and runs events for about `ms` milliseconds.
  void Run(int ms) { loop_.Run(ms); }

  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> radio;

 private:
  platform::Platform MakePlatform() {
    platform::Platform p;
    p.clock = &clock_;
    p.loop = &loop_;
    p.settings = &settings_;
    p.make_serial = [this] { return platform::MakePosixSerialControl(loop_); };
    return p;
  }

  platform::PosixClock clock_;
  platform::PosixEventLoop loop_;
  NullSettings settings_;
  detail::Library lib_;
};

// A raw pty pair: the library opens Slave(), the benchmark reads and writes Master().
class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      throw std::runtime_error("no pty");
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
    slave_path_ = name;
    keep_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);  // no hang-up while the library reopens
    termios t{};
    tcgetattr(keep_, &t);
    cfmakeraw(&t);
    tcsetattr(keep_, TCSANOW, &t);
  }
  ~PtyPair() {
    close(keep_);
    close(master_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  int Master() const { return master_; }
  const std::string& Slave() const { return slave_path_; }

  // Reads until `terminator` arrives or `timeout_ms` passes; returns what was read.
  std::string ReadUntil(char terminator, int timeout_ms) {
    std::string out;
    char buf[256];
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, timeout_ms) <= 0) return out;
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) return out;
      out.append(buf, static_cast<std::size_t>(n));
      if (out.find(terminator) != std::string::npos) return out;
    }
  }

 private:
  int master_ = -1;
  int keep_ = -1;
  std::string slave_path_;
};

inline double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The value below which `fraction` of the samples lie.
inline double Percentile(std::vector<double> v, double fraction) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  std::size_t i = static_cast<std::size_t>(fraction * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

// A whole-number setting from the environment, for runs shorter than the default.
inline int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  int n = std::atoi(v);
  return n > 0 ? n : fallback;
}

}  // namespace veltro::bench
