// Properties of the receive path: how the bytes are cut into deliveries never changes the
// outcome, and hostile input from the line never crashes, hangs or grows the buffer.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

// A session's worth of answers: tuning, mode changes, VFO swaps, split, levels, junk.
std::string Session(std::uint32_t seed) {
  static const char* kAnswers[] = {
      "FA014250000;",
      "FB007100000;",
      "MD02;",
      "MD03;",
      "MD0C;",
      "VS1;",
      "VS0;",
      "FT1;",
      "FT0;",
      "SM0045;",
      "SM0012;",
      "AG0128;",
      "RG0200;",
      "NR01;",
      "RL005;",
      "BY01;",
      "BY00;",
      "TX1;",
      "TX0;",
      "LK1;",
      "IF001014250000+000000200000;",
      "OI001007100000+000000100000;",
      "?;",
      "ZZ;",
      ";",
      "PA01;",
      "RA02;",
      "GT03;",
      "IS0+0300;",
      "EX0103170100;",
      "ID0761;",
      "AI0;",
  };
  std::mt19937 rng(seed);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kAnswers) - 1);
  std::string out;
  for (int i = 0; i < 400; ++i) out += kAnswers[pick(rng)];
  return out;
}

struct Outcome {
  std::string state;
  std::vector<std::int16_t> events;
  std::vector<std::string> writes;
  std::string tail;
};

std::string Snapshot(FTDX10_Protocol& r) {
  std::ostringstream s;
  s << r.Freq() << ' ' << r.TX_Freq() << ' ' << r.VFOA_Freq() << ' ' << r.VFOB_Freq() << ' '
    << r.VFO() << ' ' << r.Mode() << ' ' << r.VFOA_Mode() << ' ' << r.VFOB_Mode() << ' '
    << r.Reverse() << ' ' << r.DataMode() << ' ' << r.Split() << ' ' << r.SMeter() << ' ' << r.PTT()
    << ' ' << r.LockDial() << ' ' << r.Busy() << ' ' << r.MemMode() << ' ' << r.Channel() << ' '
    << r.BW() << ' ' << r.IFS() << ' ' << r.StatusChange() << ' ' << r.PreAmp() << ' ' << r.Att()
    << ' ' << r.AGC() << ' ' << r.NR() << ' ' << r.IFShift() << ' '
    << r.AFLevel(Variant(std::int16_t{0})) << ' ' << r.RFLevel(Variant(std::int16_t{0}));
  return s.str();
}

// Delivers `stream` in pieces cut at `cuts` (sorted positions), each piece through ReadBuffer.
Outcome Deliver(const std::string& stream, const std::vector<std::size_t>& cuts) {
  VirtualRig rig;
  rig.OpenPort();
  Outcome out;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { out.events.push_back(st); });
  std::string buf;
  std::size_t from = 0;
  auto feed = [&](std::size_t to) {
    buf.append(stream, from, to - from);
    rig.radio->ReadBuffer(buf, kFalse);
    from = to;
  };
  for (std::size_t c : cuts) feed(c);
  feed(stream.size());
  out.state = Snapshot(*rig.radio);
  out.writes = rig.serial().Texts();
  out.tail = buf;
  return out;
}

TEST(ReceiveProperties, ChunkingNeverChangesTheOutcome) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    std::string stream = Session(seed) + "FA0142";  // ends inside an answer
    Outcome whole = Deliver(stream, {});
    ASSERT_FALSE(whole.events.empty());
    EXPECT_EQ(whole.tail, "FA0142");

    std::vector<std::size_t> every;
    for (std::size_t i = 1; i < stream.size(); ++i) every.push_back(i);
    Outcome bytewise = Deliver(stream, every);
    EXPECT_EQ(bytewise.state, whole.state) << seed;
    EXPECT_EQ(bytewise.events, whole.events) << seed;
    EXPECT_EQ(bytewise.writes, whole.writes) << seed;
    EXPECT_EQ(bytewise.tail, whole.tail);

    std::mt19937 rng(seed * 7919);
    for (int split = 0; split < 20; ++split) {
      std::vector<std::size_t> cuts;
      std::uniform_int_distribution<std::size_t> len(1, 40);
      for (std::size_t at = len(rng); at < stream.size(); at += len(rng)) cuts.push_back(at);
      Outcome random = Deliver(stream, cuts);
      EXPECT_EQ(random.state, whole.state) << seed << '/' << split;
      EXPECT_EQ(random.events, whole.events) << seed << '/' << split;
      EXPECT_EQ(random.writes, whole.writes) << seed << '/' << split;
    }
  }
}

TEST(ReceiveProperties, ThePortPathMatchesTheHostPath) {
  std::string stream = Session(42);
  Outcome direct = Deliver(stream, {});
  VirtualRig rig;
  rig.OpenPort();
  std::vector<std::int16_t> events;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { events.push_back(st); });
  for (std::size_t at = 0, n = 1; at < stream.size(); at += n, n = n % 13 + 1) {
    rig.serial().FeedAt(static_cast<std::int64_t>(at), stream.substr(at, n));
  }
  // Delivered as receive events, with the timers of the control panel running meanwhile.
  rig.vp.Advance(static_cast<std::int64_t>(stream.size()) + 10);
  EXPECT_EQ(events, direct.events);
}

TEST(ReceiveRobustness, HostileBytesFromTheLine) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> byte(0, 255);
  VirtualRig rig;
  rig.OpenPort();
  for (int round = 0; round < 200; ++round) {
    std::string chunk;
    for (int i = 0; i < 512; ++i) {
      int b = byte(rng);
      chunk += static_cast<char>(b == ';' && round % 2 ? 'x' : b);
    }
    rig.serial().Feed(chunk);
    rig.vp.Advance(1);
    EXPECT_LE(rig.module().ComBuffer.size(), 4096u + 512u);
  }
  // Overlong numbers and odd lengths in every field.
  const std::string digits(3000, '9');
  for (const char* code : {"FA", "FB", "IF", "OI", "MD", "VS", "FT", "TX", "LK", "BY",
                           "AI", "AG", "SM", "EX", "ID", "RM", "CT", "CN", "CO", "IS"}) {
    std::string a = std::string(code) + digits + ";" + code + "-" + digits + ";" + code +
                    std::string("\0\x80\xff", 3) + ";" + code + "1e999;" + code + "0.5;";
    rig.serial().Feed(a);
    rig.vp.Advance(1);
  }
  EXPECT_EQ(rig.module().ParserBusy, false);
  // Nothing stored is lost: the line recovers with the next good answer.
  rig.serial().Feed(";FA007074000;");
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 7.074);
}

TEST(ReceiveRobustness, AnEndlessStreamWithoutTerminatorStaysBounded) {
  VirtualRig rig;
  rig.OpenPort();
  const std::string chunk(64 * 1024, 'A');
  std::size_t most = 0;
  for (int i = 0; i < 160; ++i) {  // 10 MB
    rig.serial().Feed(chunk);
    rig.vp.Advance(1);
    most = std::max(most, rig.module().ComBuffer.capacity());
  }
  EXPECT_EQ(rig.module().ComBuffer.size(), 0u);
  EXPECT_LE(most, 4 * chunk.size());
  // The line recovers at once.
  rig.serial().Feed("FA014250000;");
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
}

}  // namespace
}  // namespace veltro
