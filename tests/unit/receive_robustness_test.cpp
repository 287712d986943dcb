// Properties of the receive path: how the bytes are cut into deliveries never changes the
// outcome, and hostile input from the line never crashes, hangs or grows the buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

// A session's worth of answers: tuning, mode changes, VFO swaps, split, levels, junk.
std::string Session(std::uint32_t seed) {
  // One answer per ";", the empty answer included.
  static const std::string kAnswers =
      "FA014250000;FB007100000;MD02;MD03;MD0C;VS1;VS0;FT1;FT0;SM0045;SM0012;AG0128;RG0200;NR01;"
      "RL005;BY01;BY00;TX1;TX0;LK1;IF001014250000+000000200000;OI001007100000+000000100000;?;ZZ;;"
      "PA01;RA02;GT03;IS0+0300;EX0103170100;ID0761;AI0;";
  std::vector<std::string> answers;
  for (std::size_t at = 0, end; (end = kAnswers.find(';', at)) != std::string::npos; at = end + 1)
    answers.push_back(kAnswers.substr(at, end - at + 1));
  std::mt19937 rng(seed);
  std::uniform_int_distribution<std::size_t> pick(0, answers.size() - 1);
  std::string out;
  for (int i = 0; i < 400; ++i) out += answers[pick(rng)];
  return out;
}

struct Outcome {
  std::string state;
  std::vector<std::int16_t> events;
  std::vector<std::string> writes;
  std::string tail;
};

std::string Snapshot(VirtualRig& rig) {
  return rig.Read(
             "Freq TX_Freq VFOA_Freq VFOB_Freq VFO Mode VFOA_Mode VFOB_Mode Reverse DataMode Split "
             "SMeter PTT LockDial Busy MemMode Channel BW IFS StatusChange PreAmp Att AGC NR "
             "IFShift Transceiver") +
         ' ' + std::to_string(rig.state().AFLevel[0]) + ' ' +
         std::to_string(rig.state().RFLevel[0]);
}

// Delivers `stream` in pieces cut at `cuts` (sorted positions), each piece through ReadBuffer,
// or else as receive events, one piece a millisecond, with the control panel's timers running.
Outcome Deliver(const std::string& stream, const std::vector<std::size_t>& cuts,
                bool through_port = false) {
  VirtualRig rig;
  rig.OpenPort();
  Outcome out;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { out.events.push_back(st); });
  std::string buf;
  std::size_t from = 0;
  auto feed = [&](std::size_t to) {
    if (through_port) {
      rig.serial().FeedAt(static_cast<std::int64_t>(from), stream.substr(from, to - from));
    } else {
      buf.append(stream, from, to - from);
      rig.radio->ReadBuffer(buf, kFalse);
    }
    from = to;
  };
  for (std::size_t c : cuts) feed(c);
  feed(stream.size());
  if (through_port) rig.vp.Advance(static_cast<std::int64_t>(stream.size()) + 10);
  out.state = Snapshot(rig);
  out.writes = rig.serial().Texts();
  out.tail = through_port ? rig.module().ComBuffer : buf;
  return out;
}

TEST(ReceiveProperties, ChunkingNeverChangesTheOutcome) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    std::string stream = Session(seed) + "FA0142";  // ends inside an answer
    Outcome whole = Deliver(stream, {});
    ASSERT_FALSE(whole.events.empty());
    ASSERT_EQ(whole.tail, "FA0142");
    std::mt19937 rng(seed * 7919);
    for (int split = 0; split <= 20; ++split) {  // byte by byte first, then random pieces
      std::vector<std::size_t> cuts;
      std::uniform_int_distribution<std::size_t> len(1, split == 0 ? 1 : 40);
      for (std::size_t at = len(rng); at < stream.size(); at += len(rng)) cuts.push_back(at);
      const bool port = split == 1;  // the receive event's path
      Outcome part = Deliver(stream, cuts, port);
      EXPECT_EQ(part.state, whole.state) << seed << '/' << split;
      EXPECT_EQ(part.events, whole.events) << seed << '/' << split;
      EXPECT_EQ(part.tail, whole.tail) << seed << '/' << split;
      if (port) continue;  // its timers may ask for more meanwhile
      // Mode changes ask for width and shift once per call: smaller pieces may ask again.
      EXPECT_EQ(std::set(part.writes.begin(), part.writes.end()),
                std::set(whole.writes.begin(), whole.writes.end()))
          << seed << '/' << split;
    }
  }
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
  // An endless stream without a terminator (10 MB) is dropped as it comes.
  const std::string endless(64 * 1024, 'A');
  std::size_t most = 0;
  for (int i = 0; i < 160; ++i) {
    rig.serial().Feed(endless);
    rig.vp.Advance(1);
    most = std::max(most, rig.module().ComBuffer.capacity());
  }
  EXPECT_EQ(rig.module().ComBuffer.size(), 0u);
  EXPECT_LE(most, 4 * endless.size());
  // Overlong numbers, overflowing exponents and odd lengths in every field: the values stored
  // before survive.
  rig.serial().Feed(
      ";FA007074000;FB021074000;EX0103170600;EX0103179e99;IF0051e9999999+000000300000;");
  rig.vp.Advance(1);
  const std::string digits(3000, '9');
  for (const char* code : {"FA", "FB", "IF", "OI", "MD", "VS", "FT", "TX", "LK", "BY",
                           "AI", "AG", "SM", "EX", "ID", "RM", "CT", "CN", "CO", "IS"}) {
    std::string a = std::string(code) + digits + ";" + code + "-" + digits + ";" + code +
                    std::string("\0\x80\xff", 3) + ";" + code + "1e999;" + code + "0.5;" + code +
                    "1e9999999;";
    rig.serial().Feed(a);
    rig.vp.Advance(1);
  }
  EXPECT_EQ(rig.module().ParserBusy, false);
  EXPECT_EQ(rig.Read("VFOA_Freq VFOB_Freq TX_Freq Shift"),
            "VFOA_Freq=7.074 VFOB_Freq=21.074 TX_Freq=7.074 Shift=600");
  // The line recovers with the next good answer.
  rig.serial().Feed("FA014250000;");
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
}

TEST(ReceiveRobustness, ABurstOfAnswersThatAskForMoreHoldsTheThreadBriefly) {
  VirtualRig rig;
  rig.OpenPort();
  std::string burst;
  for (int i = 0; burst.size() < 4090; ++i) burst += i % 2 ? "MD02;CT01;" : "MD03;CT02;";
  const std::int64_t start = rig.vp.NowMs();
  rig.radio->ReadBuffer(burst, kFalse);
  EXPECT_LE(rig.vp.NowMs() - start, 350);  // one paced width, shift and tone read for all of it
}

}  // namespace
}  // namespace veltro
