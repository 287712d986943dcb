// The termios control when the driver's calls fail, through the system-call shim: interrupted,
// would-block and short writes still deliver every byte in order; an I/O error (a USB adapter
// gone) fails the write, stops the watch and leaves the port closable and reopenable.
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "platform/serial_syscalls.h"
#include "support/real_rig.h"
#include "veltro/types.h"

namespace veltro::platform {
namespace {

// Each entry is the errno the next call fails with; 0 lets the real call through.
std::deque<int> g_write_faults, g_read_faults;
int g_writes = 0;

bool Fault(std::deque<int>& faults) {
  if (faults.empty()) return false;
  errno = faults.front();
  faults.pop_front();
  return errno != 0;
}

ssize_t FaultyWrite(int fd, const void* buf, size_t n) {
  ++g_writes;
  return Fault(g_write_faults) ? -1 : ::write(fd, buf, n > 3 ? 3 : n);  // short writes too
}

ssize_t FaultyRead(int fd, void* buf, size_t n) {
  return Fault(g_read_faults) ? -1 : ::read(fd, buf, n);
}

// Modem-line writes as "DTR- RTS+ ...".
std::string g_lines;
int RecordingIoctl(int fd, unsigned long request, void* arg) {
  if (request == TIOCMBIS || request == TIOCMBIC) {
    g_lines += *static_cast<int*>(arg) == TIOCM_RTS ? "RTS" : "DTR";
    g_lines += request == TIOCMBIS ? "+ " : "- ";
  }
  return ::ioctl(fd, request, arg);
}

// The number and text of the error `call` throws; "" when it throws none.
template <class F>
std::string ErrorText(F call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return std::to_string(e.Number()) + " " + e.what();
  }
  return "";
}

class SerialFaults : public ::testing::Test {
 protected:
  SerialFaults() {
    g_write_faults.clear();
    g_read_faults.clear();
    g_lines.clear();
    calls_.write_fd = &FaultyWrite;
    calls_.read_fd = &FaultyRead;
    calls_.ioctl_fd = &RecordingIoctl;
    control_ = MakePosixSerialControl(loop_, calls_);
    control_->DevicePath(pty_.path);
    control_->Settings("38400,N,8,1");
    control_->OnComm([this] { received_ += control_->Input(); });
    control_->PortOpen(true);
  }
  void Feed(const char* text) {
    ASSERT_EQ(write(pty_.master, text, strlen(text)), static_cast<ssize_t>(strlen(text)));
  }
  // Dispatches until `done` or about a second has passed.
  template <class F>
  void RunUntil(F done) {
    for (int i = 0; i < 50 && !done(); ++i) loop_.Run(20);
  }

  SerialSyscalls calls_ = RealSerialSyscalls();
  PosixEventLoop loop_;
  testing::Pty pty_;
  std::unique_ptr<SerialControl> control_;
  std::string received_;
};

TEST_F(SerialFaults, InterruptedCallsAndRefusedEventsLoseNothing) {
  // Output returns at once; what the driver refused waits for writability (or the next count).
  const std::deque<int> cases[] = {
      {}, {EINTR, EINTR}, {0, EAGAIN}, {EAGAIN, EINTR, EAGAIN, 0, EAGAIN}};
  for (const auto& faults : cases) {
    g_write_faults = faults;
    EXPECT_NO_THROW(control_->Output("FA014250000;"));
    RunUntil([&] { return control_->OutBufferCount() == 0; });
    EXPECT_EQ(pty_.ReadUntil("FA014250000;"), "FA014250000;");
  }
  // Received bytes survive interrupted reads, and a handler that leaves them waiting.
  int events = 0;
  control_->OnComm([&] {
    if (++events > 1) received_ += control_->Input();  // the first read is refused, as nested
  });
  g_read_faults = {EINTR, 0, EINTR};
  Feed("FA014250000;");
  RunUntil([&] { return received_.size() >= 12; });
  EXPECT_EQ(received_, "FA014250000;");
  EXPECT_EQ(events, 2);
}

TEST_F(SerialFaults, AnIOErrorLosesTheDeviceUntilItIsReopened) {
  for (bool on_write : {true, false}) {
    SCOPED_TRACE(on_write ? "write" : "read");
    received_.clear();
    if (on_write) {
      g_write_faults = {EIO};
      EXPECT_EQ(ErrorText([&] { control_->Output("ID;"); }),
                "8020 Error writing to " + pty_.path + ": Input/output error");
    } else {
      g_read_faults = {EIO};
      Feed("ID;");
      loop_.Run(100);
    }
    EXPECT_TRUE(control_->PortOpen());
    int before = g_writes;
    EXPECT_THROW(control_->Output("ID;"), AutomationError);  // no retry on a lost device
    EXPECT_EQ(g_writes, before);
    Feed("FA;");
    loop_.Run(100);
    EXPECT_EQ(received_, "");  // no longer watched

    control_->PortOpen(false);
    control_->PortOpen(true);
    control_->Output("ID;");
    EXPECT_EQ(pty_.ReadUntil("ID;"), "ID;");
  }
}

TEST_F(SerialFaults, RTSIsTheDriversUntilTheHostLetsIt) {
  EXPECT_EQ(g_lines, "DTR- ");                 // the fixture's open
  EXPECT_NO_THROW(control_->DTREnable(true));  // a pty has no modem lines: taken quietly
  control_->PortOpen(false);
  control_->RTSEnable(false);  // a let while closed reaches the line at the next open
  control_->PortOpen(true);
  EXPECT_EQ(g_lines, "DTR- DTR+ DTR+ RTS- ");
}

TEST_F(SerialFaults, OpenChecks) {
  EXPECT_EQ(ErrorText([&] { control_->PortOpen(true); }).substr(0, 5), "8005 ");  // already open
  control_->PortOpen(false);
  EXPECT_EQ(ErrorText([&] { control_->Output("ID;"); }),
            "8018 Operation valid only when the port is open");
  EXPECT_EQ(SerialDevicePath(1) + " " + SerialDevicePath(12), "/dev/ttyS0 /dev/ttyS11");
  control_->DevicePath("");
  control_->CommPort(0);
  EXPECT_EQ(ErrorText([&] { control_->PortOpen(true); }), "8002 Invalid port number 0");
}

}  // namespace
}  // namespace veltro::platform
