// The command sender on virtual time: framing, pacing, query dropping, the waits, the output-drain
// wait and its timeout, swallowed write errors and the midnight wrap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

TEST(Sender, Framing) {
  const std::pair<const char*, const char*> cases[] = {
      {"FA", "FA;"}, {"FA;", "FA;"},   {" FA; ", "FA;"}, {"FA ", "FA ;"},   {"", ";"},
      {"   ", ";"},  {" F A", "F A;"}, {"FA;;", "FA;;"}, {"FA ; ", "FA ;"}, {"FA\t", "FA\t;"},
  };
  VirtualRig rig;
  rig.OpenPort();
  for (auto [command, written] : cases) {
    VBool q = kFalse;
    rig.impl().SendCommand(command, q, kTrue);
    EXPECT_EQ(rig.TakeWrites(), std::vector<std::string>{written}) << '"' << command << '"';
  }
}

// One send in a scenario: advance the clock, optionally let an answer be parsed, then send.
struct Step {
  int advance_ms;
  bool query;
  bool immediate;
  bool answer_first;
  int written_at;  // virtual ms of the write; -1: dropped
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
  double start_seconds = 1000.0;
};

TEST(Sender, PacingAndDropping) {
  constexpr bool Q = true, O = false, I = true, N = false, A = true;
  const Scenario scenarios[] = {
      {"ordinary commands are spaced 0.1 s and never dropped",
       {{0, O, N, N, 0}, {0, O, N, N, 105}, {1, O, N, N, 206}}},
      {"immediate goes out at once", {{0, O, N, N, 0}, {1, O, I, N, 1}}},
      {"query within the hold-off is dropped", {{0, O, N, N, 0}, {500, Q, N, N, -1}}},
      {"hold-off boundary", {{0, O, N, N, 0}, {990, Q, N, N, -1}, {20, Q, N, N, 1010}}},
      {"query while one is unanswered is dropped; an answer lets the next go",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {200, Q, N, N, -1}, {0, Q, N, A, 1300}}},
      {"the hold-off counts from the last ordinary command, not the last query",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {100, Q, N, A, 1200}}},
      {"queries closer than the query gap are dropped",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {0, Q, N, A, -1}, {2, Q, N, A, 1102}}},
      {"after more than 3 s of quiet a query goes out even if the last was never answered",
       {{0, O, N, N, 0}, {1500, Q, N, N, 1500}, {3000, Q, N, N, -1}, {10, Q, N, N, 4510}}},
      {"an ordinary command behind an unanswered query waits 25 ms more",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {200, O, N, N, 1325}}},
      {"an immediate command behind an unanswered query does not wait",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {200, O, I, N, 1300}}},
      {"an ordinary command after 3 s of quiet does not wait",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {3100, O, N, N, 4200}}},
      {"an ordinary command clears the unanswered query",
       {{0, O, N, N, 0}, {1100, Q, N, N, 1100}, {200, O, N, N, 1325}, {1100, Q, N, N, 2425}}},
      // The clock reads 0.02 s at the second step: the wrap makes the difference large.
      {"the first write after midnight is neither delayed nor dropped",
       {{0, Q, N, N, 0}, {50, Q, N, N, 50}, {0, O, N, N, 155}},
       86399.97},
  };
  for (const auto& sc : scenarios) {
    SCOPED_TRACE(sc.name);
    VirtualRig rig(sc.start_seconds);
    rig.OpenPort();
    auto& serial = rig.serial();
    for (std::size_t i = 0; i < sc.steps.size(); ++i) {
      const Step& st = sc.steps[i];
      rig.vp.Advance(st.advance_ms);
      // What the receive path does after every parsed answer.
      if (st.answer_first) rig.state().QueryPending = kFalse;
      std::size_t before = serial.Writes().size();
      VBool q = st.query ? kTrue : kFalse;
      rig.impl().SendCommand("SM0", q, st.immediate ? kTrue : kFalse);
      const std::size_t writes = serial.Writes().size() - before;
      EXPECT_EQ(writes, st.written_at < 0 ? 0u : 1u) << "step " << i;
      EXPECT_EQ(writes ? serial.Writes().back().ms : -1, st.written_at) << "step " << i;
      EXPECT_EQ(q, writes ? kFalse : kTrue) << "step " << i;  // cleared once it went out
      if (writes) {
        EXPECT_EQ(rig.state().QueryPending, st.query ? kTrue : kFalse) << "step " << i;
      }
    }
  }
}

// With CKBuffer the drain wait sleeps 5 ms, then 10 ms steps, pumping events, then 100 ms more;
// after 0.5 s it discards the output and switches itself off. Without it no wait pumps: the
// polling tick (175 ms) that falls due meanwhile comes after the send.
TEST(Sender, OutputDrainWait) {
  struct Case {
    const char* name;
    bool ck;
    int drain_delay_ms;
    int written_at;  // the first write goes out at 100
    int discards;    // a discard also switches the check off
  } cases[] = {
      {"no check: no pumping", false, 5000, 205, 0},
      {"drains at once: one 5 ms pass", true, 0, 205 + 5, 0},
      {"drains within the wait: then 100 ms more", true, 300, 410 + 100, 0},
      {"never drains: discarded after 0.5 s", true, 5000, 205 + 505, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualRig rig;
    rig.OpenPort();
    rig.radio->CKBuffer(c.ck ? kTrue : kFalse);
    auto& serial = rig.serial();
    serial.drain_delay_ms = c.drain_delay_ms;
    rig.vp.Advance(100);
    VBool q = kFalse;
    rig.impl().SendCommand("AA", q, kTrue);  // immediate: no drain wait, leaves output queued
    int ticks_at_write = -1;
    serial.OnWrite([&](const std::string&) { ticks_at_write = rig.vp.TicksDelivered(); });
    rig.impl().Send("BB");
    ASSERT_EQ(serial.Writes().size(), 2u);
    EXPECT_NEAR(static_cast<double>(serial.Writes()[1].ms), c.written_at, 10);
    EXPECT_EQ(rig.radio->CKBuffer(), c.ck && !c.discards ? kTrue : kFalse);
    EXPECT_EQ(serial.discards, c.discards);
    EXPECT_EQ(ticks_at_write > 0, c.ck);
  }
}

// Answering: closed port no; a write left without any byte back for more than 3 s no (a failed
// write too); any byte (a refusal too) yes again.
TEST(Sender, RadioAnswering) {
  VirtualRig rig;
  EXPECT_EQ(rig.radio->RadioAnswering(), kFalse);
  rig.OpenPort();
  EXPECT_EQ(rig.radio->RadioAnswering(), kTrue);
  rig.impl().Send("FA");
  rig.vp.Advance(3000);
  EXPECT_EQ(rig.radio->RadioAnswering(), kTrue);
  rig.vp.Advance(100);
  EXPECT_EQ(rig.radio->RadioAnswering(), kFalse);
  rig.serial().Feed("?;");
  rig.vp.Advance(0);
  EXPECT_EQ(rig.radio->RadioAnswering(), kTrue);
  rig.serial().fail_writes = true;  // the device has gone: its writes fail
  rig.impl().Send("FA");
  rig.vp.Advance(3100);
  EXPECT_EQ(rig.radio->RadioAnswering(), kFalse);
}

}  // namespace
}  // namespace veltro
