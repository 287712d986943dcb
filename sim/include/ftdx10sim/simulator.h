// The radio simulator on a pseudo-terminal.
//
//   client (library, terminal program)            Simulator
//   opens SlavePath() ── pty slave ═══ pty master ── serving thread ── RadioModel
//                                                        └─ faults: latency, drops, garbage,
//                                                           split answers, disconnect
//
// Start() creates the pty and the serving thread; the client opens SlavePath() like any serial
// port. Every public member is thread-safe. Faults and the knob draw on one random generator
// seeded from the options, so a test that makes the same calls sees the same bytes.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "ftdx10sim/radio_model.h"

namespace veltro::sim {

struct SimulatorOptions {
  Model model = Model::kFtdx10;
  std::uint32_t seed = 1;
  std::chrono::milliseconds latency{0};  // delay before each answer goes out
};

enum class TraceDirection { kToRadio, kFromRadio };
// Called on the serving thread with the bytes read from or written to the line.
using TraceFn = std::function<void(TraceDirection, std::string_view bytes)>;

class Simulator {
 public:
  explicit Simulator(SimulatorOptions options = {});
  ~Simulator();  // stops the simulator
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pty pair and starts serving. Throws std::system_error when the pty cannot be
  // made; calling it again while running does nothing.
  void Start();
  // Stops the serving thread and closes the pty. Safe to call more than once.
  void Stop();
  // Device path of the pty slave for the client to open ("/dev/pts/N"); empty before Start().
  std::string SlavePath() const;
  // False once Disconnect() has closed the line.
  bool Connected() const;
  void SetTrace(TraceFn trace);

  // Faults.
  void SetLatency(std::chrono::milliseconds latency);
  void DropAnswers(int count);            // the next count answers (";"-terminated) are lost
  void InjectGarbage(std::size_t count);  // count random bytes, queued like an answer
  void InjectBytes(std::string bytes);    // exact bytes, queued like an answer
  void SetSplitAnswers(bool on);          // deliver each answer in pieces a few ms apart
  void Disconnect();                      // close the pty master; the client sees a hang-up

  // Front panel. Changes are reported on the line when auto-information is on.
  // Turns the VFO knob: steps changes of hz_per_step each, one every interval.
  void TurnKnob(int steps, std::int64_t hz_per_step, std::chrono::milliseconds interval);
  bool KnobTurning() const;
  void SetSMeter(int value);
  void SetMeterReading(int index, int value);  // "RM" index 0-8; -1 returns to computed
  // Any set command, made as the operator would on the radio; false if the radio refuses it.
  bool FrontPanel(std::string_view command);

  // State.
  std::int64_t VfoAFreqHz() const;
  std::int64_t VfoBFreqHz() const;
  char Mode(char vfo) const;  // 'A' or 'B'; the mode character
  bool Split() const;
  bool Ptt() const;
  bool MemoryMode() const;
  int Channel() const;
  std::optional<MemoryChannel> Memory(int channel) const;
  std::optional<int> Setting(std::string_view key) const;  // see RadioModel::Setting
  bool AutoInformation() const;
  // Runs f with the model locked, for anything the accessors above do not cover.
  template <typename F>
  auto Inspect(F&& f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(static_cast<const RadioModel&>(model_));
  }

 private:
  using Clock = std::chrono::steady_clock;
  struct Chunk {
    Clock::time_point due;
    std::string bytes;
  };
  struct KnobTurn {
    Clock::time_point next;
    int remaining;
    std::int64_t hz_per_step;
    std::chrono::milliseconds interval;
  };

  void OpenPty();
  void CloseLine();
  void Serve();
  void Wake();
  void Trace(TraceDirection direction, std::string_view bytes);
  // Both run with mutex_ held.
  void Queue(std::string_view text, bool answers);
  void TurnDueKnob(Clock::time_point now);

  const SimulatorOptions options_;
  mutable std::mutex mutex_;
  RadioModel model_;
  std::mt19937 random_;
  std::chrono::milliseconds latency_;
  int drop_ = 0;
  bool split_ = false;
  bool stop_ = false;
  bool disconnect_ = false;
  bool connected_ = false;
  std::deque<Chunk> out_;
  Clock::time_point last_due_{};
  std::deque<KnobTurn> knob_;
  TraceFn trace_;
  std::string slave_path_;
  int master_fd_ = -1;
  int slave_fd_ = -1;  // held open so the master never sees a hang-up between clients
  int wake_fd_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace veltro::sim
