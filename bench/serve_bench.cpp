// `veltro-ftdx10 serve` under the load of ten network clients, against the simulator.
//
// Once the first refresh is over, ten clients each ask f, m and v every 100 ms for
// VELTRO_SERVE_SECONDS (default 20): the latency of each request (send to complete reply) as
// median, 99th percentile and maximum, and the server's CPU time over the wall time in percent
// of one core. Then the time from one step of the simulator's knob to a client's `f` showing
// it, with default polling (serve also has the radio report its changes) and with the radio
// only reporting (--no-poll).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ftdx10sim/simulator.h"
#include "measure.h"

namespace {

using veltro::bench::Percentile;
using veltro::bench::Seconds;

int FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

int Connect(int port) {
  for (int i = 0; i < 100; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      return fd;
    }
    close(fd);
    usleep(100000);
  }
  return -1;
}

// Sends `line` and reads until `lines` line ends came back.
std::string Ask(int fd, const std::string& line, int lines) {
  send(fd, line.data(), line.size(), MSG_NOSIGNAL);
  std::string out;
  char buf[4096];
  while (std::count(out.begin(), out.end(), '\n') < lines) {
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

double CpuSecondsOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string f;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14 || i == 15) ticks += std::stol(f);  // utime, stime
  }
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The tool serving the simulator's pty; `polling` false lets the radio report changes itself.
pid_t StartServer(const veltro::sim::Simulator& sim, int port, bool polling) {
  const std::string listen = "127.0.0.1:" + std::to_string(port);
  pid_t pid = fork();
  if (pid == 0) {
    execl(VELTRO_CLI_PATH, VELTRO_CLI_PATH, "--port", sim.SlavePath().c_str(),
          polling ? "--speed=38400" : "--no-poll", "serve", "--listen", listen.c_str(), "--quiet",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Connects once the first status cycle has filled the cache.
int ConnectFilled(int port) {
  int fd = Connect(port);
  while (Ask(fd, "f\n", 1) == "0\n") usleep(100000);
  return fd;
}

int Stop(pid_t pid) {
  int status = 0;
  kill(pid, SIGTERM);
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Milliseconds from one step of the radio's knob to a client's `f` showing it, ten times.
std::vector<double> KnobFollow(veltro::sim::Simulator& sim, int fd) {
  std::vector<double> follow;
  for (int i = 0; i < 10; ++i) {
    std::string before = Ask(fd, "f\n", 1);
    double t = Seconds();
    sim.TurnKnob(1, 100, std::chrono::milliseconds(1));
    while (Ask(fd, "f\n", 1) == before && Seconds() - t < 10) usleep(2000);
    follow.push_back((Seconds() - t) * 1000);
    usleep(300000);
  }
  return follow;
}

}  // namespace

int main() {
  const int seconds = veltro::bench::EnvInt("VELTRO_SERVE_SECONDS", 20);
  veltro::sim::Simulator sim;
  sim.Start();
  int port = FreePort();
  pid_t server = StartServer(sim, port, true);
  int probe = ConnectFilled(port);
  // The refresh after CAT-on paces its level queries on the server's thread; a server runs for
  // days, so measure after it.
  sleep(10);

  std::mutex mutex;
  std::vector<double> latencies;
  std::atomic<int> failures{0};
  const double cpu0 = CpuSecondsOf(server), start = Seconds();
  std::vector<std::thread> clients;
  for (int i = 0; i < 10; ++i) {
    clients.emplace_back([&, i] {
      int fd = Connect(port);
      std::vector<double> mine;
      usleep(static_cast<useconds_t>(i * 10000));  // spread over the 100 ms
      for (double next = Seconds(); next < start + seconds; next += 0.1) {
        for (auto [line, lines] : {std::pair{"f\n", 1}, {"m\n", 2}, {"v\n", 1}}) {
          double t = Seconds();
          std::string r = Ask(fd, line, lines);
          mine.push_back((Seconds() - t) * 1000);
          if (r.empty() || r.rfind("RPRT", 0) == 0) ++failures;
        }
        double wait = next + 0.1 - Seconds();
        if (wait > 0) usleep(static_cast<useconds_t>(wait * 1e6));
      }
      close(fd);
      std::lock_guard<std::mutex> lock(mutex);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
    });
  }
  for (auto& t : clients) t.join();
  const double cpu = (CpuSecondsOf(server) - cpu0) / (Seconds() - start) * 100;
  std::printf("10 clients asking f, m, v every 100 ms for %d s: %zu requests, %d failed\n", seconds,
              latencies.size(), failures.load());
  std::printf("  request latency: median %.3f ms, p99 %.3f ms, max %.3f ms (target p99 < 1 ms)\n",
              Percentile(latencies, 0.5), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
  std::printf("  server CPU: %.2f %% of one core (target < 1 %%)\n", cpu);

  for (bool polling : {true, false}) {
    if (!polling) {
      close(probe);
      std::printf("server stopped on SIGTERM with exit status %d\n", Stop(server));
      port = FreePort();
      server = StartServer(sim, port, false);
      probe = ConnectFilled(port);
    }
    std::vector<double> follow = KnobFollow(sim, probe);
    std::printf("knob to client `f`, %s: median %.0f ms, max %.0f ms (target < 250 ms)\n",
                polling ? "default polling and reports" : "--no-poll (the radio reports)",
                Percentile(follow, 0.5), Percentile(follow, 1.0));
  }
  close(probe);
  Stop(server);
  return 0;
}
