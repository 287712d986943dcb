// The library on the termios control over a pty: framed bytes at the far end, the receive event,
// the line's attributes, open failures and their texts, exclusive open (also across processes),
// a device that vanishes, and an idle port that costs nothing.
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "host/protocol_impl.h"
#include "platform/posix_serial_control.h"
#include "support/real_rig.h"

namespace veltro::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(SerialControl, WritesFramedBytesReceivesAnswersAndSetsTheLine) {
  struct Case {
    VBool rts;  // set before the speed: handshaking follows it
    const char* speed;
    speed_t baud;
  } cases[] = {{kTrue, "38400", B38400}, {kFalse, "4800", B4800}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    Pty pty;
    PosixRig rig;
    rig.radio->PortRTS(c.rts);
    ASSERT_EQ(rig.Open(pty.path, c.speed), "");
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), c.baud);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
    EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rts != 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);

    rig.radio->impl().Send("FA014250000");
    EXPECT_EQ(pty.ReadUntil("FA014250000;"), "FA014250000;");
    ASSERT_EQ(write(pty.master, "FA014070000;", 12), 12);
    EXPECT_TRUE(rig.RunUntil([&] { return rig.radio->VFOA_Freq() == 14.07; }));

    double cpu = CpuSeconds();
    rig.loop.Run(1000);
    EXPECT_LT(CpuSeconds() - cpu, 0.1) << "an idle port must not spin";
    EXPECT_EQ(rig.Close(), kTrue);
  }
}

TEST(SerialControl, OpenFailuresGiveFalseWithTheirText) {
  Pty pty;
  struct Case {
    std::string device, speed, text;
  } cases[] = {
      {"/nonexistent/tty", "38400", "Cannot open /nonexistent/tty: No such file or directory"},
      {"/dev/null", "38400", "/dev/null is not a serial port"},
      {pty.path, "", "Invalid port settings \",N,8,1\": \"\" is not a baud rate"},
      {pty.path, "0", "0 baud is not a speed this system can set"},
      {pty.path, "9600,E,7", "the line format must be no parity, 8 data bits, 1 stop bit"},
  };
  for (const auto& c : cases) {
    PosixRig rig;
    std::string msg = rig.Open(c.device, c.speed);
    EXPECT_TRUE(Has(msg, c.text)) << msg;
    EXPECT_EQ(rig.radio->PortOpen(), kFalse);
  }
}

TEST(SerialControl, ABusyPortIsRefusedInThisAndAnotherProcess) {
  Pty pty;
  PosixRig first, second;
  ASSERT_EQ(first.Open(pty.path), "");
  EXPECT_EQ(second.Open(pty.path),
            "Port already in use: " + pty.path + " is opened by another program");

  pid_t child = fork();
  if (child == 0) {
    platform::PosixEventLoop loop;
    auto control = platform::MakePosixSerialControl(loop);
    control->DevicePath(pty.path);
    control->Settings("38400,N,8,1");
    try {
      control->PortOpen(true);
      _exit(1);
    } catch (const std::exception& e) {
      _exit(Has(e.what(), "in use") ? 0 : 2);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  EXPECT_EQ(first.Close(), kTrue);
  EXPECT_EQ(second.Open(pty.path), "");
}

TEST(SerialControl, AVanishedDeviceNeitherCrashesNorSpinsAndAnotherCanBeOpened) {
  auto first = std::make_unique<Pty>();
  PosixRig rig;
  ASSERT_EQ(rig.Open(first->path), "");
  first->Close();  // the device goes away

  double cpu = CpuSeconds();
  rig.loop.Run(1000);
  rig.radio->impl().Send("FA014250000");  // fails quietly
  rig.loop.Run(500);
  EXPECT_LT(CpuSeconds() - cpu, 0.2);
  EXPECT_EQ(rig.radio->PortOpen(), kTrue);  // the stored flag

  EXPECT_EQ(rig.Close(), kTrue);
  Pty second;
  ASSERT_EQ(rig.Open(second.path), "");
  rig.radio->impl().Send("ID");
  EXPECT_EQ(second.ReadUntil("ID;"), "ID;");
}

}  // namespace
}  // namespace veltro::testing
