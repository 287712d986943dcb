#include "ftdx10sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace veltro::sim {
namespace {

// Gap between the pieces of a split answer: long enough that a reader sees them apart.
constexpr std::chrono::milliseconds kSplitGap{3};

[[noreturn]] void ThrowErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

Simulator::Simulator(SimulatorOptions options)
    : options_(options), model_(options.model), random_(options.seed), latency_(options.latency) {}

Simulator::~Simulator() { Stop(); }

void Simulator::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread_.joinable()) return;
  OpenPty();
  stop_ = false;
  disconnect_ = false;
  connected_ = true;
  thread_ = std::thread([this] { Serve(); });
}

void Simulator::OpenPty() {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) ThrowErrno("posix_openpt");
  char name[128];
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    const int e = errno;
    ::close(master);
    throw std::system_error(e, std::generic_category(), "pty setup");
  }
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);

  int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  if (slave < 0 || ::tcgetattr(slave, &t) != 0) {
    const int e = errno;
    ::close(master);
    if (slave >= 0) ::close(slave);
    throw std::system_error(e, std::generic_category(), "pty slave");
  }
  ::cfmakeraw(&t);
  ::tcsetattr(slave, TCSANOW, &t);

  int wake[2];
  if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
    const int e = errno;
    ::close(master);
    ::close(slave);
    throw std::system_error(e, std::generic_category(), "pipe2");
  }
  master_fd_ = master;
  slave_fd_ = slave;
  wake_fd_[0] = wake[0];
  wake_fd_[1] = wake[1];
  slave_path_ = name;
}

void Simulator::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  Wake();
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  CloseLine();
  CloseFd(wake_fd_[0]);
  CloseFd(wake_fd_[1]);
}

void Simulator::CloseLine() {
  CloseFd(master_fd_);
  CloseFd(slave_fd_);
  connected_ = false;
}

void Simulator::Wake() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (wake_fd_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(wake_fd_[1], &byte, 1);
  }
}

void Simulator::Trace(TraceDirection direction, std::string_view bytes) {
  TraceFn trace;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    trace = trace_;
  }
  if (trace) trace(direction, bytes);
}

void Simulator::Queue(std::string_view text, bool answers) {
  const auto now = Clock::now();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = answers ? text.find(';', pos) : std::string_view::npos;
    end = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view frame = text.substr(pos, end - pos);
    pos = end;
    if (answers && drop_ > 0) {
      --drop_;
      continue;
    }
    auto due = std::max(now + latency_, last_due_);
    if (split_ && frame.size() > 1) {
      // The first cut falls inside the answer, so every answer really arrives in pieces.
      std::size_t at = 0;
      while (at < frame.size()) {
        const std::size_t left = frame.size() - at;
        std::uniform_int_distribution<std::size_t> length(1, at == 0 ? left - 1 : left);
        const std::size_t n = length(random_);
        out_.push_back({due, std::string(frame.substr(at, n))});
        at += n;
        if (at < frame.size()) due += kSplitGap;
      }
    } else {
      out_.push_back({due, std::string(frame)});
    }
    last_due_ = due;
  }
}

void Simulator::TurnDueKnob(Clock::time_point now) {
  while (!knob_.empty() && knob_.front().next <= now) {
    KnobTurn& turn = knob_.front();
    Queue(model_.TurnKnob(turn.hz_per_step), true);
    turn.next += turn.interval;
    if (--turn.remaining <= 0) knob_.pop_front();
  }
}

void Simulator::Serve() {
  std::string writing;  // bytes due and not yet taken by the pty
  char buffer[4096];
  for (;;) {
    bool want_write = false;
    std::optional<Clock::time_point> wake_at;
    int master = -1;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      if (disconnect_) {
        CloseLine();
        return;
      }
      const auto now = Clock::now();
      TurnDueKnob(now);
      while (!out_.empty() && out_.front().due <= now) {
        writing += out_.front().bytes;
        out_.pop_front();
        // Pieces of a split answer go out one at a time.
        if (split_) break;
      }
      want_write = !writing.empty();
      if (!out_.empty()) wake_at = out_.front().due;
      if (!knob_.empty() && (!wake_at || knob_.front().next < *wake_at)) {
        wake_at = knob_.front().next;
      }
      master = master_fd_;
    }

    pollfd fds[2] = {{wake_fd_[0], POLLIN, 0},
                     {master, static_cast<short>(POLLIN | (want_write ? POLLOUT : 0)), 0}};
    timespec timeout{};
    timespec* timeout_ptr = nullptr;
    if (wake_at) {
      const auto wait = std::max(*wake_at - Clock::now(), Clock::duration::zero());
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
      timeout.tv_sec = ns / 1'000'000'000;
      timeout.tv_nsec = ns % 1'000'000'000;
      timeout_ptr = &timeout;
    }
    if (::ppoll(fds, 2, timeout_ptr, nullptr) < 0 && errno != EINTR) return;

    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (::read(wake_fd_[0], drain, sizeof drain) > 0) {
      }
    }
    if (fds[1].revents & POLLIN) {
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0) {
        const std::string_view received(buffer, static_cast<std::size_t>(n));
        Trace(TraceDirection::kToRadio, received);
        std::lock_guard<std::mutex> lock(mutex_);
        Queue(model_.Receive(received), true);
      }
    }
    if (want_write && (fds[1].revents & POLLOUT)) {
      const ssize_t n = ::write(master, writing.data(), writing.size());
      if (n > 0) {
        Trace(TraceDirection::kFromRadio, std::string_view(writing).substr(0, n));
        writing.erase(0, static_cast<std::size_t>(n));
      }
    }
  }
}

std::string Simulator::SlavePath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slave_path_;
}

bool Simulator::Connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connected_;
}

void Simulator::SetTrace(TraceFn trace) {
  std::lock_guard<std::mutex> lock(mutex_);
  trace_ = std::move(trace);
}

void Simulator::SetLatency(std::chrono::milliseconds latency) {
  std::lock_guard<std::mutex> lock(mutex_);
  latency_ = std::max(latency, std::chrono::milliseconds::zero());
}

void Simulator::DropAnswers(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  drop_ = std::max(count, 0);
}

void Simulator::InjectGarbage(std::size_t count) {
  std::string bytes;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < count; ++i) bytes += static_cast<char>(byte(random_));
    Queue(bytes, false);
  }
  Wake();
}

void Simulator::InjectBytes(std::string bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Queue(bytes, false);
  }
  Wake();
}

void Simulator::SetSplitAnswers(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  split_ = on;
}

void Simulator::Disconnect() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disconnect_ = true;
    // Not started yet: there is no thread to close the line, so close it here.
    if (!thread_.joinable()) CloseLine();
  }
  Wake();
}

void Simulator::TurnKnob(int steps, std::int64_t hz_per_step, std::chrono::milliseconds interval) {
  if (steps <= 0) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto start = knob_.empty() ? Clock::now() : knob_.back().next;
    knob_.push_back({start, steps, hz_per_step, std::max(interval, std::chrono::milliseconds(0))});
  }
  Wake();
}

bool Simulator::KnobTurning() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !knob_.empty();
}

void Simulator::SetSMeter(int value) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Queue(model_.SetSMeter(value), true);
  }
  Wake();
}

void Simulator::SetMeterReading(int index, int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetMeterReading(index, value);
}

bool Simulator::FrontPanel(std::string_view command) {
  bool ok;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto reports = model_.Operate(command);
    ok = reports.has_value();
    if (ok) Queue(*reports, true);
  }
  Wake();
  return ok;
}

std::int64_t Simulator::VfoAFreqHz() const {
  return Inspect([](const RadioModel& m) { return m.VfoFreqHz('A'); });
}
std::int64_t Simulator::VfoBFreqHz() const {
  return Inspect([](const RadioModel& m) { return m.VfoFreqHz('B'); });
}
char Simulator::Mode(char vfo) const {
  return Inspect([vfo](const RadioModel& m) { return m.ModeChar(vfo); });
}
bool Simulator::Split() const {
  return Inspect([](const RadioModel& m) { return m.Split(); });
}
bool Simulator::Ptt() const {
  return Inspect([](const RadioModel& m) { return m.Ptt(); });
}
bool Simulator::MemoryMode() const {
  return Inspect([](const RadioModel& m) { return m.MemoryMode(); });
}
int Simulator::Channel() const {
  return Inspect([](const RadioModel& m) { return m.Channel(); });
}
std::optional<MemoryChannel> Simulator::Memory(int channel) const {
  return Inspect([channel](const RadioModel& m) { return m.Memory(channel); });
}
std::optional<int> Simulator::Setting(std::string_view key) const {
  return Inspect([key](const RadioModel& m) { return m.Setting(key); });
}
bool Simulator::AutoInformation() const {
  return Inspect([](const RadioModel& m) { return m.AutoInformation(); });
}

}  // namespace veltro::sim
