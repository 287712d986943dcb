// Opening the radio through the library, and the record of the bytes on the line.
//
// With the built-in simulator the record comes from the simulator's own trace. A real port is
// opened by the tool and bridged to a pty that the library opens instead, so the relay sees every
// byte in both directions; --direct lets the library open the real port itself, and the tool
// then waits fixed times instead of watching the line.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "cli.h"
#include "veltro/events.h"

namespace veltro::cli {

namespace {

const auto kStart = std::chrono::steady_clock::now();

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The device a --port value names: a path, or port number N as /dev/ttyS<N-1>.
std::string DevicePath(const std::string& port) {
  if (!AllDigits(port)) return port;
  int n = std::atoi(port.c_str());
  if (n < 1 || n > 32767) throw CliError(kExitUsage, "port number must be 1 or more: " + port);
  return "/dev/ttyS" + std::to_string(n - 1);
}

std::optional<speed_t> BaudConstant(const std::string& speed) {
  static const std::pair<const char*, speed_t> kSpeeds[] = {
      {"1200", B1200},     {"2400", B2400},     {"4800", B4800},   {"9600", B9600},
      {"19200", B19200},   {"38400", B38400},   {"57600", B57600}, {"115200", B115200},
      {"230400", B230400}, {"460800", B460800},
  };
  for (const auto& [text, value] : kSpeeds) {
    if (speed == text) return value;
  }
  return std::nullopt;
}

std::string SpeedMessage(const std::string& speed) {
  return "--speed " + speed +
         " is not a line speed (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400 or "
         "460800)";
}

// Sets the line raw, 8N1, at `speed` when given. Returns "" or why the line refused: the call
// failed, or the driver took it and kept another speed. The texts are the library's own for the
// same failures, so the relay and --direct report a port alike.
std::string MakeRaw(int fd, const std::string& path, std::optional<speed_t> speed,
                    const std::string& baud) {
  termios t{};
  if (tcgetattr(fd, &t) != 0)
    return "Cannot read the settings of " + path + ": " + std::strerror(errno);
  cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (speed) {
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
  }
  std::string at = baud + " baud";
  if (tcsetattr(fd, TCSANOW, &t) != 0) {
    return "Cannot set " + path + " to " + at + ": " + std::strerror(errno);
  }
  termios check{};
  if (speed && tcgetattr(fd, &check) == 0 && cfgetospeed(&check) != *speed) {
    return path + " does not accept " + at;
  }
  return "";
}

// Writes all of `bytes`, waiting briefly when the other side is full. Gives up on a hang-up.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd, POLLOUT, 0};
      if (poll(&p, 1, 100) < 0 && errno != EINTR) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - kStart).count();
}

void TraceLog::Add(Direction direction, std::string_view bytes) {
  double t = Now();
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back({t, direction, std::string(bytes)});
}

std::vector<TraceEntry> TraceLog::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<TraceEntry> out;
  out.swap(entries_);
  return out;
}

// ---- Relay --------------------------------------------------------------------------------------

// Bridges a real serial port to a pty for the library, recording both directions.
class Relay {
 public:
  Relay(const std::string& device, const std::string& speed, std::shared_ptr<TraceLog> log)
      : log_(std::move(log)) {
    auto baud = BaudConstant(speed);
    if (!baud) throw CliError(kExitUsage, SpeedMessage(speed));
    device_fd_ = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device_fd_ < 0) {
      int e = errno;
      if (e == ENOENT || e == ENXIO || e == ENODEV)
        throw CliError(kExitFailure, "no such port: " + device);
      if (e == EBUSY)
        throw CliError(kExitFailure, "port " + device + " is busy: another program has it open");
      if (e == EACCES) {
        throw CliError(
            kExitFailure,
            "cannot open " + device + ": permission denied (is your user in the dialout group?)");
      }
      throw CliError(kExitFailure, "cannot open " + device + ": " + std::strerror(e));
    }
    if (!isatty(device_fd_)) Fail("cannot open " + device + ": not a serial device");
    // Exclusive use, as the library itself takes the port: a second program fails at once.
    if (flock(device_fd_, LOCK_EX | LOCK_NB) != 0 || ioctl(device_fd_, TIOCEXCL) != 0) {
      Fail("port " + device + " is busy: another program has it open");
    }
    if (std::string why = MakeRaw(device_fd_, device, baud, speed); !why.empty()) {
      Fail("cannot open " + device + ": " + why);
    }

    master_fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_fd_ < 0 || grantpt(master_fd_) != 0 || unlockpt(master_fd_) != 0) {
      Fail(std::string("cannot make a pty for the relay: ") + std::strerror(errno));
    }
    char name[128];
    if (ptsname_r(master_fd_, name, sizeof name) != 0) Fail("cannot name the relay's pty");
    slave_path_ = name;
    // Held open so the master never sees a hang-up while the library reopens its side.
    slave_fd_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_fd_ < 0) Fail(std::string("cannot open the relay's pty: ") + std::strerror(errno));
    MakeRaw(slave_fd_, name, std::nullopt, "");
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) Fail("cannot make the relay's wake pipe");
    thread_ = std::thread([this] { Serve(); });
  }

  ~Relay() {
    if (thread_.joinable()) {
      char c = 0;
      [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
      thread_.join();
    }
    CloseAll();
  }

  Relay(const Relay&) = delete;
  Relay& operator=(const Relay&) = delete;

  const std::string& SlavePath() const { return slave_path_; }
  // True once the device has hung up or failed (a USB adapter pulled out).
  bool Gone() const { return gone_; }

 private:
  [[noreturn]] void Fail(const std::string& message) {
    CloseAll();
    throw CliError(kExitFailure, message);
  }

  void CloseAll() {
    for (int* fd : {&device_fd_, &master_fd_, &slave_fd_, &wake_[0], &wake_[1]}) {
      if (*fd >= 0) close(*fd);
      *fd = -1;
    }
  }

  void Serve() {
    Pump();
    if (!stopping_) gone_ = true;
  }

  // Returns when told to stop or when the device goes away.
  void Pump() {
    char buf[4096];
    for (;;) {
      pollfd p[3] = {{device_fd_, POLLIN, 0}, {master_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      if (poll(p, 3, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (p[2].revents) {
        stopping_ = true;
        return;
      }
      if (p[0].revents & POLLIN) {
        ssize_t n = read(device_fd_, buf, sizeof buf);
        if (n > 0) {
          std::string_view bytes(buf, static_cast<std::size_t>(n));
          log_->Add(Direction::kIn, bytes);
          WriteAll(master_fd_, bytes);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
          return;
        }
      } else if (p[0].revents & (POLLHUP | POLLERR)) {
        return;  // the device went away; the library sees a silent line
      }
      if (p[1].revents & POLLIN) {
        ssize_t n = read(master_fd_, buf, sizeof buf);
        if (n > 0) {
          std::string_view bytes(buf, static_cast<std::size_t>(n));
          log_->Add(Direction::kOut, bytes);
          if (!WriteAll(device_fd_, bytes)) return;
        }
      }
    }
  }

  std::shared_ptr<TraceLog> log_;
  int device_fd_ = -1;
  int master_fd_ = -1;
  int slave_fd_ = -1;
  int wake_[2] = {-1, -1};
  std::string slave_path_;
  std::atomic<bool> gone_{false};
  bool stopping_ = false;  // the serving thread's own
  std::thread thread_;
};

// ---- Session ------------------------------------------------------------------------------------

Session::Session(const Options& options) : options_(options) {}

Session::~Session() {
  // The library keeps the port for the life of the process; closing it first lets the
  // simulator and the relay stop without the library writing into a closed line.
  if (radio_ && radio_->PortOpen()) {
    VBool open = kFalse;
    std::string address, code, msg;
    radio_->SetPort(open, address, code, msg);
  }
  if (sim_) sim_->Stop();
  relay_.reset();
}

void Session::Open() {
  if (!options_.port.empty() && !BaudConstant(options_.speed)) {
    throw CliError(kExitUsage, SpeedMessage(options_.speed));
  }
  std::string port_number;  // set when --direct opens a numbered port through the library
  if (options_.port.empty()) {
    log_ = std::make_shared<TraceLog>();
    sim::SimulatorOptions so;
    so.model = options_.model;
    sim_ = std::make_unique<sim::Simulator>(so);
    auto log = log_;
    sim_->SetTrace([log](sim::TraceDirection d, std::string_view bytes) {
      log->Add(d == sim::TraceDirection::kToRadio ? Direction::kOut : Direction::kIn, bytes);
    });
    try {
      sim_->Start();
    } catch (const std::exception& e) {
      throw CliError(kExitFailure, std::string("cannot start the simulator: ") + e.what());
    }
    device_ = sim_->SlavePath();
  } else if (options_.direct) {
    if (AllDigits(options_.port)) {
      port_number = options_.port;
      device_ = DevicePath(options_.port);
    } else {
      device_ = options_.port;
    }
  } else {
    log_ = std::make_shared<TraceLog>();
    std::string path = DevicePath(options_.port);
    relay_ = std::make_unique<Relay>(path, options_.speed, log_);
    device_ = relay_->SlavePath();
  }

  connector_ = std::make_unique<FTDX10_Connector>();
  radio_ = connector_->FTDX10_Protocol();
  try {
    if (!port_number.empty()) {
      radio_->Port(static_cast<std::int16_t>(std::atoi(port_number.c_str())));
    } else {
      radio_->PortDevice(relay_ || sim_ ? device_ : options_.port);
    }
    radio_->PortSpeed(options_.speed);
    radio_->AutoPolling(options_.poll ? kTrue : kFalse);
  } catch (const AutomationError& e) {
    throw CliError(kExitUsage, "cannot set the port up: " + e.Description());
  }
  VBool open = kTrue;
  std::string address, code, msg;
  if (!radio_->SetPort(open, address, code, msg)) {
    std::string what = options_.port.empty() ? device_ : options_.port;
    throw CliError(kExitFailure, "cannot open " + what + ": " + msg);
  }
}

std::string Session::Description() const {
  if (sim_) {
    return device_ + " (built-in simulator, " +
           (options_.model == sim::Model::kFt891 ? "ft891" : "ftdx10") + ")";
  }
  if (relay_) return DevicePath(options_.port) + " at " + options_.speed + " baud";
  return device_ + " at " + options_.speed + " baud (opened by the library)";
}

void Session::Run(int ms) {
  double end = Now() + ms / 1000.0;
  for (;;) {
    double left = end - Now();
    if (left <= 0) break;
    RunEvents(std::min(20, static_cast<int>(left * 1000) + 1));
    ran_ = true;
    Collect();
  }
  Collect();
}

void Session::Settle() {
  if (!log_) return;
  ran_ = false;
  constexpr double kQuiet = 0.004, kLongest = 0.1;
  double start = Now();
  Collect();
  while (Now() - start < kLongest && Now() - std::max(start, last_entry_) < kQuiet) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Collect();
  }
}

void Session::Collect() {
  if (!log_) return;
  for (TraceEntry& e : log_->Take()) Take(e);
}

void Session::Take(TraceEntry& e) {
  last_entry_ = e.time;
  if (e.direction == Direction::kOut) {
    last_out_ = e.time;
  } else {
    for (char c : e.bytes) {
      // An answer longer than any the radio sends is noise; keep only its start.
      if (answer_.size() < 64) answer_ += c;
      if (c != ';') continue;
      ++answers_;
      if (answer_ == "?;") ++refusals_;
      if (answer_.size() > 2 && std::isupper(static_cast<unsigned char>(answer_[0])) &&
          std::isupper(static_cast<unsigned char>(answer_[1]))) {
        last_answer_[answer_.substr(0, 2)] = answers_;  // at most 26 * 26 codes
      }
      answer_.clear();
    }
  }
  if (options_.trace) PrintTrace(e);
  window_.Add(std::move(e));
}

void Session::Discard() {
  if (!log_) return;
  for (const TraceEntry& e : log_->Take()) {
    if (options_.trace) PrintTrace(e);
  }
}

void Session::PrintTrace(const TraceEntry& e) {
  if (options_.json) {
    json_trace_.push_back(e);
  } else {
    std::printf("%s\n", TraceLine(e).c_str());
    std::fflush(stdout);
  }
}

std::vector<TraceEntry> Session::TakePrinted() {
  std::vector<TraceEntry> out;
  out.swap(json_trace_);
  return out;
}

std::vector<std::string> Session::SentSince(std::size_t mark) const {
  return window_.Texts(mark, Direction::kOut);
}

std::vector<std::string> Session::ReceivedSince(std::size_t mark) const {
  return window_.Texts(mark, Direction::kIn);
}

bool Session::Answering() const {
  if (relay_ && relay_->Gone()) return false;
  if (!radio_->RadioAnswering()) return false;
  return true;
}

std::string Session::SilentMessage() const {
  std::string where = relay_                  ? DevicePath(options_.port)
                      : options_.port.empty() ? device_
                                              : options_.port;
  return "no answer from the radio on " + where + " at " + options_.speed +
         " baud: is it on, and is its CAT rate " + options_.speed + "?";
}

void Session::CheckAnswering() const {
  if (!Answering()) throw CliError(kExitFailure, SilentMessage());
  if (refusals_ > 0 && refusals_ == answers_) {
    throw CliError(kExitFailure, "the radio refuses every command");
  }
  // Every radio answers its frequency queries: one that has given neither VFO's frequency
  // has answered nothing the library could read.
  if (!radio_->VFOA_Freq() && !radio_->VFOB_Freq()) {
    throw CliError(kExitFailure, "the radio refuses every command");
  }
}

bool Session::WaitForCommand(std::string_view command, double not_before, double timeout) {
  double give_up = Now() + timeout;
  std::size_t mark = Mark();
  while (Now() < give_up) {
    Run(20);
    if (Now() < not_before) {
      mark = Mark();
      continue;
    }
    for (const std::string& c : SentSince(mark)) {
      if (c == command) return true;
    }
  }
  return false;
}

bool Session::WaitForQuiet(double quiet, double not_before, double timeout) {
  double give_up = Now() + timeout;
  while (Now() < give_up) {
    Run(50);
    double now = Now();
    if (now >= not_before && now - last_out_ >= quiet) return true;
  }
  return false;
}

void Session::WaitForAnswer(std::string_view code, double timeout) {
  double give_up = Now() + timeout;
  std::size_t first = answers_;
  for (;;) {
    Run(10);
    auto it = last_answer_.find(code);
    if (it != last_answer_.end() && it->second > first) break;
    if (!Answering()) throw CliError(kExitFailure, SilentMessage());
    // Refusals from the start and nothing else: the radio will not serve.
    if (refusals_ >= 3 && refusals_ == answers_) {
      throw CliError(kExitFailure, "the radio refuses every command");
    }
    if (Now() >= give_up) {
      throw CliError(kExitFailure, "the radio left the status queries unanswered (no \"" +
                                       std::string(code) + "\" answer in " +
                                       std::to_string(static_cast<int>(timeout)) + " s)");
    }
  }
  // The answer is on the line; let the library read and parse it.
  Run(15);
}

Session::Timing Session::ReadState(Refresh how, std::string_view until) {
  Timing timing;
  if (how == Refresh::kNone) return timing;
  double start = Now();
  std::int16_t cat = 1;
  radio_->SetCAT(cat);
  const bool want_levels = how == Refresh::kFull;
  if (!log_) {
    // Nothing to watch: wait as long as the status cycle takes at the library's pace, or until
    // the library finds the radio silent.
    double end = Now() + (options_.poll ? 4.0 : 6.0);
    while (Now() < end && Answering()) Run(100);
  } else {
    WaitForAnswer(until, 10);
  }
  CheckAnswering();
  timing.status_cycle = Now() - start;
  if (!want_levels) return timing;
  double t = Now();
  if (!log_) {
    if (options_.poll) radio_->PollLevels();
    Run(10500);
  } else if (options_.poll) {
    // The master tick stands aside while a level sequence runs, so its next S-meter query
    // marks the end of the sequence.
    radio_->PollLevels();
    WaitForCommand("SM0;", t + 0.5, 12);
  } else {
    // Without polling the line falls silent once the refresh 5 s after CAT-on has run its
    // status cycle and level sequence.
    WaitForQuiet(1.0, start + 5.5, 25);
  }
  timing.levels = Now() - t;
  Run(250);
  return timing;
}

}  // namespace veltro::cli
