// The simulator over a real pty, as a client sees it: answers, auto-information reports and the
// faults it makes on request (a hang-up is seen by the tool in cli_test). Every wait is bounded by
// a generous deadline.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

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
    char buf[256];
    for (auto deadline = Clock::now() + 5s; !got.ends_with(until) && Clock::now() < deadline;) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 100) != 1) continue;
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
  int fd;
};

TEST(SimulatorTest, ServesThePtyReportsChangesAndMakesFaults) {
  Simulator sim(SimulatorOptions{Model::kFt891});
  sim.Start();
  {
    Client client(sim);
    ASSERT_GE(client.fd, 0);
    EXPECT_EQ(client.Ask("ID;FA007074000;FA;XX;", "?;"), "ID0650;FA007074000;?;");
    EXPECT_EQ(sim.VfoAFreqHz(), 7'074'000);
  }
  // A client that went away and a new one that comes later are both served.
  Client client(sim);
  ASSERT_EQ(client.Ask("AI1;MD0;", ";"), "MD02;");
  sim.TurnKnob(2, 100, 5ms);
  EXPECT_EQ(client.Ask("", "IF001007074200+000000200000;"),
            "FA007074100;IF001007074100+000000200000;FA007074200;IF001007074200+000000200000;");
  EXPECT_TRUE(sim.FrontPanel("MD01"));
  EXPECT_EQ(client.Ask("", "00000;"), "MD01;IF001007074200+000000100000;");
  EXPECT_FALSE(sim.FrontPanel("MD0Z"));

  sim.DropAnswers(1);
  sim.SetLatency(60ms);
  const auto sent = Clock::now();
  EXPECT_EQ(client.Ask("FA;ID;", "ID0650;"), "ID0650;");
  EXPECT_GE(Clock::now() - sent, 60ms);
  sim.SetLatency(0ms);
  sim.InjectGarbage(16);
  EXPECT_EQ(client.Ask("ID;", "ID0650;").size(), 16u + 7u);
}

}  // namespace
}  // namespace veltro::sim
