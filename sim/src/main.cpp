// ftdx10-sim: serves a simulated radio on a pty until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "ftdx10sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: ftdx10-sim [--model ftdx10|ft891] [--latency-ms N] [--seed N] [--trace]\n"
    "\n"
    "Simulates the radio on a pseudo-terminal and prints the terminal's path on one line.\n"
    "Serves until interrupted (SIGINT or SIGTERM).\n"
    "\n"
    "  --model ftdx10|ft891  radio to answer as (default ftdx10)\n"
    "  --latency-ms N        delay every answer by N milliseconds (default 0)\n"
    "  --seed N              seed of the fault generator (default 1)\n"
    "  --trace               show every byte received and sent on stderr\n"
    "  --help                show this text\n";

std::string Printable(std::string_view bytes) {
  std::string s;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      s += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      s += hex;
    }
  }
  return s;
}

bool ParseNumber(const char* text, long max, long& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 0 || v > max) return false;
  out = v;
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "ftdx10-sim: %s\n%s", message.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using veltro::sim::Model;
  veltro::sim::SimulatorOptions options;
  bool trace = false;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--trace") {
      trace = true;
    } else if (arg == "--model" && has_value) {
      const std::string_view m = argv[++i];
      if (m == "ftdx10") {
        options.model = Model::kFtdx10;
      } else if (m == "ft891") {
        options.model = Model::kFt891;
      } else {
        return Fail("unknown model '" + std::string(m) + "'");
      }
    } else if (arg == "--latency-ms" && has_value) {
      long ms = 0;
      if (!ParseNumber(argv[++i], 60'000, ms)) return Fail("bad --latency-ms value");
      options.latency = std::chrono::milliseconds(ms);
    } else if (arg == "--seed" && has_value) {
      long seed = 0;
      if (!ParseNumber(argv[++i], 0xFFFF'FFFFL, seed)) return Fail("bad --seed value");
      options.seed = static_cast<std::uint32_t>(seed);
    } else {
      return Fail("unknown or incomplete option '" + std::string(arg) + "'");
    }
  }

  // Block the stop signals before the serving thread exists, so only sigwait() below sees them.
  // A shell starts background jobs with SIGINT ignored; an ignored signal never reaches
  // sigwait(), so put the default action back first.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  veltro::sim::Simulator simulator(options);
  if (trace) {
    const auto start = std::chrono::steady_clock::now();
    simulator.SetTrace([start](veltro::sim::TraceDirection direction, std::string_view bytes) {
      const std::chrono::duration<double> t = std::chrono::steady_clock::now() - start;
      const char* arrow = direction == veltro::sim::TraceDirection::kToRadio ? "<-" : "->";
      std::fprintf(stderr, "%10.3f %s %s\n", t.count(), arrow, Printable(bytes).c_str());
    });
  }
  try {
    simulator.Start();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ftdx10-sim: %s\n", e.what());
    return 1;
  }
  std::printf("%s\n", simulator.SlavePath().c_str());
  std::fflush(stdout);

  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  simulator.Stop();
  return 0;
}
