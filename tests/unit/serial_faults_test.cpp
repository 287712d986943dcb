// The termios control when the driver's calls fail: interrupted and would-block writes still
// deliver every byte in order; an I/O error fails the write, stops the watch and leaves the port
// closable and reopenable; an interrupted read loses nothing.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <string>

#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "platform/serial_syscalls.h"
#include "veltro/types.h"

namespace veltro::platform {
namespace {

// Scripted results: each entry is an errno the next call fails with (0: the real call).
std::deque<int> g_write_faults;
std::deque<int> g_read_faults;
int g_writes = 0;

ssize_t FaultyWrite(int fd, const void* buf, size_t n) {
  ++g_writes;
  if (!g_write_faults.empty()) {
    int e = g_write_faults.front();
    g_write_faults.pop_front();
    if (e != 0) {
      errno = e;
      return -1;
    }
  }
  return ::write(fd, buf, n > 3 ? 3 : n);  // short writes too
}

ssize_t FaultyRead(int fd, void* buf, size_t n) {
  if (!g_read_faults.empty()) {
    int e = g_read_faults.front();
    g_read_faults.pop_front();
    if (e != 0) {
      errno = e;
      return -1;
    }
  }
  return ::read(fd, buf, n);
}

SerialSyscalls Faulty() {
  SerialSyscalls s = RealSerialSyscalls();
  s.write_fd = &FaultyWrite;
  s.read_fd = &FaultyRead;
  return s;
}

class SerialFaults : public ::testing::Test {
 protected:
  SerialFaults() {
    g_write_faults.clear();
    g_read_faults.clear();
    g_writes = 0;
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master_);
    unlockpt(master_);
    control_ = MakePosixSerialControl(loop_, calls_);
    control_->DevicePath(ptsname(master_));
    control_->Settings("38400,N,8,1");
    control_->OnComm([this] { received_ += control_->Input(); });
    control_->PortOpen(true);
  }
  ~SerialFaults() override {
    control_.reset();
    close(master_);
  }
  std::string ReadMaster(std::size_t want) {
    std::string out;
    pollfd p{master_, POLLIN, 0};
    while (out.size() < want && poll(&p, 1, 500) == 1) {
      char buf[64];
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
  }
  // Dispatches until `done` or about a second has passed.
  template <class F>
  void RunUntil(F done) {
    for (int i = 0; i < 50 && !done(); ++i) loop_.Run(20);
  }

  SerialSyscalls calls_ = Faulty();
  PosixEventLoop loop_;
  int master_ = -1;
  std::unique_ptr<SerialControl> control_;
  std::string received_;
};

TEST_F(SerialFaults, InterruptedAndWouldBlockWritesDeliverEverythingInOrder) {
  // Output returns at once; what the driver refused waits for writability (or the next count).
  const std::deque<int> cases[] = {
      {}, {EINTR, EINTR}, {0, EAGAIN}, {EAGAIN, EINTR, EAGAIN, 0, EAGAIN}};
  for (const auto& faults : cases) {
    g_write_faults = faults;
    EXPECT_NO_THROW(control_->Output("FA014250000;"));
    RunUntil([&] { return control_->OutBufferCount() == 0; });
    EXPECT_EQ(ReadMaster(12), "FA014250000;");
  }
}

TEST_F(SerialFaults, AnIOErrorFailsTheWriteAndStopsTheWatch) {
  g_write_faults = {EIO};
  try {
    control_->Output("ID;");
    FAIL() << "no error";
  } catch (const AutomationError& e) {
    EXPECT_NE(std::string(e.what()).find("Input/output error"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(control_->PortOpen());
  int before = g_writes;
  EXPECT_THROW(control_->Output("ID;"), AutomationError);  // no retry on a lost device
  EXPECT_EQ(g_writes, before);
  ASSERT_EQ(write(master_, "FA;", 3), 3);
  loop_.Run(100);
  EXPECT_EQ(received_, "");  // no longer watched

  control_->PortOpen(false);
  control_->PortOpen(true);
  control_->Output("ID;");
  EXPECT_EQ(ReadMaster(3), "ID;");
}

TEST_F(SerialFaults, ReadFaults) {
  g_read_faults = {EINTR, 0, EINTR};
  ASSERT_EQ(write(master_, "FA014250000;", 12), 12);
  RunUntil([&] { return received_.size() >= 12; });
  EXPECT_EQ(received_, "FA014250000;");

  g_read_faults = {EIO};
  ASSERT_EQ(write(master_, "ID;", 3), 3);
  loop_.Run(100);
  received_.clear();
  ASSERT_EQ(write(master_, "ID;", 3), 3);
  loop_.Run(100);
  EXPECT_EQ(received_, "");
  EXPECT_THROW(control_->Output("ID;"), AutomationError);
}

TEST_F(SerialFaults, OpenAndLineChecks) {
  EXPECT_THROW(control_->PortOpen(true), AutomationError);  // already open
  EXPECT_EQ(SerialDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(12), "/dev/ttyS11");
  EXPECT_EQ(SerialDevicePath(0), "");
  EXPECT_NE(SerialSpeedConstant(38400), 0u);
  EXPECT_EQ(SerialSpeedConstant(12345), 0u);
  // A pty has no modem lines: the lets are accepted quietly.
  EXPECT_NO_THROW(control_->DTREnable(true));
  EXPECT_NO_THROW(control_->RTSEnable(false));
  control_->PortOpen(false);
  for (const char* bad : {"9600,E,7,1", "9600", ",N,8,1", "0,N,8,1"}) {
    control_->Settings(bad);
    EXPECT_THROW(control_->PortOpen(true), AutomationError) << bad;
    EXPECT_FALSE(control_->PortOpen());
  }
  control_->DevicePath("");
  control_->CommPort(0);
  control_->Settings("9600,N,8,1");
  EXPECT_THROW(control_->PortOpen(true), AutomationError);
}

}  // namespace
}  // namespace veltro::platform
