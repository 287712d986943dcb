// Call-to-wire latency of SetFreq over a pty: from the call until the whole "FA...;" text can be
// read at the far end. SetFreq is an immediate command, so no pacing wait is part of it.
#include <benchmark/benchmark.h>

#include "measure.h"
#include "support/real_rig.h"

namespace {

using veltro::bench::Percentile;
using veltro::bench::Seconds;

void BM_SetFreqCallToWire(benchmark::State& st) {
  veltro::testing::Pty pty;
  veltro::testing::PosixRig rig;
  if (std::string msg = rig.Open(pty.path); !msg.empty()) {
    st.SkipWithError(msg.c_str());
    return;
  }
  // The first call also changes the band ("BS05;" and the radio's 200 ms); it is not timed.
  rig.radio->SetFreq(14.2);
  pty.ReadUntil(";", 1000);
  pty.ReadUntil(";", 1000);
  std::vector<double> samples;
  int i = 1;
  for (auto _ : st) {
    // Two frequencies of one band: no band change, so every call writes one text.
    double f = (i++ % 2) ? 14.2 : 14.201;
    double start = Seconds();
    benchmark::DoNotOptimize(rig.radio->SetFreq(f));
    std::string got = pty.ReadUntil(";", 1000);
    double end = Seconds();
    if (got.find("FA") == std::string::npos) {
      st.SkipWithError("SetFreq wrote nothing");
      break;
    }
    samples.push_back((end - start) * 1e6);
    if (i % 64 == 0) rig.loop.Dispatch();  // the timers the library runs meanwhile
  }
  st.counters["median_us"] = Percentile(samples, 0.5);
  st.counters["p99_us"] = Percentile(samples, 0.99);
  st.counters["max_us"] = Percentile(samples, 1.0);
}
BENCHMARK(BM_SetFreqCallToWire)->Iterations(5000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
