// The receive path: framing at ";", the 4096-character cap, the post-answer step with its four
// events in their fixed order, re-entry from Change handlers, and the raw-command pass-through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

class ReadBufferTest : public ::testing::Test {
 protected:
  ReadBufferTest() {
    rig.radio->AddChangeHandler([this](std::int16_t& st) { events.push_back(st); });
    rig.OpenPort();
  }
  // Parses `text` from the host's own buffer (nothing read from the port); returns the tail.
  std::string Parse(std::string text) {
    rig.radio->ReadBuffer(text, kFalse);
    return text;
  }
  // Parses once, then forgets the events and writes of that first answer.
  void Settle(const std::string& text) {
    Parse(text);
    events.clear();
    rig.TakeWrites();
  }
  VirtualRig rig;
  std::vector<std::int16_t> events;
};

TEST_F(ReadBufferTest, KeepsAnIncompleteTailForTheNextCall) {
  std::string buf = "FA014250000;FB0070";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(buf, "FB0070");
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
  buf += "00000;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(buf, "");
  EXPECT_DOUBLE_EQ(rig.radio->VFOB_Freq(), 7.0);
}

TEST_F(ReadBufferTest, BufferCapAppliesToWhatWasRead) {
  // 4096 characters without blanks at the ends are parsed; one more empties the buffer.
  for (std::size_t extra : {0u, 1u}) {
    VirtualRig r;
    r.OpenPort();
    std::string body = "FA014250000;" + std::string(4096 - 13 + extra, 'Z') + "Y";
    std::string buf;  // blanks in front would become part of the first answer
    r.serial().Feed(body + "  ");
    r.radio->ReadBuffer(buf, kTrue);
    if (extra == 0) {
      EXPECT_DOUBLE_EQ(r.radio->VFOA_Freq(), 14.25);
      EXPECT_FALSE(buf.empty());
    } else {
      EXPECT_EQ(r.radio->VFOA_Freq(), 0.0);
      EXPECT_EQ(buf, "");
    }
  }
}

TEST_F(ReadBufferTest, EveryAnswerRunsThePostAnswerStep) {
  Settle("MD02;");
  const char* answers[] = {"FA;", "ZZ123;", "X;", ";", "QQ;", "FA14250000;"};
  for (const char* a : answers) {
    rig.state().QueryPending = kTrue;
    Parse(a);
    EXPECT_EQ(rig.state().QueryPending, kFalse) << a;
  }
  EXPECT_EQ(rig.radio->VFOA_Freq(), 0.0);  // the 10-digit FA is ignored
  EXPECT_TRUE(events.empty());
}

TEST_F(ReadBufferTest, SplitRaisesChangeOneAfterEveryAnswer) {
  Settle("MD02;");
  rig.state().TXVFO = 1;
  Parse("ZZ1;BY00;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{1, 1}));
  EXPECT_EQ(rig.radio->Split(), 1);
}

TEST_F(ReadBufferTest, ModeChangeAsksForWidthAndShiftOnce) {
  Settle("MD02;");
  Parse("MD03;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{1}));
  EXPECT_EQ(rig.TakeWrites(), (std::vector<std::string>{"SH0;", "IS0;"}));
  Parse("MD03;");
  EXPECT_EQ(events.size(), 1u);
  EXPECT_TRUE(rig.TakeWrites().empty());
}

TEST_F(ReadBufferTest, LevelAnswersAlwaysRaiseChangeFour) {
  Settle("MD02;");
  rig.radio->StatusChange(kFalse);
  Parse("AG0128;AG0128;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{4, 4}));
  EXPECT_EQ(rig.radio->StatusChange(), kTrue);
}

TEST_F(ReadBufferTest, AWatchedFieldThatMovedRaisesChangeFourOnce) {
  Settle("MD02;");
  rig.state().Att = 2;
  Parse("BY00;BY00;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{4}));
  rig.state().AutoNF = Variant("7");
  Parse("BY00;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{4, 4}));
}

TEST_F(ReadBufferTest, FourEventsComeInTheirFixedOrder) {
  Settle("MD02;");
  rig.state().TXVFO = 1;
  rig.state().SMeter = 5;
  Parse("MD01;");
  // The answer changed mode; S-meter and level flag were also set: 1 (split), 3, 1 (mode), 4.
  rig.state().TXVFO = 1;
  events.clear();
  rig.state().SMeter = 9;
  rig.state().Vox = 1;
  Parse("MD03;");
  EXPECT_EQ(events, (std::vector<std::int16_t>{1, 3, 1, 4}));
}

TEST_F(ReadBufferTest, AFrequencyChangeAloneRaisesNothing) {
  Settle("MD02;FA007000000;");
  Parse("FA014250000;");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(rig.module().FreqChanged, kTrue);
}

TEST_F(ReadBufferTest, FreqChangedReflectsTheLastAnswerOnly) {
  Settle("MD02;FA007000000;");
  Parse("FA014250000;BY00;");
  EXPECT_EQ(rig.module().FreqChanged, kFalse);
  Parse("BY00;FA007000000;");
  EXPECT_EQ(rig.module().FreqChanged, kTrue);
}

TEST_F(ReadBufferTest, AVFOChangeRestartsTheCurrentVFOSequence) {
  Settle("MD02;");
  auto& timer = *rig.module().panel->tmrPollVFO;
  timer.Enabled(false);
  rig.module().VFOPollStep = 12;
  Parse("VS1;");
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(rig.module().VFOPollStep, 0);
  EXPECT_EQ(rig.module().LastVFO, 1);
}

TEST_F(ReadBufferTest, AMAndFMTakeTheirDefaultWidths) {
  struct Case {
    const char* answer;
    std::int16_t narrow;
    std::int16_t bw;
  };
  const Case cases[] = {
      {"MD05;", 0, 9000}, {"MD05;", 1, 6000}, {"MD04;", 0, 16000}, {"MD04;", 1, 9000}};
  for (const auto& c : cases) {
    rig.state().Property[57] = c.narrow;
    rig.state().IFS = 300;
    Parse(c.answer);
    EXPECT_EQ(rig.radio->BW(), c.bw) << c.answer << " narrow " << c.narrow;
    EXPECT_EQ(rig.radio->IFS(), 0);
  }
  rig.state().IFS = 300;
  Parse("MD02;");
  EXPECT_EQ(rig.radio->IFS(), 300);
}

TEST_F(ReadBufferTest, HandlersMayCallBackIntoTheLibrary) {
  Settle("MD02;");
  std::string seen;
  rig.radio->AddChangeHandler([&](std::int16_t&) {
    seen += std::to_string(rig.radio->Mode());
    std::string nested = "FA021000000;";
    rig.radio->ReadBuffer(nested, kFalse);  // returns at once: a parse is running
    EXPECT_EQ(nested, "FA021000000;");
    std::int16_t state = 4;
    rig.radio->SetPolling(state);  // CAT is off: does nothing, but must not disturb the parse
  });
  std::string buf = "MD03;FA014250000;MD01;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(seen, "20");
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
  EXPECT_EQ(buf, "");
}

TEST_F(ReadBufferTest, RawCommandHoldsParsingAndLeavesCATAnswerEmpty) {
  std::int16_t format = 1;
  rig.radio->SetCommand(format, "FA014250000");
  EXPECT_TRUE(rig.TakeWrites().empty());

  format = 0;
  rig.vp.Advance(2000);
  std::int64_t start = rig.vp.NowMs();
  rig.serial().Feed("FA014250000;");
  rig.radio->SetCommand(format, "FA");
  EXPECT_EQ(rig.TakeWrites(), (std::vector<std::string>{"FA;"}));
  EXPECT_GE(rig.vp.NowMs() - start, 250);
  EXPECT_EQ(rig.radio->CATAnswer(), "");
  EXPECT_EQ(rig.state().RawCommandHold, kFalse);
  EXPECT_EQ(rig.radio->VFOA_Freq(), 0.0);  // still waiting in the port
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
}

TEST_F(ReadBufferTest, TheReceiveEventReadsThePort) {
  rig.serial().FeedAt(10, "FA0142");
  rig.serial().FeedAt(20, "50000;FB00");
  rig.vp.Advance(25);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
  EXPECT_EQ(rig.module().ComBuffer, "FB00");
}

}  // namespace
}  // namespace veltro
