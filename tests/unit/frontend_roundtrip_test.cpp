// The filter, front-end, noise, transmit and keyer operations against the in-process radio
// model, in both models: every text is one the radio takes (no "?;" comes back) and leaves the
// radio holding the value set. The level sequence reads every level the front panel can set.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

std::size_t Refusals(const std::string& answers) {
  return std::count(answers.begin(), answers.end(), '?');
}

// Front-panel settings away from the radio's defaults, and what the host reads once a level
// sequence (48 steps of 200 ms) has run; before it, none of it.
TEST(LevelSequence, ReadsEveryLevel) {
  const std::string panel =
      "AG0100 SQ0030 PC050 NR01 RL005 BP00001 BP01050 KR0 KS025 VX1 PR01 PR11 GT02 RA01 BC01 "
      "NB01 NL0007 CO000001 CO010500 CO020001 NA01 KP20 BI1 ML0001 ML1060 MG050 MS3 ";
  const std::string reads =
      "AFLevel(0)=100 SQLevel(0)=30 RFPower=50 NR=5 NF=50 FNotch=500 KeyerSpeed=1096 "
      "KeyerWPM=25 Vox=1 Comp=1 TXEQ=1 BK=1 AGC=2 Att=1 AutoNF=1 NBType=1 NB=7 ContourState=1 "
      "Property(51)=39 APFState=1 Property(57)=1 Pitch=500 Monitor=1 MonitorLevel=153 "
      "MicGain=128 MeterSW=3 ";
  const struct {
    sim::Model model;
    const char* transceiver;
    std::string panel, reads;
  } rows[] = {
      {sim::Model::kFtdx10, "FTDX-10", panel + "RG0120 SD15 PA02 SH0010 IS00+0300",
       reads + "RFLevel(0)=135 BKIn=24 PreAmp=2 Property(49)=110 IFShift=-32 FContour=500"},
      {sim::Model::kFt891, "FT-891", panel + "RG0012 PA01 SH0110 IS01+0300 EX1202-03",
       reads + "RFLevel(0)=153 PreAmp=1 Property(49)=121 IFShift=-32 FContour=-500"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.transceiver);
    SimulatedRig rig(r.model);
    rig.Connect(12000);
    ASSERT_EQ(rig.radio->Transceiver(), r.transceiver);  // from the radio's identity answer
    for (const auto& c : Words(r.panel)) ASSERT_EQ(rig.radio_model.Execute(c), "") << c;
    for (const auto& item : Words(r.reads)) EXPECT_NE(rig.Read(item), item);
    rig.radio->PollLevels();
    rig.vp.Advance(48 * 200 + 500);
    EXPECT_EQ(rig.module().LevelPollStep, 0) << "the sequence did not end";
    EXPECT_EQ(rig.Read(r.reads), r.reads);
  }
}

struct Trip {
  std::function<void(FTDX10_Protocol&)> call;
  // The radio's settings and the values they must then hold: "NR0=1 RL0=5".
  const char* settings;
  // Texts the radio refuses on purpose ("?;" answers).
  std::size_t refused = 0;
};

void RunTrips(sim::Model model, const std::vector<Trip>& trips) {
  for (const auto& t : trips) {
    SCOPED_TRACE(t.settings);
    SimulatedRig rig(model);
    rig.Connect(12000);  // the radio's identity answer selects the profile
    rig.answers.clear();
    t.call(*rig.radio);
    rig.vp.Advance(500);
    EXPECT_EQ(Refusals(rig.answers), t.refused) << rig.answers;
    std::string held;
    for (const auto& w : Words(t.settings)) {
      const std::string key = w.substr(0, w.find('='));
      held += key + "=" + std::to_string(rig.radio_model.Setting(key).value_or(-9999)) + " ";
    }
    EXPECT_EQ(held, std::string(t.settings) + " ");
  }
}

// clang-format off
const std::vector<Trip> kCommonTrips = {
    {[](auto& r) { r.SetAFLevel(0, 77); }, "AG0=77"},
    {[](auto& r) { r.SetSQLevel(0, 20); }, "SQ0=20"},
    {[](auto& r) { r.SetAGC(2); }, "GT0=2"},
    {[](auto& r) { r.SetAtt(1); }, "RA0=1"},
    {[](auto& r) { r.SetPreAmp(1); }, "PA0=1"},
    {[](auto& r) { r.SetLockDial(1); }, "LK=1"},
    {[](auto& r) { r.SetMeterSW(3); }, "MS=3"},
    // The radio starts with its blanker off, so the type goes first.
    {[](auto& r) { r.SetNBType(1); r.SetNB(7); }, "NB0=1 NL0=7"},
    {[](auto& r) { r.SetNR(5); }, "NR0=1 RL0=5"},
    {[](auto& r) { r.SetNR(5); r.SetNR(0); }, "NR0=0 RL0=5"},
    {[](auto& r) { r.SetNF(150); }, "BP00=1 BP01=150"},
    {[](auto& r) { r.SetAutoNF(1); }, "BC0=1"},
    {[](auto& r) { r.SetPTT(1); }, "TX=1"},
    {[](auto& r) { r.SetStartTuner(); }, "AC00=1"},
    {[](auto& r) { r.SetTuner(1); }, "AC00=1"},
    {[](auto& r) { r.SetRFPower(50); }, "PC=50"},
    {[](auto& r) { r.SetMicGain(128); }, "MG=50"},
    {[](auto& r) { r.SetComp(1); r.SetTXEQ(1); }, "PR0=1 PR1=1"},
    {[](auto& r) { r.SetVox(1); }, "VX=1"},
    {[](auto& r) { r.SetMonitor(0, 1); r.SetMonitor(1, 128); }, "ML0=1 ML1=50"},
    {[](auto& r) { r.setTXW(1); }, "TS=1"},
    {[](auto& r) { r.SetBK(1); }, "BI=1"},
    {[](auto& r) { r.SetKeyerSpeed(0); }, "KR=0"},
    {[](auto& r) { r.SetKeyerSpeed(128); }, "KR=1 KS=32"},
    {[](auto& r) { r.SetPitch(600); }, "KP=30"},
    {[](auto& r) { r.SetSpot(1); }, "CS=1"},
    {[](auto& r) { r.SetVoiceMessage(3); }, "PB0=3"},
    {[](auto& r) { r.SetContour(0, 1); r.SetContour(1, 255); }, "CO00=1 CO01=3200"},
    {[](auto& r) { r.SetAPF(0, 1); r.SetAPF(1, 255); }, "CO02=1 CO03=50"},
};

TEST(FrontEndRoundTrip, Ftdx10) {
  RunTrips(sim::Model::kFtdx10, kCommonTrips);
  RunTrips(sim::Model::kFtdx10, {
      {[](auto& r) { r.SetRFLevel(0, 100); }, "RG0=155"},
      {[](auto& r) { r.SetRFT(0, 3); }, "RF0=3"},
      {[](auto& r) { r.SetFast(1); }, "FN=0"},
      {[](auto& r) { r.SetBKIn(30); }, "SD=18 EX020113=0"},
      {[](auto& r) { r.SetBKIn(0); }, "EX020113=1"},
      {[](auto& r) { r.SetContour(2, -5); r.SetContour(3, 7); }, "EX030202=-5 EX030203=7"},
      {[](auto& r) { r.SetIFShift(64); }, "IS00=-600"},
      {[](auto& r) { r.SetIFShift(1255); }, "SH00=23"},
      {[](auto& r) { r.SetCutFilter(300, 2700, 0, 1); r.SetFilter(0, 1, 0); }, "SH00=13 IS00=0 RF0=2"},
      {[](auto& r) { r.SetCutFilter(300, 3000, 0, 1); r.SetFilter(0, 1, 0); }, "SH00=17 IS00=150 RF0=2"},
  });
}

TEST(FrontEndRoundTrip, Ft891) {
  RunTrips(sim::Model::kFt891, kCommonTrips);
  RunTrips(sim::Model::kFt891, {
      {[](auto& r) { r.SetRFLevel(0, 128); }, "RG0=15"},
      {[](auto& r) { r.SetFast(1); }, "FS=1"},
      {[](auto& r) { r.SetBKIn(6); }, "SD=300 EX0708=0"},
      {[](auto& r) { r.SetBKIn(0); }, "EX0708=1"},
      {[](auto& r) { r.SetContour(2, -3); }, "EX1202=-3"},
      {[](auto& r) { r.SetIFShift(10); }, "IS01=-80"},
      {[](auto& r) { r.SetIFShift(1000); }, "SH01=9"},
      // The reset to width 0 goes out as "SH0000" in both profiles; the FT-891 takes only its
      // own filter digit and refuses it.
      {[](auto& r) { r.SetCutFilter(300, 2700, 0, 1); r.SetFilter(0, 1, 0); }, "SH01=14", 1},
  });
}
// clang-format on

TEST(FrontEndRoundTrip, PanelAndMessages) {
  SimulatedRig rig;
  rig.Connect(12000);
  rig.answers.clear();
  rig.radio->SetDimLevel(7);
  rig.radio->SetKeyerMessage(1, 2, "cq test");
  rig.radio->SetKeyerMessage(0, 2, "");
  rig.radio->SetZeroIN();
  rig.radio->SetPowerON(0);
  rig.vp.Advance(500);
  EXPECT_EQ(Refusals(rig.answers), 0u) << rig.answers;
  EXPECT_EQ(rig.radio_model.Dimmer()[1], 7);
  EXPECT_EQ(rig.radio_model.KeyerMessage(2), "CQ TEST");
  EXPECT_EQ(rig.radio_model.KeyerSent(), std::vector<std::string>{"CQ TEST"});
  EXPECT_FALSE(rig.radio_model.PowerOn());
}

}  // namespace
}  // namespace veltro
