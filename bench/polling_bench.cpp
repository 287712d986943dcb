// What default polling costs, and how long the first reads of the radio take.
//
// BM_DefaultPollingCpu: the library polls the simulator, which runs as a program of its own, for
// VELTRO_POLL_SECONDS (default 60); the figure is this process's CPU time over the wall time, in
// percent of one core. Only the library runs in this process meanwhile.
//
// BM_FirstRead: from SetCAT(1) to the end of the first full status cycle and of the first level
// sequence, over a pty against the in-process simulator; both figures count from SetCAT(1). With
// polling the host starts the level sequence (PollLevels) when the status cycle is done; without it
// the library starts it itself.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>

#include "ftdx10sim/simulator.h"
#include "measure.h"
#include "support/real_rig.h"

extern char** environ;

namespace {

using veltro::bench::Seconds;
using veltro::testing::CpuSeconds;
using veltro::testing::PosixRig;

// The simulator program, started with its output on a pipe; it prints its pty path first.
class SimProcess {
 public:
  SimProcess() {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    char* argv[] = {const_cast<char*>(FTDX10_SIM_PATH), nullptr};
    if (posix_spawn(&pid_, FTDX10_SIM_PATH, &fa, nullptr, argv, environ) != 0) {
      throw std::runtime_error("cannot start " FTDX10_SIM_PATH);
    }
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
    out_ = out[0];
  }
  ~SimProcess() {
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
    close(out_);
  }
  const std::string& Path() const { return path_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string path_;
};

void BM_DefaultPollingCpu(benchmark::State& st) {
  const int seconds = veltro::bench::EnvInt("VELTRO_POLL_SECONDS", 60);
  for (auto _ : st) {
    SimProcess sim;
    if (sim.Path().empty()) {
      st.SkipWithError("the simulator printed no pty path");
      return;
    }
    PosixRig rig;
    if (std::string msg = rig.Open(sim.Path()); !msg.empty()) {
      st.SkipWithError(msg.c_str());
      return;
    }
    int events = 0;
    rig.radio->AddChangeHandler([&](std::int16_t&) { ++events; });
    std::int16_t cat = 1;
    rig.radio->SetCAT(cat);
    rig.loop.Run(3000);  // past the first status cycle: the steady state is what a host pays
    double cpu0 = CpuSeconds(), wall0 = Seconds();
    rig.loop.Run(seconds * 1000);
    double cpu = CpuSeconds() - cpu0, wall = Seconds() - wall0;
    st.SetIterationTime(wall);
    st.counters["cpu_percent"] = 100.0 * cpu / wall;
    st.counters["seconds"] = wall;
    st.counters["events"] = events;
    st.counters["freq_MHz"] = rig.radio->Freq();  // shows the polling really read the radio
  }
}
BENCHMARK(BM_DefaultPollingCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Runs events in small slices until `done` holds or `timeout_s` passes; seconds taken, or -1.
template <typename F>
double Until(PosixRig& rig, double start, double timeout_s, F done) {
  while (Seconds() - start < timeout_s) {
    rig.loop.Run(2);
    if (done()) return Seconds() - start;
  }
  return -1;
}

void BM_FirstRead(benchmark::State& st) {
  const bool polling = st.range(0) != 0;
  std::vector<double> status, levels;
  for (auto _ : st) {
    veltro::sim::Simulator sim;
    sim.Start();
    PosixRig rig;
    rig.radio->AutoPolling(polling ? veltro::kTrue : veltro::kFalse);
    if (std::string msg = rig.Open(sim.SlavePath()); !msg.empty()) {
      st.SkipWithError(msg.c_str());
      return;
    }
    auto& m = rig.lib->module();
    std::int16_t cat = 1;
    double start = Seconds();
    rig.radio->SetCAT(cat);
    double s = Until(rig, start, 15, [&] { return !m.RefreshPending; });
    if (s < 0) {
      st.SkipWithError("the status cycle did not end");
      return;
    }
    if (polling) rig.radio->PollLevels();
    // The sequence has run once its counter has moved and come back to 0 with its timer off
    // (a refresh restarts it at 0 with the timer on).
    bool started = false;
    double l = Until(rig, start, 40, [&] {
      if (m.LevelPollStep > 0) started = true;
      return started && m.LevelPollStep == 0 && !m.panel->tmrLevels->Enabled();
    });
    if (l < 0) {
      st.SkipWithError("the level sequence did not end");
      return;
    }
    status.push_back(s);
    levels.push_back(l);
  }
  st.counters["status_cycle_s"] = veltro::bench::Percentile(status, 0.5);
  st.counters["level_sequence_s"] = veltro::bench::Percentile(levels, 0.5);
}
BENCHMARK(BM_FirstRead)
    ->ArgName("AutoPolling")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
