// Properties of the receive path: how the bytes are cut into deliveries never changes the
// outcome, and hostile input from the line never crashes, hangs or grows the buffer.
#include <gtest/gtest.h>

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

// Delivers `stream` through ReadBuffer in pieces cut at `cuts` (sorted positions); returns one
// line with the state afterwards, the Change events, the texts written and the unparsed tail.
std::string Deliver(const std::string& stream, std::vector<std::size_t> cuts) {
  VirtualRig rig;
  rig.OpenPort();
  std::string events, tail, writes;
  rig.radio->AddChangeHandler([&](std::int16_t& st) { events += std::to_string(st); });
  cuts.push_back(stream.size());
  std::size_t from = 0;
  for (std::size_t to : cuts) {
    tail.append(stream, from, to - from);
    rig.radio->ReadBuffer(tail, kFalse);
    from = to;
  }
  // Mode changes ask for width and shift once per call: smaller pieces may ask again.
  const auto texts = rig.serial().Texts();
  for (const auto& t : std::set(texts.begin(), texts.end())) writes += t;
  return rig.Read(
             "Freq TX_Freq VFOA_Freq VFOB_Freq VFO Mode VFOA_Mode VFOB_Mode Reverse DataMode "
             "Split SMeter PTT LockDial Busy MemMode Channel BW IFS StatusChange PreAmp Att "
             "AGC NR IFShift Transceiver AFLevel(0) RFLevel(0)") +
         " events=" + events + " writes=" + writes + " tail=" + tail;
}

TEST(ReceiveProperties, ChunkingNeverChangesTheOutcome) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const std::string stream = Session(seed) + "FA0142";  // ends inside an answer
    const std::string whole = Deliver(stream, {});
    ASSERT_TRUE(whole.ends_with(" tail=FA0142")) << whole;
    ASSERT_EQ(whole.find("events= "), std::string::npos) << "no Change at all";
    std::mt19937 rng(seed * 7919);
    for (int split = 0; split <= 20; ++split) {  // byte by byte first, then random pieces
      std::vector<std::size_t> cuts;
      std::uniform_int_distribution<std::size_t> len(1, split == 0 ? 1 : 40);
      for (std::size_t at = len(rng); at < stream.size(); at += len(rng)) cuts.push_back(at);
      EXPECT_EQ(Deliver(stream, cuts), whole) << seed << '/' << split;
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
  EXPECT_EQ(rig.Read("VFOA_Freq VFOB_Freq TX_Freq Shift"),
            "VFOA_Freq=7.074 VFOB_Freq=21.074 TX_Freq=7.074 Shift=600");
  // The line recovers with the next good answer.
  rig.serial().Feed("FA014250000;");
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
}

}  // namespace
}  // namespace veltro
