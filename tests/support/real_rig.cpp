#include "support/real_rig.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/posix_serial_control.h"

namespace veltro::testing {

Pty::Pty() {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
      ptsname_r(master, name, sizeof name) != 0) {
    throw std::runtime_error("no pty");
  }
  path = name;
  keep_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  tcgetattr(keep_, &t);
  cfmakeraw(&t);
  tcsetattr(keep_, TCSANOW, &t);
}

Pty::~Pty() { Close(); }

void Pty::Close() {
  if (master >= 0) close(master);
  if (keep_ >= 0) close(keep_);
  master = keep_ = -1;
}

std::string Pty::ReadUntil(std::string_view end, int timeout_ms) {
  return testing::ReadUntil(
      master, [&](const std::string& s) { return s.ends_with(end); }, timeout_ms);
}

std::string ReadUntil(int fd, const std::function<bool(const std::string&)>& done, int timeout_ms) {
  std::string out;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done(out)) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1) break;
    char buf[65536];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

PosixRig::PosixRig() {
  platform::Platform p;
  p.clock = &clock;
  p.loop = &loop;
  p.settings = &settings;
  p.make_serial = [this] { return platform::MakePosixSerialControl(loop); };
  lib = std::make_unique<detail::Library>(std::move(p));
  connector = std::make_unique<FTDX10_Connector>(*lib);
  radio = connector->FTDX10_Protocol();
}

PosixRig::~PosixRig() {
  if (radio->PortOpen()) Close();
}

std::string PosixRig::Open(const std::string& device, const std::string& speed) {
  radio->PortDevice(device);
  radio->PortSpeed(speed);
  std::string msg;
  radio->SetPort(true, &msg);
  return msg;
}

VBool PosixRig::Close() { return radio->SetPort(false); }

bool PosixRig::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    loop.Run(20);
  }
  return true;
}

}  // namespace veltro::testing
