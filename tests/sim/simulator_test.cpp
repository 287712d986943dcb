// The simulator over a real pty, as a client sees it. Every wait is bounded by poll().
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "ftdx10sim/simulator.h"

namespace veltro::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Client {
 public:
  explicit Client(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {}
  ~Client() { Close(); }
  bool ok() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void Send(std::string_view text) {
    ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  // Reads until the text received ends with `until` or the time is up.
  std::string ReadUntil(std::string_view until, std::chrono::milliseconds limit = 2000ms) {
    std::string got;
    const auto deadline = Clock::now() + limit;
    while (got.size() < until.size() ||
           got.compare(got.size() - until.size(), until.size(), until) != 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left <= 0ms) break;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0 || !(p.revents & POLLIN)) break;
      char buf[256];
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

  // Revents seen within the limit (0 when nothing happened).
  short WaitEvents(std::chrono::milliseconds limit) {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(limit.count())) > 0 ? p.revents : 0;
  }

 private:
  int fd_;
};

TEST(SimulatorTest, AnswersOverThePty) {
  Simulator sim;
  sim.Start();
  ASSERT_FALSE(sim.SlavePath().empty());
  Client client(sim.SlavePath());
  ASSERT_TRUE(client.ok());

  client.Send("ID;FA007074000;FA;XX;");
  EXPECT_EQ(client.ReadUntil("?;"), "ID0761;FA007074000;?;");
  EXPECT_EQ(sim.VfoAFreqHz(), 7'074'000);

  // A client that goes away and a new one that comes later are both served.
  client.Close();
  Client again(sim.SlavePath());
  ASSERT_TRUE(again.ok());
  again.Send("MD0;");
  EXPECT_EQ(again.ReadUntil(";"), "MD02;");
}

TEST(SimulatorTest, KnobTurnsAreReportedWithAutoInformation) {
  Simulator sim(SimulatorOptions{Model::kFt891});
  sim.Start();
  Client client(sim.SlavePath());
  client.Send("AI1;ID;");
  ASSERT_EQ(client.ReadUntil("ID0650;"), "ID0650;");

  sim.TurnKnob(2, 100, 5ms);
  EXPECT_EQ(client.ReadUntil("IF001014250200+000000200000;"),
            "FA014250100;IF001014250100+000000200000;"
            "FA014250200;IF001014250200+000000200000;");
  EXPECT_FALSE(sim.KnobTurning());

  EXPECT_TRUE(sim.FrontPanel("MD01"));
  EXPECT_EQ(client.ReadUntil("IF001014250200+000000100000;"), "MD01;IF001014250200+000000100000;");
  EXPECT_FALSE(sim.FrontPanel("MD0Z"));
}

TEST(SimulatorTest, DroppedAnswersLatencyAndGarbage) {
  Simulator sim(SimulatorOptions{Model::kFtdx10, 7});
  sim.Start();
  Client client(sim.SlavePath());

  sim.DropAnswers(1);
  client.Send("FA;FB;");
  EXPECT_EQ(client.ReadUntil("FB007100000;"), "FB007100000;");

  sim.SetLatency(60ms);
  const auto sent = Clock::now();
  client.Send("ID;");
  EXPECT_EQ(client.ReadUntil("ID0761;"), "ID0761;");
  EXPECT_GE(Clock::now() - sent, 60ms);
  sim.SetLatency(0ms);

  // Same seed, same garbage.
  Simulator twin(SimulatorOptions{Model::kFtdx10, 7});
  twin.Start();
  Client twin_client(twin.SlavePath());
  sim.InjectGarbage(16);
  twin.InjectGarbage(16);
  client.Send("ID;");
  twin_client.Send("ID;");
  const std::string got = client.ReadUntil("ID0761;");
  EXPECT_EQ(got.size(), 16u + 7u);
  EXPECT_EQ(got, twin_client.ReadUntil("ID0761;"));
}

TEST(SimulatorTest, SplitAnswersArriveInPiecesAndReassemble) {
  Simulator sim;
  std::atomic<int> writes{0};
  sim.SetTrace([&](TraceDirection d, std::string_view) {
    if (d == TraceDirection::kFromRadio) ++writes;
  });
  sim.SetSplitAnswers(true);
  sim.Start();
  Client client(sim.SlavePath());
  client.Send("IF;");
  EXPECT_EQ(client.ReadUntil("00000;"), "IF001014250000+000000200000;");
  EXPECT_GE(writes.load(), 2);
}

TEST(SimulatorTest, DisconnectHangsUpTheClient) {
  Simulator sim;
  sim.Start();
  Client client(sim.SlavePath());
  client.Send("ID;");
  ASSERT_EQ(client.ReadUntil(";"), "ID0761;");
  sim.Disconnect();
  EXPECT_TRUE(client.WaitEvents(2000ms) & POLLHUP);
  EXPECT_FALSE(sim.Connected());
}

}  // namespace
}  // namespace veltro::sim
