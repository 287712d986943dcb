// Time from an immediate SendCommand to its bytes being readable at the far end of a pty, with
// the termios control and the real event loop. Reports the median and 99th percentile.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "host/library.h"
#include "host/protocol_impl.h"
#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "platform/virtual_platform.h"
#include "veltro/ftdx10.h"

namespace {

using namespace veltro;

void BM_ImmediateSendToPeer(benchmark::State& state) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  grantpt(master);
  unlockpt(master);
  platform::PosixClock clock;
  platform::PosixEventLoop loop;
  platform::VirtualSettingsStore settings;
  platform::Platform p;
  p.clock = &clock;
  p.loop = &loop;
  p.settings = &settings;
  p.make_serial = [&loop] { return platform::MakePosixSerialControl(loop); };
  detail::Library lib(p);
  FTDX10_Connector connector(lib);
  auto radio = connector.FTDX10_Protocol();
  radio->PortDevice(ptsname(master));
  radio->PortSpeed("38400");
  std::string msg;
  if (!radio->SetPort(true, &msg)) {
    state.SkipWithError(msg.c_str());
    return;
  }
  std::vector<double> us;
  char buf[64];
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    VBool q = kFalse;
    radio->impl().SendCommand("FA014250000", q, kTrue);
    std::size_t got = 0;
    pollfd pf{master, POLLIN, 0};
    while (got < 12 && poll(&pf, 1, 1000) == 1) {
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    auto t1 = std::chrono::steady_clock::now();
    us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  std::sort(us.begin(), us.end());
  if (!us.empty()) {
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
  }
  close(master);
}
BENCHMARK(BM_ImmediateSendToPeer)->Iterations(5000);

}  // namespace

BENCHMARK_MAIN();
