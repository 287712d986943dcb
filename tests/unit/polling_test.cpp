// The master tick, SetPolling, SetCAT, SetRefresh and the two query sequences, on virtual time
// with recorded writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;
using Texts = std::vector<std::string>;

class PollingTest : public ::testing::Test {
 protected:
  PollingTest() { rig.OpenPort(); }
  void CatOn() {
    std::int16_t cat = 1;
    rig.radio->SetCAT(cat);
  }
  // Answers each query the way a radio would, a little later, with a harmless answer.
  void AnswerEverything() {
    rig.serial().OnWrite([this](const std::string& text) {
      rig.serial().FeedAt(20, text.substr(0, 2) == "ID" ? "ID0761;" : "ZZ0;");
    });
  }
  Texts Polled(std::int16_t state) {
    rig.radio->SetPolling(state);
    return rig.TakeWrites();
  }
  VirtualRig rig;
};

TEST_F(PollingTest, NothingIsSentWithThePortClosedOrCATOff) {
  rig.vp.Advance(2000);
  EXPECT_TRUE(rig.TakeWrites().empty());
  VBool closed = kFalse;
  std::string a, c, msg;
  rig.radio->SetPort(closed, a, c, msg);
  std::int16_t cat = 1;
  EXPECT_EQ(rig.radio->SetCAT(cat), 0);
  EXPECT_EQ(rig.radio->CAT(), 0);
  rig.radio->SetRefresh();
  EXPECT_EQ(rig.module().RefreshPending, kFalse);
  for (std::int16_t st = 0; st <= 4; ++st) rig.radio->SetPolling(st);
  rig.vp.Advance(2000);
  EXPECT_TRUE(rig.serial().Writes().empty());
}

TEST_F(PollingTest, SetCATSendsIdentityThenTheAutoInformationSetting) {
  CatOn();
  EXPECT_EQ(rig.TakeWrites(), (Texts{"ID;", "AI0;"}));
  EXPECT_EQ(rig.radio->CAT(), 1);
  EXPECT_EQ(rig.module().RefreshPending, kTrue);
  EXPECT_EQ(rig.module().AFQueryPending, kTrue);

  VirtualRig other;
  other.OpenPort();
  other.radio->AutoPolling(kFalse);
  std::int16_t cat = 1;
  EXPECT_EQ(other.radio->SetCAT(cat), -1);
  EXPECT_EQ(other.TakeWrites(), (Texts{"ID;", "AI1;"}));
  EXPECT_TRUE(other.module().panel->tmrStart->Enabled());
  EXPECT_TRUE(other.module().panel->tmrLevels->Enabled());
  cat = 0;
  other.radio->SetCAT(cat);
  EXPECT_EQ(other.TakeWrites(), (Texts{"AI0;"}));
  cat = 7;
  EXPECT_EQ(other.radio->SetCAT(cat), -1);
  EXPECT_TRUE(other.TakeWrites().empty());
}

TEST_F(PollingTest, TheRefreshRunsTheFullStatusCycleOneQueryPerAnswer) {
  AnswerEverything();
  CatOn();
  rig.vp.Advance(8000);
  Texts texts = rig.serial().Texts();
  const Texts cycle = {"FA;", "FB;", "IF;", "ST;", "OI;", "TX;", "AC;", "VS;"};
  // ID, AI0, then the cycle in order (with the one AG0 query and routine polls in between).
  std::vector<std::string> seen;
  for (const auto& t : texts) {
    if (std::find(cycle.begin(), cycle.end(), t) != cycle.end()) seen.push_back(t);
  }
  ASSERT_GE(seen.size(), cycle.size());
  EXPECT_EQ(Texts(seen.begin(), seen.begin() + 8), cycle);
  EXPECT_EQ(texts[0], "ID;");
  EXPECT_EQ(texts[1], "AI0;");
  EXPECT_EQ(rig.module().RefreshPending, kFalse);
  // The one AG0 query waits for the end of the cycle (the sequences wait too).
  auto vs = std::find(texts.begin(), texts.end(), "VS;");
  auto ag = std::find(texts.begin(), texts.end(), "AG0;");
  EXPECT_LT(vs, ag);
  // No query within a second of an ordinary command.
  const auto& w = rig.serial().Writes();
  auto fa = std::find_if(w.begin(), w.end(), [](const auto& x) { return x.text == "FA;"; });
  ASSERT_NE(fa, w.end());
  EXPECT_GE(fa->ms - (fa - 1)->ms, 1000);
}

TEST_F(PollingTest, AnUnansweredQueryHoldsTheCycleForThreeSeconds) {
  CatOn();
  rig.TakeWrites();
  rig.vp.Advance(1200);
  EXPECT_EQ(rig.TakeWrites(), (Texts{"FA;"}));
  rig.vp.Advance(2900);
  EXPECT_TRUE(rig.TakeWrites().empty());  // FB is dropped while FA is unanswered
  rig.vp.Advance(1200);
  EXPECT_EQ(rig.TakeWrites(), (Texts{"FB;"}));  // the dropped step once the window has passed
}

TEST_F(PollingTest, FrequencyFollowingAndTheLevelSequenceGate) {
  CatOn();
  rig.module().RefreshPending = kFalse;
  rig.module().AFQueryPending = kFalse;
  rig.state().VFO = 1;
  rig.module().FreqChanged = kTrue;
  rig.TakeWrites();
  rig.vp.Advance(175 * 3);
  EXPECT_EQ(rig.TakeWrites(), (Texts{"FB;", "FB;", "FB;"}));
  rig.module().LevelPollStep = 3;
  rig.module().panel->tmrLevels->Enabled(false);
  rig.vp.Advance(175 * 4);
  EXPECT_TRUE(rig.TakeWrites().empty());
}

TEST_F(PollingTest, RoutinePollAsksForTheSMeterAndEverySeventhTimeTheOtherSide) {
  CatOn();
  rig.TakeWrites();
  rig.state().Split = 1;
  rig.vp.Advance(5000);  // past the hold-off of the last ordinary command
  int oi = 0, calls = 0;
  for (int i = 0; i < 14; ++i) {
    rig.state().QueryPending = kFalse;
    Texts t = Polled(3);
    ++calls;
    oi += std::count(t.begin(), t.end(), "OI;");
    EXPECT_EQ(rig.state().QueryPending, kTrue);
    rig.vp.Advance(2000);
  }
  EXPECT_EQ(oi, 2);
  rig.state().QueryPending = kTrue;
  std::int16_t fm = rig.state().FMPollCount;
  EXPECT_TRUE(Polled(3).empty());
  EXPECT_EQ(rig.state().FMPollCount, fm);
}

TEST_F(PollingTest, RoutinePollSendsTheSMeterQueryAndDropsTheMeterQuery) {
  CatOn();
  rig.vp.Advance(3000);
  rig.TakeWrites();
  rig.state().QueryPending = kFalse;
  EXPECT_EQ(Polled(3), (Texts{"SM0;"}));
}

TEST_F(PollingTest, AfterPowerOnAnyActionResendsTheAutoInformationSetting) {
  CatOn();
  rig.TakeWrites();
  rig.state().AIState = -1;
  rig.module().RefreshPending = kFalse;
  std::int64_t before = rig.vp.NowMs();
  EXPECT_EQ(Polled(0), (Texts{"AI0;", "AI;"}));
  EXPECT_GE(rig.vp.NowMs() - before, 100);
  EXPECT_EQ(rig.module().RefreshPending, kTrue);
  rig.radio->AutoPolling(kFalse);
  EXPECT_EQ(Polled(5), (Texts{"AI1;", "AI;"}));
}

TEST_F(PollingTest, OtherActionsDoNothing) {
  CatOn();
  rig.TakeWrites();
  EXPECT_TRUE(Polled(5).empty());
  EXPECT_TRUE(Polled(-1).empty());
  EXPECT_EQ(Polled(4), (Texts{"AG0;"}));
}

TEST_F(PollingTest, SetRefreshWithPollingOnSendsNothing) {
  CatOn();
  rig.TakeWrites();
  rig.module().RefreshPending = kFalse;
  rig.module().FreqChanged = kTrue;
  rig.module().PollToggle = 1;
  rig.state().PollStep = 5;
  rig.radio->SetRefresh();
  EXPECT_TRUE(rig.TakeWrites().empty());
  EXPECT_EQ(rig.module().RefreshPending, kTrue);
  EXPECT_EQ(rig.module().FreqChanged, kFalse);
  EXPECT_EQ(rig.module().PollToggle, 0);
  EXPECT_EQ(rig.state().PollStep, 0);
  EXPECT_FALSE(rig.module().panel->tmrLevels->Enabled());
}

TEST_F(PollingTest, TheStartTimerRefreshesOnceFiveSecondsLater) {
  rig.radio->AutoPolling(kFalse);
  CatOn();
  rig.TakeWrites();
  rig.vp.Advance(4990);
  Texts early = rig.serial().Texts();
  EXPECT_EQ(std::count(early.begin(), early.end(), "AI1;"), 0);
  rig.vp.Advance(20000);
  Texts t = rig.TakeWrites();
  EXPECT_EQ(std::count(t.begin(), t.end(), "AI1;"), 1);
  EXPECT_FALSE(rig.module().panel->tmrStart->Enabled());
}

TEST_F(PollingTest, PausePollingFallsBackAfterASecond) {
  rig.impl().PausePolling();
  EXPECT_EQ(rig.module().PollingPaused, kTrue);
  rig.vp.Advance(999);
  EXPECT_EQ(rig.module().PollingPaused, kTrue);
  rig.vp.Advance(1);
  EXPECT_EQ(rig.module().PollingPaused, kFalse);
  EXPECT_FALSE(rig.module().panel->tmrStopPolling->Enabled());
}

// ---- the query sequences ----

Texts CurrVFOSequence(double freq) {
  VirtualRig rig;
  rig.OpenPort();
  rig.state().Freq = freq;
  rig.radio->PollCurrVFO();
  EXPECT_TRUE(rig.module().panel->tmrPollVFO->Enabled());
  EXPECT_TRUE(rig.TakeWrites().empty());
  rig.vp.Advance(200 * 40);
  EXPECT_FALSE(rig.module().panel->tmrPollVFO->Enabled());
  EXPECT_EQ(rig.module().VFOPollStep, 0);
  return rig.TakeWrites();
}

TEST(QuerySequences, CurrentVFOSequence) {
  const Texts hf = {"ST;",   "MD0;",  "RG0;",  "NR0;",  "RL0;", "EX010317;", "GT0;", "NB0;",
                    "SQ0;",  "NA0;",  "NL0;",  "AG0;",  "OI;",  "LK;",       "SH0;", "IS0;",
                    "BC0;",  "BP00;", "BP01;", "AN0;",  "RA0;", "PA0;",      "RF0;", "CO00;",
                    "CO01;", "OS0;",  "CN00;", "CN01;", "CT0;"};
  EXPECT_EQ(CurrVFOSequence(14.2), hf);
  Texts six = CurrVFOSequence(52);
  EXPECT_EQ(six[5], "EX010318;");
  for (double f : {40.0, 144.0}) {
    Texts t = CurrVFOSequence(f);
    EXPECT_EQ(t.size(), hf.size() - 1) << f;
    EXPECT_EQ(t[5], "GT0;") << f;
  }
}

Texts LevelSequence(VirtualRig& rig) {
  rig.radio->PollLevels();
  rig.vp.Advance(200 * 60);
  EXPECT_FALSE(rig.module().panel->tmrLevels->Enabled());
  return rig.TakeWrites();
}

TEST(QuerySequences, LevelSequenceOfAFreshFTDX10) {
  VirtualRig rig;
  rig.OpenPort();
  rig.state().Freq = 40;
  const Texts expected = {
      "AG0;", "RG0;",      "PC;",       "NR0;",  "RL0;",  "KS;",   "VX;",  "PR0;", "PR1;", "SD;",
      "GT0;", "RA0;",      "PA0;",      "BC0;",  "BP00;", "BP01;", "NB0;", "NL0;", "SH0;", "IS0;",
      "SQ0;", "EX010317;", "EX030202;", "CO00;", "CO01;", "KR;",   "NA0;", "KP;",  "OS0;", "RF0;",
      "BI;",  "NL0;",      "EX020113;", "ML0;",  "ML1;",  "MG;",   "MS;",  "RM0;", "OI;",  "PR1;",
      "BY;",  "CT0;",      "CN00;",     "CN01;", "LK;",   "CO02;", "CO03;"};
  EXPECT_EQ(LevelSequence(rig), expected);
}

TEST(QuerySequences, LevelStepsFollowTheTableAndTheState) {
  VirtualRig rig;
  rig.OpenPort();
  rig.state().Freq = 144;
  rig.state().MeterIndex = "3";
  rig.state().Property[3] = 1;   // antenna query on
  rig.state().Property[61] = 2;  // second noise-blanker query on
  rig.state().NBRecord[2].Query = "NB9";
  rig.state().Property[50] = 3;  // no CO02/CO03
  Texts t = LevelSequence(rig);
  auto has = [&](const char* s) { return std::find(t.begin(), t.end(), s) != t.end(); };
  EXPECT_TRUE(has("AN0;"));
  EXPECT_TRUE(has("NB9;"));
  EXPECT_TRUE(has("RM3;"));
  EXPECT_FALSE(has("CO02;"));
  EXPECT_FALSE(has("EX010317;"));
  EXPECT_FALSE(has("EX010318;"));
}

TEST(QuerySequences, LevelSequenceIsFrozenUntilTheRadioReports) {
  VirtualRig rig;
  rig.OpenPort();
  rig.state().AIState = -1;
  rig.radio->PollLevels();
  EXPECT_FALSE(rig.module().panel->tmrLevels->Enabled());
  EXPECT_TRUE(rig.TakeWrites().empty());

  rig.state().AIState = 0;
  rig.radio->PollLevels();  // starts
  rig.vp.Advance(200 * 3);
  rig.TakeWrites();
  rig.state().AIState = -1;
  rig.vp.Advance(200 * 1000);
  EXPECT_TRUE(rig.TakeWrites().empty());
  EXPECT_EQ(rig.module().LevelPollStep, 48);  // stops one past the last step
  rig.state().AIState = 1;
  rig.vp.Advance(200);
  EXPECT_EQ(rig.module().LevelPollStep, 0);
  EXPECT_FALSE(rig.module().panel->tmrLevels->Enabled());
}

TEST(QuerySequences, AHostCallRepeatsTheCurrentStep) {
  VirtualRig rig;
  rig.OpenPort();
  rig.module().VFOPollStep = 2;
  rig.radio->PollCurrVFO();
  rig.radio->PollCurrVFO();
  EXPECT_EQ(rig.TakeWrites(), (Texts{"MD0;", "MD0;"}));
  EXPECT_EQ(rig.module().VFOPollStep, 2);
}

TEST(QuerySequences, FMStatusQuery) {
  struct Case {
    std::int16_t mode, vfo, enc;
    double freq;
    Texts texts;
  };
  const Case cases[] = {
      {1, 0, 0, 29.6, {}},
      {4, 0, 0, 29.6, {"OS0;", "EX010317;"}},
      {4, 1, 1, 51.0, {"OS1;", "CN00;", "CT01;", "EX010318;"}},
      {4, 0, 0, 145.0, {"OS0;"}},
  };
  for (const auto& c : cases) {
    VirtualRig rig;
    rig.OpenPort();
    rig.state().Mode = c.mode;
    rig.state().VFO = c.vfo;
    rig.state().Enc = c.enc;
    rig.state().Freq = c.freq;
    rig.impl().FMStatusQuery();
    EXPECT_EQ(rig.TakeWrites(), c.texts) << c.freq;
  }
}

}  // namespace
}  // namespace veltro
