#include "platform/posix_serial_control.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "veltro/types.h"

namespace veltro::platform {

namespace {

// Error numbers follow the classic serial control's, so hosts that switch on them keep working.
constexpr int kErrInvalidPort = 8002;
constexpr int kErrAlreadyOpen = 8005;
constexpr int kErrPortInUse = 8005;
constexpr int kErrHardware = 8010;
constexpr int kErrSettings = 8015;
constexpr int kErrNotOpen = 8018;
constexpr int kErrIo = 8020;

// Input waiting for the host beyond this is dropped, as a hardware buffer overruns; output beyond
// this is refused. Both are far above what the protocol ever has in flight.
constexpr std::size_t kMaxInput = 64 * 1024;
constexpr std::size_t kMaxOutput = 64 * 1024;

struct SpeedEntry {
  long baud;
  speed_t constant;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},         {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},       {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1152000
    {1152000, B1152000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000},
#endif
#ifdef B3000000
    {3000000, B3000000},
#endif
#ifdef B3500000
    {3500000, B3500000},
#endif
#ifdef B4000000
    {4000000, B4000000},
#endif
};

std::string ErrnoText(int err) { return std::strerror(err); }

// Devices without modem lines (a pty, some adapters) refuse the ioctls in these ways.
bool NoModemLines(int err) { return err == ENOTTY || err == EINVAL || err == ENOTSUP; }

struct LineSettings {
  long baud = 0;
  speed_t speed = 0;
};

// "<speed>,N,8,1". The line format is fixed; only the speed varies.
LineSettings ParseSettings(const std::string& text) {
  std::string_view s = text.empty() ? std::string_view("9600,N,8,1") : std::string_view(text);
  auto fail = [&](const std::string& why) {
    return AutomationError(kErrSettings, "Invalid port settings \"" + text + "\": " + why);
  };
  std::size_t comma = s.find(',');
  std::string_view speed = s.substr(0, comma);
  std::string_view rest = comma == std::string_view::npos ? "" : s.substr(comma);
  if (speed.empty() || speed.size() > 8 ||
      speed.find_first_not_of("0123456789") != std::string_view::npos) {
    throw fail("\"" + std::string(speed) + "\" is not a baud rate");
  }
  if (rest != ",N,8,1" && rest != ",n,8,1") {
    throw fail("the line format must be no parity, 8 data bits, 1 stop bit");
  }
  LineSettings out;
  out.baud = std::stol(std::string(speed));
  out.speed = SerialSpeedConstant(out.baud);
  if (out.speed == 0) {
    throw fail(std::string(speed) + " baud is not a speed this system can set");
  }
  return out;
}

class PosixSerialControl : public SerialControl {
 public:
  PosixSerialControl(PosixEventLoop& loop, const SerialSyscalls& calls) : loop_(loop), sys_(calls) {
    retry_ = loop_.CreateTimer(kReceiveRetryMs, [this] {
      retry_->Enabled(false);
      if (fd_ >= 0 && !in_.empty()) RaiseReceive();
    });
  }
  ~PosixSerialControl() override { Close(); }

  void CommPort(std::int16_t port) override { port_ = port; }
  void DevicePath(const std::string& path) override { device_ = path; }
  void Settings(const std::string& settings) override { settings_ = settings; }
  // Input is always raw bytes.
  void InputMode(int) override {}
  void Handshaking(int handshaking) override { handshaking_ = handshaking; }
  void DTREnable(bool enable) override {
    dtr_ = enable;
    ApplyModemLine(TIOCM_DTR, enable, "DTR");
  }
  void RTSEnable(bool enable) override {
    rts_ = enable;
    rts_let_ = true;
    ApplyModemLine(TIOCM_RTS, enable, "RTS");
  }
  void PortOpen(bool open) override {
    if (open) {
      Open();
    } else {
      Close();
    }
  }
  bool PortOpen() const override { return fd_ >= 0; }
  bool HungUp() const override { return fd_ >= 0 && lost_errno_ != 0; }
  void OnHangUp(std::function<void()> handler) override { on_hang_up_ = std::move(handler); }

  void Output(std::string_view bytes) override {
    if (fd_ < 0) throw AutomationError(kErrNotOpen, "Operation valid only when the port is open");
    if (lost_errno_ != 0) throw WriteError(lost_errno_);
    if (out_.size() + bytes.size() > kMaxOutput) {
      throw AutomationError(kErrIo, "Error writing to " + path_ + ": the output buffer is full");
    }
    out_.append(bytes);
    if (!FlushOutput()) throw WriteError(lost_errno_);
  }

  int OutBufferCount() override {
    if (fd_ < 0) return 0;
    FlushOutput();
    std::size_t count = out_.size();
    int driver = 0;
    if (lost_errno_ == 0 && sys_.ioctl_fd(fd_, TIOCOUTQ, &driver) == 0 && driver > 0) {
      count += static_cast<std::size_t>(driver);
    }
    return count > 32767 ? 32767 : static_cast<int>(count);
  }

  void DiscardOutput() override {
    out_.clear();
    if (fd_ >= 0 && lost_errno_ == 0) sys_.flush(fd_, TCOFLUSH);
    UpdateWatch();
  }

  int InBufferCount() override {
    PullInput();
    return in_.size() > 32767 ? 32767 : static_cast<int>(in_.size());
  }

  std::string Input() override {
    PullInput();
    std::string out;
    out.swap(in_);
    return out;
  }

  void OnComm(std::function<void()> handler) override { on_comm_ = std::move(handler); }

 private:
  AutomationError WriteError(int err) const {
    return AutomationError(kErrIo, "Error writing to " + path_ + ": " + ErrnoText(err));
  }

  void Open() {
    if (fd_ >= 0) throw AutomationError(kErrAlreadyOpen, "The port is already open");
    std::string path = device_.empty() ? SerialDevicePath(port_) : device_;
    if (path.empty()) {
      throw AutomationError(kErrInvalidPort, "Invalid port number " + std::to_string(port_));
    }
    LineSettings line = ParseSettings(settings_);

    int fd;
    do {
      fd = sys_.open_path(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      int err = errno;
      if (err == EBUSY) throw InUse(path);
      throw AutomationError(kErrHardware, "Cannot open " + path + ": " + ErrnoText(err));
    }
    // Everything below closes the descriptor again on failure.
    struct Guard {
      const SerialSyscalls& sys;
      int fd;
      ~Guard() {
        if (fd >= 0) sys.close_fd(fd);
      }
    } guard{sys_, fd};

    // The terminal's exclusive mode does not stop root, so an advisory lock backs it up; it also
    // stops a second open from this same process.
    if (sys_.lock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) throw InUse(path);
    termios attr{};
    if (sys_.get_attr(fd, &attr) != 0) {
      int err = errno;
      if (err == ENOTTY) throw AutomationError(kErrHardware, path + " is not a serial port");
      throw AutomationError(kErrHardware,
                            "Cannot read the settings of " + path + ": " + ErrnoText(err));
    }
    sys_.ioctl_fd(fd, TIOCEXCL, nullptr);

    cfmakeraw(&attr);
    attr.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    attr.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    attr.c_cflag |= CS8 | CLOCAL | CREAD;
    if (handshaking_ == 2) attr.c_cflag |= CRTSCTS;
    // VMIN 1: with 0, read() on an idle line returns 0 (as at a hang-up) instead of EAGAIN.
    attr.c_cc[VMIN] = 1;
    attr.c_cc[VTIME] = 0;
    cfsetispeed(&attr, line.speed);
    cfsetospeed(&attr, line.speed);
    std::string at = std::to_string(line.baud) + " baud";
    if (sys_.set_attr(fd, TCSANOW, &attr) != 0) {
      throw AutomationError(kErrSettings,
                            "Cannot set " + path + " to " + at + ": " + ErrnoText(errno));
    }
    // A driver may take the call and keep another speed; that must not pass silently.
    termios check{};
    if (sys_.get_attr(fd, &check) == 0 &&
        (cfgetospeed(&check) != line.speed ||
         ((check.c_cflag & CRTSCTS) != 0) != (handshaking_ == 2))) {
      throw AutomationError(kErrSettings, path + " does not accept " + at +
                                              (handshaking_ == 2 ? " with RTS/CTS" : ""));
    }
    sys_.flush(fd, TCIOFLUSH);

    fd_ = fd;
    path_ = path;
    lost_errno_ = 0;
    in_.clear();
    out_.clear();
    ApplyModemLine(TIOCM_DTR, dtr_, nullptr);
    // RTS is the driver's (and RTS/CTS flow control's) until the host lets it.
    if (rts_let_) ApplyModemLine(TIOCM_RTS, rts_, nullptr);
    watched_events_ = EPOLLIN;
    if (!loop_.Watch(fd_, watched_events_, [this](std::uint32_t ev) { OnReady(ev); })) {
      fd_ = -1;
      throw AutomationError(kErrHardware, "Cannot watch " + path + " for input");
    }
    watching_ = true;
    guard.fd = -1;
  }

  static AutomationError InUse(const std::string& path) {
    return AutomationError(kErrPortInUse,
                           "Port already in use: " + path + " is opened by another program");
  }

  void Close() {
    if (fd_ < 0) return;
    StopWatching();
    // Unsent output would make the driver wait in close.
    if (lost_errno_ == 0) sys_.flush(fd_, TCIOFLUSH);
    sys_.close_fd(fd_);
    fd_ = -1;
    lost_errno_ = 0;
    in_.clear();
    out_.clear();
  }

  void StopWatching() {
    if (!watching_) return;
    loop_.Unwatch(fd_);
    watching_ = false;
  }

  // The device is gone (unplugged, or the far end of a pty closed): stop watching so the loop
  // does not spin on a descriptor that stays ready, and fail later writes. The descriptor stays
  // held until the host closes the port.
  void Vanish(int err) {
    lost_errno_ = err != 0 ? err : EIO;
    StopWatching();
    out_.clear();
    if (on_hang_up_) on_hang_up_();
  }

  // Called with `what` from the host's lets (an error the device raises fails the let); at open
  // (`what` null) a failure is ignored, since the stored value is applied again on the next let.
  void ApplyModemLine(int bit, bool on, const char* what) {
    if (fd_ < 0 || lost_errno_ != 0) return;
    if (sys_.ioctl_fd(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) return;
    int err = errno;
    if (NoModemLines(err) || what == nullptr) return;
    throw AutomationError(
        kErrIo, std::string("Cannot set ") + what + " on " + path_ + ": " + ErrnoText(err));
  }

  // Moves what the driver has received into the input buffer. True when bytes were added.
  bool PullInput() {
    if (fd_ < 0 || lost_errno_ != 0) return false;
    bool added = false;
    char buf[4096];
    for (;;) {
      ssize_t n = sys_.read_fd(fd_, buf, sizeof buf);
      if (n > 0) {
        std::size_t room = kMaxInput - std::min(kMaxInput, in_.size());
        std::size_t take = std::min(room, static_cast<std::size_t>(n));
        in_.append(buf, take);
        added = added || take > 0;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      // End of file or an error: a terminal only does that once it has hung up.
      Vanish(n == 0 ? EIO : errno);
      break;
    }
    return added;
  }

  // Writes queued output as far as the driver takes it. False when the device failed.
  bool FlushOutput() {
    if (fd_ < 0) return true;
    if (lost_errno_ != 0) return false;
    std::size_t done = 0;
    while (done < out_.size()) {
      ssize_t n = sys_.write_fd(fd_, out_.data() + done, out_.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      Vanish(n == 0 ? EIO : errno);
      return false;
    }
    out_.erase(0, done);
    UpdateWatch();
    return true;
  }

  // Writability is watched only while output waits, so an idle port costs nothing.
  void UpdateWatch() {
    if (!watching_) return;
    std::uint32_t want = EPOLLIN | (out_.empty() ? 0u : static_cast<std::uint32_t>(EPOLLOUT));
    if (want == watched_events_) return;
    watched_events_ = want;
    loop_.Modify(fd_, want);
  }

  void OnReady(std::uint32_t events) {
    if (events & EPOLLOUT) FlushOutput();
    bool added = false;
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) added = PullInput();
    if ((events & (EPOLLHUP | EPOLLERR)) && lost_errno_ == 0 && fd_ >= 0) Vanish(EIO);
    // The handler may close the port; nothing here touches the descriptor after it.
    if (added && !in_.empty()) RaiseReceive();
  }

  // A handler that leaves bytes waiting (its read was refused as nested) hears of them again
  // shortly, even if nothing more arrives.
  void RaiseReceive() {
    if (on_comm_) on_comm_();
    if (fd_ >= 0 && !in_.empty()) retry_->Enabled(true);
  }

  std::function<void()> on_hang_up_;
  PosixEventLoop& loop_;
  const SerialSyscalls& sys_;
  std::int16_t port_ = 1;
  std::string device_;
  std::string settings_;
  int handshaking_ = 0;
  bool dtr_ = false;
  bool rts_ = false;
  bool rts_let_ = false;

  int fd_ = -1;
  std::string path_;
  bool watching_ = false;
  std::uint32_t watched_events_ = 0;
  int lost_errno_ = 0;
  std::string in_;
  std::string out_;
  std::function<void()> on_comm_;
  std::unique_ptr<Timer> retry_;
};

}  // namespace

std::string SerialDevicePath(std::int16_t port) {
  if (port < 1) return {};
  return "/dev/ttyS" + std::to_string(port - 1);
}

speed_t SerialSpeedConstant(long baud) {
  for (const auto& e : kSpeeds) {
    if (e.baud == baud) return e.constant;
  }
  return 0;
}

std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop& loop) {
  return MakePosixSerialControl(loop, RealSerialSyscalls());
}

std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop& loop,
                                                      const SerialSyscalls& calls) {
  return std::make_unique<PosixSerialControl>(loop, calls);
}

}  // namespace veltro::platform
