// What saving the panorama settings costs the receive path: "IS" answers (each one saves the IF
// shift) parsed through ReadBuffer with the settings file on a real file system, the event loop
// running between answers as a host's does. Reports the 50th and 99th percentile of one answer.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/library.h"
#include "measure.h"
#include "platform/file_settings_store.h"
#include "platform/posix_event_loop.h"
#include "veltro/ftdx10.h"

namespace {

namespace fs = std::filesystem;

void BM_IFShiftAnswer(benchmark::State& st) {
  std::string root = (fs::temp_directory_path() / "settings_bench_XXXXXX").string();
  if (!mkdtemp(root.data())) {
    st.SkipWithError("no temporary folder");
    return;
  }
  const int answers = veltro::bench::EnvInt("SETTINGS_BENCH_ANSWERS", 2000);
  std::vector<double> us;
  {
    veltro::platform::PosixClock clock;
    veltro::platform::PosixEventLoop loop;
    veltro::platform::FileSettingsStore store(root, &loop);
    veltro::platform::Platform p;
    p.clock = &clock;
    p.loop = &loop;
    p.settings = &store;
    veltro::detail::Library lib(p);
    auto connector = std::make_unique<veltro::FTDX10_Connector>(lib);
    auto radio = connector->FTDX10_Protocol();
    std::string buf;
    for (auto _ : st) {
      for (int i = 0; i < answers; ++i) {
        // A shift that changes with every answer, so every answer has something new to save.
        buf += "IS00+0" + std::to_string(100 + i % 400) + ";";
        double t = veltro::bench::Seconds();
        radio->ReadBuffer(buf, veltro::kFalse);
        us.push_back((veltro::bench::Seconds() - t) * 1e6);
        loop.Run(1);
      }
    }
    radio.reset();
    connector.reset();
  }
  st.counters["p50_us"] = veltro::bench::Percentile(us, 0.5);
  st.counters["p99_us"] = veltro::bench::Percentile(us, 0.99);
  std::error_code ec;
  fs::remove_all(root, ec);
}
BENCHMARK(BM_IFShiftAnswer)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
