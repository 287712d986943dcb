// The simulator over a real pty, as a client sees it: answers, auto-information reports, the
// faults it makes on request, and a hang-up. Every wait is bounded by a generous deadline.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "ftdx10sim/simulator.h"

namespace veltro::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Client {
  explicit Client(const Simulator& sim) : fd(::open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY)) {}
  ~Client() { ::close(fd); }

  // Sends `text` and reads until what came back ends with `until` or 5 s have passed.
  std::string Ask(std::string_view text, std::string_view until) {
    EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    std::string got;
    const auto deadline = Clock::now() + 5s;
    pollfd p{fd, POLLIN, 0};
    char buf[256];
    while (!got.ends_with(until) && Clock::now() < deadline && ::poll(&p, 1, 100) >= 0) {
      if (!(p.revents & POLLIN)) continue;
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
  int fd;
};

TEST(SimulatorTest, AnswersEveryClientOverThePtyUntilItHangsUp) {
  Simulator sim;
  sim.Start();
  {
    Client client(sim);
    ASSERT_GE(client.fd, 0);
    EXPECT_EQ(client.Ask("ID;FA007074000;FA;XX;", "?;"), "ID0761;FA007074000;?;");
    EXPECT_EQ(sim.VfoAFreqHz(), 7'074'000);
  }
  // A client that went away and a new one that comes later are both served.
  Client client(sim);
  EXPECT_EQ(client.Ask("MD0;", ";"), "MD02;");
  sim.Disconnect();
  pollfd p{client.fd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 5000), 1);
  EXPECT_TRUE(p.revents & POLLHUP);
  EXPECT_FALSE(sim.Connected());
}

TEST(SimulatorTest, KnobAndFrontPanelAreReportedWithAutoInformation) {
  Simulator sim(SimulatorOptions{Model::kFt891});
  sim.Start();
  Client client(sim);
  ASSERT_EQ(client.Ask("AI1;ID;", "ID0650;"), "ID0650;");
  sim.TurnKnob(2, 100, 5ms);
  EXPECT_EQ(client.Ask("", "IF001014250200+000000200000;"),
            "FA014250100;IF001014250100+000000200000;FA014250200;IF001014250200+000000200000;");
  EXPECT_TRUE(sim.FrontPanel("MD01"));
  EXPECT_EQ(client.Ask("", "00000;"), "MD01;IF001014250200+000000100000;");
  EXPECT_FALSE(sim.FrontPanel("MD0Z"));
}

TEST(SimulatorTest, DroppedSplitLateAndRepeatableGarbageAnswers) {
  Simulator sim(SimulatorOptions{Model::kFtdx10, 7}), twin(SimulatorOptions{Model::kFtdx10, 7});
  std::atomic<int> writes{0};
  sim.SetTrace(
      [&](TraceDirection d, std::string_view) { writes += d == TraceDirection::kFromRadio; });
  sim.Start();
  twin.Start();
  Client client(sim), twin_client(twin);
  sim.DropAnswers(1);
  EXPECT_EQ(client.Ask("FA;FB;", "FB007100000;"), "FB007100000;");

  sim.SetLatency(60ms);
  const auto sent = Clock::now();
  EXPECT_EQ(client.Ask("ID;", ";"), "ID0761;");
  EXPECT_GE(Clock::now() - sent, 60ms);
  sim.SetLatency(0ms);

  sim.InjectGarbage(16);
  twin.InjectGarbage(16);
  const std::string got = client.Ask("ID;", "ID0761;");
  EXPECT_EQ(got.size(), 16u + 7u);
  EXPECT_EQ(got, twin_client.Ask("ID;", "ID0761;"));  // same seed, same bytes

  // Last, as the split points come from the same seed. The trace runs after each write, so the
  // count may trail what the client has read.
  sim.SetSplitAnswers(true);
  const int before = writes.load();
  EXPECT_EQ(client.Ask("IF;", ";"), "IF001014250000+000000200000;");
  const auto deadline = Clock::now() + 5s;
  while (writes.load() < before + 2 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_GE(writes.load(), before + 2);
}

}  // namespace
}  // namespace veltro::sim
