// The receive path: framing at ";", the 4096-character cap, the post-answer step with its four
// events in their fixed order, re-entry from Change handlers, and the raw-command pass-through.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;
using Events = std::vector<std::int16_t>;
using Texts = std::vector<std::string>;

class ReadBufferTest : public ::testing::Test {
 protected:
  ReadBufferTest() {
    rig.radio->AddChangeHandler([this](std::int16_t& st) { events.push_back(st); });
    rig.OpenPort();
    Settle("MD02;FA007000000;");
  }
  // Parses `text` from the host's own buffer (nothing read from the port); returns the tail.
  std::string Parse(std::string text) {
    rig.radio->ReadBuffer(text, kFalse);
    return text;
  }
  // Parses, then forgets the events and writes of those answers.
  void Settle(const std::string& text) {
    Parse(text);
    events.clear();
    rig.TakeWrites();
    rig.radio->StatusChange(kFalse);
  }
  VirtualRig rig;
  Events events;
};

TEST(ReadBuffer, TheCapAppliesToWhatWasRead) {
  // 4096 characters without the blanks at the end are parsed; one more empties the buffer.
  for (std::size_t extra : {0u, 1u}) {
    VirtualRig r;
    r.OpenPort();
    std::string buf;
    r.serial().Feed("FA014250000;" + std::string(4096 - 13 + extra, 'Z') + "Y  ");
    r.radio->ReadBuffer(buf, kTrue);
    EXPECT_EQ(r.radio->VFOA_Freq(), extra ? 0.0 : 14.25) << extra;
    EXPECT_EQ(buf.empty(), extra == 1) << extra;
  }
}

TEST_F(ReadBufferTest, ChangeEventsAndTheirOrder) {
  struct Case {
    const char* answers;
    Events events;
    Texts writes;
    bool moved;  // FreqChanged afterwards: set by the last answer alone
    std::function<void(detail::RadioState&)> before = nullptr;
  };
  const Case cases[] = {
      // Unknown, short and malformed answers store nothing, yet still end the wait for an answer.
      {"FA;ZZ123;X;QQ;FA14250000;;", {}, {}, false},
      // Split: after every answer, even an ignored one.
      {"ZZ1;BY00;", {1, 1}, {}, false, [](auto& s) { s.TXVFO = 1; }},
      // A new mode asks for width and shift; such read requests go out once per call.
      {"MD03;MD02;MD03;", {1, 1, 1}, {"SH0;", "IS0;"}, false},
      // A watched field that moved raises 4 once, even one that holds a host's text.
      {"BY00;", {4}, {}, false, [](auto& s) { s.AutoNF = Variant("7"); }},
      // All four in their fixed order.
      {"MD03;",
       {1, 3, 1, 4},
       {"SH0;", "IS0;"},
       false,
       [](auto& s) { s.TXVFO = s.Vox = 1, s.SMeter = 9; }},
      // A frequency change alone raises nothing.
      {"FA014250000;", {}, {}, true},
      {"FA014250000;BY00;", {}, {}, false},
      {"BY00;FA014250000;", {}, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    if (c.before) c.before(rig.state());
    rig.state().QueryPending = kTrue;
    Parse(c.answers);
    EXPECT_EQ(rig.state().QueryPending, kFalse);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(rig.TakeWrites(), c.writes);
    EXPECT_EQ(rig.module().FreqChanged, c.moved ? kTrue : kFalse);
    bool four = std::find(c.events.begin(), c.events.end(), 4) != c.events.end();
    EXPECT_EQ(rig.radio->StatusChange(), four ? kTrue : kFalse);
    // Undo what the case set up so the next one starts from the same state.
    rig.state().TXVFO = 0, rig.state().Vox = 0, rig.state().AutoNF = Variant();
    Settle("MD02;FA007000000;SM0000;");
  }
}

TEST_F(ReadBufferTest, AVFOChangeRestartsTheCurrentVFOSequence) {
  auto& timer = *rig.module().panel->tmrPollVFO;
  timer.Enabled(false);
  rig.module().VFOPollStep = 12;
  Parse("VS1;");
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(rig.module().VFOPollStep, 0);
  timer.Enabled(false);
  Parse("BY00;");
  EXPECT_FALSE(timer.Enabled());  // only a change restarts it
}

TEST_F(ReadBufferTest, HandlersMayCallBackIntoTheLibrary) {
  std::string seen;
  rig.radio->AddChangeHandler([&](std::int16_t&) {
    seen += std::to_string(rig.radio->Mode());
    std::string nested = "FA021000000;";
    rig.radio->ReadBuffer(nested, kFalse);  // returns at once: a parse is running
    EXPECT_EQ(nested, "FA021000000;");
  });
  EXPECT_EQ(Parse("MD03;FA014250000;MD01;"), "");
  EXPECT_EQ(seen, "20");
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);
}

TEST_F(ReadBufferTest, RawCommandHoldsParsingAndLeavesCATAnswerEmpty) {
  std::int16_t format = 1;
  rig.radio->SetCommand(format, "FA014250000");
  EXPECT_TRUE(rig.TakeWrites().empty());

  format = 0;
  rig.vp.Advance(6000);  // past the current-VFO sequence that the first answers started
  rig.TakeWrites();
  std::int64_t start = rig.vp.NowMs();
  rig.serial().Feed("FA014250000;");
  rig.radio->SetCommand(format, "FA");
  EXPECT_EQ(rig.TakeWrites(), (Texts{"FA;"}));
  EXPECT_GE(rig.vp.NowMs() - start, 250);
  EXPECT_EQ(rig.radio->CATAnswer(), "");
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 7.0);  // still waiting in the port
  rig.vp.Advance(1);
  EXPECT_DOUBLE_EQ(rig.radio->VFOA_Freq(), 14.25);  // parsed once the hold is released
  // Nothing written, nothing to wait for, even right after another command.
  rig.radio->SetRITClear();
  rig.module().SendSuspended = kTrue;
  start = rig.vp.NowMs();
  rig.radio->SetCommand(format, "FA");
  EXPECT_EQ(rig.vp.NowMs(), start);
}

}  // namespace
}  // namespace veltro
