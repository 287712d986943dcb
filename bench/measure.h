// Small pieces the benchmarks share; the rigs they measure are the tests' (support/real_rig.h).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace veltro::bench {

inline double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The value below which `fraction` of the samples lie.
inline double Percentile(std::vector<double> v, double fraction) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  std::size_t i = static_cast<std::size_t>(fraction * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

// A whole-number setting from the environment, for runs shorter than the default.
inline int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  int n = std::atoi(v);
  return n > 0 ? n : fallback;
}

}  // namespace veltro::bench
