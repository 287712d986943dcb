// The library on the termios control over a pty: the line's attributes, open failures and their
// texts, a device that vanishes, and an idle port that costs nothing. Bytes both ways go through
// the pty in polling_sim_test, and cli_test finds a port another program holds refused.
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "host/protocol_impl.h"
#include "support/real_rig.h"

namespace veltro::testing {
namespace {

TEST(SerialControl, SetsTheLineAndIdlesWithoutSpinning) {
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

    double cpu = CpuSeconds();
    rig.loop.Run(1000);
    EXPECT_LT(CpuSeconds() - cpu, 0.1) << "an idle port must not spin";
    EXPECT_EQ(rig.Close(), kTrue);
  }
}

TEST(SerialControl, OpenFailuresGiveFalseWithTheirText) {
  Pty pty;
  // Device, speed, and a part of the message.
  const std::string cases[][3] = {
      {"/nonexistent/tty", "38400", "Cannot open /nonexistent/tty: No such file or directory"},
      {"/dev/null", "38400", "/dev/null is not a serial port"},
      {pty.path, "", "Invalid port settings \",N,8,1\": \"\" is not a baud rate"},
      {pty.path, "0", "0 baud is not a speed this system can set"},
      {pty.path, "9600,E,7", "the line format must be no parity, 8 data bits, 1 stop bit"},
  };
  for (const auto& [device, speed, text] : cases) {
    PosixRig rig;
    EXPECT_THAT(rig.Open(device, speed), ::testing::HasSubstr(text));
    EXPECT_EQ(rig.radio->PortOpen(), kFalse);
  }
}

TEST(SerialControl, AVanishedDeviceNeitherCrashesNorSpins) {
  Pty pty;
  PosixRig rig;
  ASSERT_EQ(rig.Open(pty.path), "");
  pty.Close();  // the device goes away

  double cpu = CpuSeconds();
  rig.loop.Run(1000);
  rig.radio->impl().Send("FA014250000");  // fails quietly
  rig.loop.Run(500);
  EXPECT_LT(CpuSeconds() - cpu, 0.2);
  EXPECT_EQ(rig.radio->PortOpen(), kTrue);  // the stored flag
  EXPECT_EQ(rig.Close(), kTrue);
}

}  // namespace
}  // namespace veltro::testing
