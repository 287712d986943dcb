// The filter, front-end, noise, transmit and keyer operations against the in-process radio
// model, in both models: every text is one the radio takes (no "?;" comes back) and leaves the
// radio holding the value set.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "level_command_cases.h"
#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

struct Trip {
  const char* name;
  std::function<void(FTDX10_Protocol&)> call;
  // The radio's setting and the value it must then hold.
  const char* key;
  int value;
  // Texts the radio refuses on purpose ("?;" answers).
  std::size_t refused = 0;
};

std::size_t Refusals(const std::string& answers) {
  std::size_t n = 0;
  for (auto at = answers.find("?;"); at != std::string::npos; at = answers.find("?;", at + 2)) ++n;
  return n;
}

void RunTrips(sim::Model model, const std::vector<Trip>& trips) {
  for (const auto& t : trips) {
    SCOPED_TRACE(t.name);
    SimulatedRig rig(model);
    rig.Connect(12000);
    // The profile as the radio's identity answer selects it, set directly here.
    if (model == sim::Model::kFt891) {
      testing::ApplyFt891Profile(rig);
    } else {
      testing::ApplyFtdx10Profile(rig);
    }
    rig.answers.clear();
    t.call(*rig.radio);
    rig.vp.Advance(500);
    EXPECT_EQ(Refusals(rig.answers), t.refused) << rig.answers;
    EXPECT_EQ(rig.radio_model.Setting(t.key), t.value);
  }
}

const std::vector<Trip> kCommonTrips = {
    {"AF gain", [](auto& r) { r.SetAFLevel(0, 77); }, "AG0", 77},
    {"squelch", [](auto& r) { r.SetSQLevel(0, 20); }, "SQ0", 20},
    {"AGC", [](auto& r) { r.SetAGC(2); }, "GT0", 2},
    {"attenuator", [](auto& r) { r.SetAtt(1); }, "RA0", 1},
    {"pre-amplifier", [](auto& r) { r.SetPreAmp(1); }, "PA0", 1},
    {"dial lock", [](auto& r) { r.SetLockDial(1); }, "LK", 1},
    {"meter", [](auto& r) { r.SetMeterSW(3); }, "MS", 3},
    {"blanker type", [](auto& r) { r.SetNBType(1); }, "NB0", 1},
    // The radio starts with its blanker off, so the type goes first.
    {"blanker level",
     [](auto& r) {
       r.SetNBType(1);
       r.SetNB(7);
     },
     "NL0", 7},
    {"noise reduction on", [](auto& r) { r.SetNR(5); }, "NR0", 1},
    {"noise reduction level", [](auto& r) { r.SetNR(5); }, "RL0", 5},
    {"noise reduction off",
     [](auto& r) {
       r.SetNR(5);
       r.SetNR(0);
     },
     "NR0", 0},
    {"notch on", [](auto& r) { r.SetNF(150); }, "BP00", 1},
    {"notch value", [](auto& r) { r.SetNF(150); }, "BP01", 150},
    {"auto notch", [](auto& r) { r.SetAutoNF(1); }, "BC0", 1},
    {"transmit", [](auto& r) { r.SetPTT(1); }, "TX", 1},
    {"tuner cycle", [](auto& r) { r.SetStartTuner(); }, "AC00", 1},
    {"tuner", [](auto& r) { r.SetTuner(1); }, "AC00", 1},
    {"power", [](auto& r) { r.SetRFPower(50); }, "PC", 50},
    {"mic gain", [](auto& r) { r.SetMicGain(128); }, "MG", 50},
    {"processor", [](auto& r) { r.SetComp(1); }, "PR0", 1},
    {"equaliser", [](auto& r) { r.SetTXEQ(1); }, "PR1", 1},
    {"VOX", [](auto& r) { r.SetVox(1); }, "VX", 1},
    {"monitor", [](auto& r) { r.SetMonitor(0, 1); }, "ML0", 1},
    {"monitor level", [](auto& r) { r.SetMonitor(1, 128); }, "ML1", 50},
    {"TX watch", [](auto& r) { r.setTXW(1); }, "TS", 1},
    {"break-in", [](auto& r) { r.SetBK(1); }, "BI", 1},
    {"keyer off", [](auto& r) { r.SetKeyerSpeed(0); }, "KR", 0},
    {"keyer speed", [](auto& r) { r.SetKeyerSpeed(128); }, "KS", 32},
    {"pitch", [](auto& r) { r.SetPitch(600); }, "KP", 30},
    {"spot", [](auto& r) { r.SetSpot(1); }, "CS", 1},
    {"voice message", [](auto& r) { r.SetVoiceMessage(3); }, "PB0", 3},
    {"contour on", [](auto& r) { r.SetContour(0, 1); }, "CO00", 1},
    {"contour frequency", [](auto& r) { r.SetContour(1, 255); }, "CO01", 3200},
    {"APF on", [](auto& r) { r.SetAPF(0, 1); }, "CO02", 1},
    {"APF offset", [](auto& r) { r.SetAPF(1, 255); }, "CO03", 50},
};

TEST(FrontEndRoundTrip, Ftdx10) {
  RunTrips(sim::Model::kFtdx10, kCommonTrips);
  RunTrips(sim::Model::kFtdx10,
           {
               {"RF gain", [](auto& r) { r.SetRFLevel(0, 100); }, "RG0", 155},
               {"roofing filter", [](auto& r) { r.SetRFT(0, 3); }, "RF0", 3},
               {"fast tuning on", [](auto& r) { r.SetFast(1); }, "FN", 0},
               {"break-in delay", [](auto& r) { r.SetBKIn(30); }, "SD", 18},
               {"full break-in", [](auto& r) { r.SetBKIn(0); }, "EX020113", 1},
               {"contour level", [](auto& r) { r.SetContour(2, -5); }, "EX030202", -5},
               {"contour width", [](auto& r) { r.SetContour(3, 7); }, "EX030203", 7},
               {"IF shift", [](auto& r) { r.SetIFShift(64); }, "IS00", -600},
               {"width", [](auto& r) { r.SetIFShift(1255); }, "SH00", 23},
               {"filter width",
                [](auto& r) {
                  r.SetCutFilter(300, 2700, 0, 1);
                  r.SetFilter(0, 1, 0);
                },
                "SH00", 13},
               {"filter shift",
                [](auto& r) {
                  r.SetCutFilter(300, 3000, 0, 1);
                  r.SetFilter(0, 1, 0);
                },
                "IS00", 150},
               {"filter roofing",
                [](auto& r) {
                  r.SetCutFilter(300, 3000, 0, 1);
                  r.SetFilter(0, 1, 0);
                },
                "RF0", 2},
           });
}

TEST(FrontEndRoundTrip, Ft891) {
  RunTrips(sim::Model::kFt891, kCommonTrips);
  RunTrips(sim::Model::kFt891,
           {
               {"RF gain", [](auto& r) { r.SetRFLevel(0, 128); }, "RG0", 15},
               {"fast tuning on", [](auto& r) { r.SetFast(1); }, "FS", 1},
               {"break-in delay", [](auto& r) { r.SetBKIn(6); }, "SD", 300},
               {"full break-in", [](auto& r) { r.SetBKIn(0); }, "EX0708", 1},
               {"contour level", [](auto& r) { r.SetContour(2, -3); }, "EX1202", -3},
               {"IF shift", [](auto& r) { r.SetIFShift(10); }, "IS01", -80},
               {"width", [](auto& r) { r.SetIFShift(1000); }, "SH01", 9},
               // The reset to width 0 goes out as "SH0000" in both profiles; the FT-891 takes
               // only its own filter digit and refuses it.
               {"filter width",
                [](auto& r) {
                  r.SetCutFilter(300, 2700, 0, 1);
                  r.SetFilter(0, 1, 0);
                },
                "SH01", 14, 1},
           });
}

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
  ASSERT_FALSE(rig.radio_model.KeyerSent().empty());
  EXPECT_EQ(rig.radio_model.KeyerSent().back(), "CQ TEST");
  EXPECT_FALSE(rig.radio_model.PowerOn());
}

}  // namespace
}  // namespace veltro
