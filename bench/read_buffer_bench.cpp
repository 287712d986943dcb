// Throughput of the receive path: a realistic answer mix, parsed through ReadBuffer in pieces of
// the size a serial driver delivers, with and without a Change handler.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/virtual_platform.h"
#include "support/virtual_rig.h"

namespace {

std::string AnswerMix() {
  std::string s;
  for (int i = 0; i < 100; ++i) {
    s += "FA0142" + std::to_string(10000 + i * 10) + ";";
    s += "SM00" + std::to_string(10 + i % 50) + ";";
    s += "IF001014250000+000000200000;";
    s += i % 10 ? "BY00;" : "MD03;";
    s += "AG0128;RG0255;";
  }
  return s;
}

void BM_ReadBuffer(benchmark::State& st) {
  veltro::testing::VirtualRig rig;
  const std::string mix = AnswerMix();
  const std::size_t piece = static_cast<std::size_t>(st.range(0));
  int events = 0;
  if (st.range(1)) rig.radio->AddChangeHandler([&](std::int16_t&) { ++events; });
  std::string buf;
  for (auto _ : st) {
    for (std::size_t at = 0; at < mix.size(); at += piece) {
      buf.append(mix, at, piece);
      rig.radio->ReadBuffer(buf, veltro::kFalse);
    }
  }
  st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * mix.size()));
  st.counters["answers/s"] =
      benchmark::Counter(static_cast<double>(st.iterations()) * 600, benchmark::Counter::kIsRate);
  benchmark::DoNotOptimize(events);
}
BENCHMARK(BM_ReadBuffer)->Args({1, 0})->Args({32, 0})->Args({4096, 0})->Args({32, 1});

void BM_GarbageWithoutTerminator(benchmark::State& st) {
  veltro::testing::VirtualRig rig;
  rig.OpenPort();
  const std::string chunk(4096, 'A');
  for (auto _ : st) {
    rig.serial().Feed(chunk);
    rig.vp.Advance(1);
  }
  st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * chunk.size()));
}
BENCHMARK(BM_GarbageWithoutTerminator);

}  // namespace

BENCHMARK_MAIN();
