// The master tick, SetPolling, SetCAT, SetRefresh and the two query sequences, on virtual time
// with recorded writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

class PollingTest : public ::testing::Test {
 protected:
  PollingTest() { rig.OpenPort(); }
  void CatOn(std::int16_t cat = 1) { rig.radio->SetCAT(cat); }
  // The texts written since the last call, run together.
  std::string Sent() {
    std::string all;
    for (const auto& t : rig.TakeWrites()) all += t;
    return all;
  }
  int Count(const std::string& text) {
    auto t = rig.serial().Texts();
    return static_cast<int>(std::count(t.begin(), t.end(), text));
  }
  std::string Polled(std::int16_t state) {
    rig.radio->SetPolling(state);
    return Sent();
  }
  VirtualRig rig;
  detail::Module& m = rig.module();
  detail::RadioState& s = rig.state();
};

TEST_F(PollingTest, SetCATSendsIdentityThenTheAutoInformationSettingWhileThePortIsOpen) {
  // The radio reports by itself unless the library only polls; without polling the levels run.
  for (auto [polling, reports, sent] : {std::tuple{kTrue, kFalse, "ID;AI0;"},
                                        {kTrue, kTrue, "ID;AI1;"},
                                        {kFalse, kFalse, "ID;AI1;"}}) {
    rig.radio->AutoPolling(polling);
    rig.radio->ReportChanges(reports);
    CatOn();
    EXPECT_EQ(Sent(), sent);
    EXPECT_TRUE(m.RefreshPending && m.AFQueryPending);
    EXPECT_EQ(m.panel->tmrStart->Enabled() && m.panel->tmrLevels->Enabled(), !polling);
  }
  // Without polling the start timer refreshes once, 5 s on, and sends the setting again.
  rig.vp.Advance(4990);
  EXPECT_EQ(Count("AI1;"), 0);
  rig.vp.Advance(20000);
  EXPECT_EQ(Count("AI1;"), 1);
  EXPECT_FALSE(m.panel->tmrStart->Enabled());
  Sent();
  CatOn(0);
  EXPECT_EQ(Sent(), "AI0;");
  std::int16_t other = 7;
  EXPECT_EQ(rig.radio->SetCAT(other) + rig.radio->CAT(), 6);
  EXPECT_EQ(Sent(), "");
  // With the port closed CAT stays off and nothing is ever sent.
  rig.radio->SetPort(false);
  EXPECT_EQ(rig.radio->SetCAT(1), 0);
  EXPECT_EQ(rig.radio->CAT(), 0);
  m.RefreshPending = kFalse;
  rig.radio->SetRefresh();
  for (std::int16_t st = 0; st <= 4; ++st) rig.radio->SetPolling(st);
  rig.vp.Advance(2000);
  EXPECT_EQ(Sent(), "");
  EXPECT_EQ(m.RefreshPending, kFalse);
}

TEST_F(PollingTest, TheRefreshRunsTheFullStatusCycleOneQueryPerAnswer) {
  // Each text is answered a little later: "AI;" with the setting, the others harmlessly.
  rig.serial().OnWrite(
      [this](const std::string& t) { rig.serial().FeedAt(20, t == "AI;" ? "AI0;" : "ZZ0;"); });
  CatOn();
  rig.vp.Advance(8000);
  const std::string sent = Sent();
  // The first answer after opening reports the mode as new: width and shift are read first.
  EXPECT_TRUE(sent.starts_with("ID;AI0;SH0;IS0;FA;FB;IF;ST;OI;TX;AC;VS;")) << sent;
  EXPECT_GT(sent.find("AG0;"), sent.find("VS;"));  // the one AG0 query waits for the cycle
  EXPECT_EQ(m.RefreshPending, kFalse);
  // A refresh asked for while a level sequence runs: the cycle runs, then the sequence ends.
  rig.vp.Advance(20000);
  rig.radio->PollLevels();
  rig.vp.Advance(200 * 5);
  m.FreqChanged = kTrue, m.PollToggle = 1, s.PollStep = 5;
  Sent();
  rig.radio->SetRefresh();
  EXPECT_EQ(Sent(), "");  // polling on: no AI1, and the level sequence is left alone
  EXPECT_EQ(m.FreqChanged, kFalse);
  EXPECT_EQ(m.PollToggle + s.PollStep, 0);  // the cycle starts afresh
  rig.vp.Advance(30000);
  const std::string later = Sent();
  EXPECT_TRUE(m.RefreshPending == kFalse && m.LevelPollStep == 0);
  EXPECT_NE(later.find("VS;"), std::string::npos);    // the status cycle ran
  EXPECT_NE(later.find("CO03;"), std::string::npos);  // the level sequence ended
}

TEST_F(PollingTest, RoutineTicksAlternateAStatusStepWithTheSMeter) {
  CatOn();
  m.RefreshPending = m.AFQueryPending = kFalse;
  rig.vp.Advance(3000);  // past the hold-off of the last ordinary command
  s.PollStep = m.PollToggle = 0;
  Sent();
  std::string seen;
  for (int i = 0; i < 4; ++i) {
    s.QueryPending = kFalse;  // as if each query had been answered
    rig.vp.Advance(175);
    seen += Sent();
  }
  EXPECT_EQ(seen, "FA;SM0;FB;SM0;");  // the meter query after SM0 is always dropped
  // A moving frequency is followed with ordinary commands every tick; a running level sequence
  // stops the tick altogether.
  s.VFO = 1;
  m.FreqChanged = kTrue;
  rig.vp.Advance(175 * 3);
  EXPECT_EQ(Sent(), "FB;FB;FB;");
  m.LevelPollStep = 1;
  m.panel->tmrLevels->Enabled(false);
  rig.vp.Advance(175 * 4);
  EXPECT_EQ(Sent(), "");
}

TEST_F(PollingTest, RoutinePollReadsFMEveryFifthAndTheOtherSideEverySeventhTime) {
  CatOn();
  s.Split = 1, s.Mode = 4;
  rig.vp.Advance(5000);
  Sent();
  int oi = 0, fm = 0;
  for (int i = 0; i < 15; ++i) {
    s.QueryPending = kFalse;
    const std::string sent = Polled(3);
    oi += sent.find("OI;") != std::string::npos;
    fm += sent.find("OS0;") != std::string::npos;
    EXPECT_EQ(s.QueryPending, kTrue);
    rig.vp.Advance(2000);
  }
  EXPECT_EQ(oi * 10 + fm, 23);
  const int counts = s.FMPollCount * 10 + s.SplitPollCount;
  EXPECT_EQ(Polled(3), "");  // a query is pending: nothing, and no counter moves
  EXPECT_EQ(s.FMPollCount * 10 + s.SplitPollCount, counts);
}

TEST_F(PollingTest, AfterPowerOnAnyActionResendsTheAutoInformationSetting) {
  CatOn();
  Sent();
  EXPECT_EQ(Polled(5) + Polled(-1) + Polled(4), "AG0;");
  s.AIState = -1;
  m.RefreshPending = kFalse;
  std::int64_t before = rig.vp.NowMs();
  EXPECT_EQ(Polled(0), "AI0;AI;");
  EXPECT_GE(rig.vp.NowMs() - before, 100);
  EXPECT_EQ(m.RefreshPending, kTrue);
  rig.radio->AutoPolling(kFalse);
  EXPECT_EQ(Polled(5), "AI1;AI;");
}

// ---- the query sequences ----

TEST_F(PollingTest, CurrentVFOSequence) {
  const std::string before = "ST;MD0;RG0;NR0;RL0;";
  const std::string after =
      "GT0;NB0;SQ0;NA0;NL0;AG0;OI;LK;SH0;IS0;BC0;BP00;BP01;AN0;RA0;PA0;RF0;CO00;CO01;OS0;CN00;"
      "CN01;CT0;";
  // The repeater-shift menu of step 6 follows the frequency, bounds included.
  const std::pair<double, const char*> cases[] = {{0, "EX010317;"},  {30, "EX010317;"}, {40, ""},
                                                  {50, "EX010318;"}, {60, "EX010318;"}, {144, ""}};
  auto& timer = *m.panel->tmrPollVFO;
  for (auto [freq, menu] : cases) {
    s.Freq = freq;
    rig.radio->PollCurrVFO();
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(Sent(), "");  // the start only enables the timer
    rig.vp.Advance(200 * 60);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(Sent(), before + menu + after) << freq;
    EXPECT_EQ(m.VFOPollStep, 0);
  }
  m.VFOPollStep = 2;  // a host call repeats the current step
  rig.radio->PollCurrVFO();
  rig.radio->PollCurrVFO();
  EXPECT_EQ(Sent(), "MD0;MD0;");
  EXPECT_EQ(m.VFOPollStep, 2);
}

TEST_F(PollingTest, LevelSequenceIsFrozenUntilTheRadioReports) {
  s.AIState = -1;
  rig.radio->PollLevels();
  EXPECT_FALSE(m.panel->tmrLevels->Enabled());
  s.AIState = 0;
  rig.radio->PollLevels();  // starts
  rig.vp.Advance(200 * 3);
  Sent();
  s.AIState = -1;
  rig.vp.Advance(200 * 1000);
  EXPECT_EQ(Sent(), "");
  EXPECT_EQ(m.LevelPollStep, 48);  // stops one past the last step
  s.AIState = 1;
  rig.vp.Advance(200);
  EXPECT_EQ(m.LevelPollStep, 0);  // ended, ready to start again
  EXPECT_FALSE(m.panel->tmrLevels->Enabled());
}

TEST_F(PollingTest, FMStatusQuery) {
  for (auto [mode, vfo, enc, freq, texts] : {std::tuple{1, 0, 0, 29.6, ""},
                                             {4, 1, 1, 51.0, "OS1;CN00;CT01;EX010318;"},
                                             {4, 0, 0, 145.0, "OS0;"}}) {
    s.Mode = mode, s.VFO = vfo, s.Enc = enc, s.Freq = freq;
    rig.impl().FMStatusQuery();
    EXPECT_EQ(Sent(), texts) << freq;
  }
}

}  // namespace
}  // namespace veltro
