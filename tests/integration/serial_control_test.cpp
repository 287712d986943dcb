// The termios serial control over a pty: framed bytes at the far end, the receive event, the
// line's attributes, exclusive open (also across processes), and a device that vanishes.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "host/library.h"
#include "host/protocol_impl.h"
#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "platform/virtual_platform.h"
#include "veltro/ftdx10.h"
#include "veltro/types.h"

namespace veltro::platform {
namespace {

struct Pty {
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    path = ptsname(master);
  }
  ~Pty() { Close(); }
  void Close() {
    if (master >= 0) close(master);
    master = -1;
  }
  // Reads what arrives at the master within `ms`.
  std::string Read(int ms) {
    std::string out;
    pollfd p{master, POLLIN, 0};
    while (poll(&p, 1, ms) == 1 && (p.revents & POLLIN)) {
      char buf[256];
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<std::size_t>(n));
      ms = 20;
    }
    return out;
  }
  int master = -1;
  std::string path;
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A library on the real clock and event loop, with the termios control.
struct RealRig {
  RealRig() : lib(MakePlatform()), connector(lib), radio(connector.FTDX10_Protocol()) {}
  Platform MakePlatform() {
    Platform p;
    p.clock = &clock;
    p.loop = &loop;
    p.settings = &settings;
    p.make_serial = [this] { return MakePosixSerialControl(loop); };
    return p;
  }
  VBool Open(const std::string& device, std::string& msg, const std::string& speed = "38400") {
    radio->PortDevice(device);
    radio->PortSpeed(speed);
    VBool open = kTrue;
    std::string a, c;
    return radio->SetPort(open, a, c, msg);
  }
  VBool Close() {
    VBool open = kFalse;
    std::string a, c, msg;
    return radio->SetPort(open, a, c, msg);
  }
  PosixClock clock;
  PosixEventLoop loop;
  VirtualSettingsStore settings;
  detail::Library lib;
  FTDX10_Connector connector;
  std::shared_ptr<FTDX10_Protocol> radio;
};

TEST(SerialControl, WritesFramedBytesAndRaisesTheReceiveEvent) {
  Pty pty;
  RealRig rig;
  std::string msg = "x";
  ASSERT_EQ(rig.Open(pty.path, msg), kTrue) << msg;
  EXPECT_EQ(msg, "");
  rig.radio->impl().Send("FA014250000");
  EXPECT_EQ(pty.Read(500), "FA014250000;");

  ASSERT_EQ(write(pty.master, "FA014070000;", 12), 12);
  for (int i = 0; i < 50 && rig.radio->VFOA_Freq() != 14.07; ++i) rig.loop.Run(20);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.07);

  termios t{};
  ASSERT_EQ(tcgetattr(pty.master, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B38400);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_NE(t.c_cflag & CRTSCTS, 0u);  // PortRTS is true when the speed is set
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(rig.Close(), kTrue);
}

TEST(SerialControl, SpeedAndHandshakingFollowTheSettings) {
  Pty pty;
  RealRig rig;
  rig.radio->PortRTS(kFalse);
  std::string msg;
  ASSERT_EQ(rig.Open(pty.path, msg, "4800"), kTrue) << msg;
  termios t{};
  ASSERT_EQ(tcgetattr(pty.master, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B4800);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
}

TEST(SerialControl, OpenFailuresGiveFalseWithTheirText) {
  Pty pty;
  struct Case {
    std::string device, speed, text;
  } cases[] = {
      {"/nonexistent/tty", "38400", "No such file or directory"},
      {"/dev/null", "38400", "is not a serial port"},
      {pty.path, "12345", "12345 baud is not a speed"},
      {pty.path, "fast", "is not a baud rate"},
  };
  for (const auto& c : cases) {
    RealRig rig;
    std::string msg;
    EXPECT_EQ(rig.Open(c.device, msg, c.speed), kFalse) << c.device << " " << c.speed;
    EXPECT_NE(msg.find(c.text), std::string::npos) << msg;
    EXPECT_EQ(rig.radio->PortOpen(), kFalse);
  }
}

TEST(SerialControl, ABusyPortIsRefusedInThisAndAnotherProcess) {
  Pty pty;
  RealRig first;
  std::string msg;
  ASSERT_EQ(first.Open(pty.path, msg), kTrue) << msg;

  RealRig second;
  EXPECT_EQ(second.Open(pty.path, msg), kFalse);
  EXPECT_NE(msg.find("in use"), std::string::npos) << msg;

  pid_t child = fork();
  if (child == 0) {
    PosixEventLoop loop;
    auto control = MakePosixSerialControl(loop);
    control->DevicePath(pty.path);
    control->Settings("38400,N,8,1");
    try {
      control->PortOpen(true);
      _exit(1);
    } catch (const std::exception& e) {
      _exit(std::string(e.what()).find("in use") != std::string::npos ? 0 : 2);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  EXPECT_EQ(first.Close(), kTrue);
  EXPECT_EQ(second.Open(pty.path, msg), kTrue) << msg;
}

TEST(SerialControl, AVanishedDeviceNeitherCrashesNorSpinsAndCanBeReopened) {
  char dir_template[] = "/tmp/veltro-serial-XXXXXX";
  ASSERT_NE(mkdtemp(dir_template), nullptr);
  std::string link = std::string(dir_template) + "/radio";
  auto first = std::make_unique<Pty>();
  ASSERT_EQ(symlink(first->path.c_str(), link.c_str()), 0);

  RealRig rig;
  std::string msg;
  ASSERT_EQ(rig.Open(link, msg), kTrue) << msg;
  first->Close();  // the device goes away

  double cpu = CpuSeconds();
  rig.loop.Run(1500);
  rig.radio->impl().Send("FA014250000");  // fails quietly
  rig.loop.Run(500);
  EXPECT_LT(CpuSeconds() - cpu, 0.2);
  EXPECT_EQ(rig.radio->PortOpen(), kTrue);  // the stored flag

  EXPECT_EQ(rig.Close(), kTrue);
  Pty second;
  unlink(link.c_str());
  ASSERT_EQ(symlink(second.path.c_str(), link.c_str()), 0);
  ASSERT_EQ(rig.Open(link, msg), kTrue) << msg;
  rig.radio->impl().Send("ID");
  EXPECT_EQ(second.Read(500), "ID;");
  rig.Close();
  unlink(link.c_str());
  rmdir(dir_template);
}

TEST(SerialControl, AnIdlePortCostsNoCpu) {
  Pty pty;
  RealRig rig;
  std::string msg;
  ASSERT_EQ(rig.Open(pty.path, msg), kTrue) << msg;
  double cpu = CpuSeconds();
  rig.loop.Run(2000);
  EXPECT_LT(CpuSeconds() - cpu, 0.1);
}

}  // namespace
}  // namespace veltro::platform
