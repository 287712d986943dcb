// The filter, front-end, noise, transmit and keyer operations against the in-process radio
// model, in both models: every text is one the radio takes (no "?;" comes back), leaves the
// radio holding the value set, and after the next level sequence the cache agrees with the radio
// on every level. The level sequence itself is checked against front-panel settings first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
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

// What each level the level sequence reads must hold, worked out from the radio's own settings
// by the host scales (independently of the library's conversion code); nullopt where the model
// has no such reading.
struct Level {
  const char* property;
  std::function<std::optional<int>(const sim::RadioModel&)> from_radio;
};

int Nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

const std::vector<Level>& Levels() {
  using M = const sim::RadioModel&;
  static const auto at = [](M m, const char* key) { return m.Setting(key).value_or(-9999); };
  static const auto ft891 = [](M m) { return m.model() == sim::Model::kFt891; };
  static const auto percent = [](int v) { return std::min(Nearest(v / 100.0 * 255), 255); };
  static const auto combined = [](int on, int level) { return (on == 1 ? 0 : 1000) + level; };
  static const std::vector<Level> levels = {
      {"AFLevel(0)", [](M m) { return at(m, "AG0"); }},
      {"SQLevel(0)", [](M m) { return at(m, "SQ0"); }},
      {"RFLevel(0)",
       [](M m) {
         double full = ft891(m) ? 30 : 255;
         return std::min(Nearest(255 - at(m, "RG0") / full * 255), 255);
       }},
      {"RFPower", [](M m) { return std::min(at(m, "PC"), 100); }},
      {"NR", [](M m) { return combined(at(m, "NR0"), std::max(at(m, "RL0"), 1)); }},
      {"NF", [](M m) { return combined(at(m, "BP00"), std::max(at(m, "BP01"), 1)); }},
      {"FNotch", [](M m) { return at(m, "BP01") * 10; }},
      {"KeyerSpeed",
       [](M m) { return combined(at(m, "KR"), Nearest((at(m, "KS") - 4) / 56.0 * 255)); }},
      {"KeyerWPM", [](M m) { return at(m, "KS"); }},
      {"Vox", [](M m) { return at(m, "VX"); }},
      {"Comp", [](M m) { return at(m, "PR0"); }},
      {"TXEQ", [](M m) { return at(m, "PR1"); }},
      {"BK", [](M m) { return at(m, "BI"); }},
      // The FT-891's delay answer is not read back.
      {"BKIn",
       [](M m) -> std::optional<int> {
         if (ft891(m)) return std::nullopt;
         int v = at(m, "SD");
         if (v > 6) v = Nearest(((v - 7) * 100 + 400) / 50.0);
         return std::min(v, 30);
       }},
      {"AGC", [](M m) { return std::clamp(at(m, "GT0"), 0, 4); }},
      {"Att", [](M m) { return at(m, "RA0"); }},
      {"PreAmp", [](M m) { return at(m, "PA0"); }},
      {"AutoNF", [](M m) { return at(m, "BC0"); }},
      {"NBType", [](M m) { return at(m, "NB0"); }},
      {"NB",
       [](M m) -> std::optional<int> {
         if (at(m, "NB0") == 0) return std::nullopt;  // off: the level is not the blanker's
         return at(m, "NL0");
       }},
      {"Property(49)",
       [](M m) {
         double steps = ft891(m) ? 21 : 23;
         return std::min(
             static_cast<int>(std::floor(at(m, ft891(m) ? "SH01" : "SH00") / steps * 255 + 0.01)),
             255);
       }},
      {"IFShift",
       [](M m) {
         int hz = at(m, ft891(m) ? "IS01" : "IS00");
         int magnitude = std::min(Nearest(std::abs(hz) / 1200.0 * 128), 128);
         return hz >= 0 ? -magnitude : magnitude;  // the radio's "+" is the host's minus
       }},
      {"ContourState", [](M m) { return at(m, "CO00"); }},
      {"Property(51)",
       [](M m) { return Nearest((std::clamp(at(m, "CO01"), 10, 3200) - 10) / 3190.0 * 255); }},
      {"FContour",
       [](M m) { return at(m, "CO01") * (at(m, ft891(m) ? "EX1202" : "EX030202") < 0 ? -1 : 1); }},
      {"APFState", [](M m) { return at(m, "CO02"); }},
      {"Property(57)", [](M m) { return at(m, "NA0"); }},
      {"Pitch", [](M m) { return 300 + at(m, "KP") * 10; }},
      {"Monitor", [](M m) { return at(m, "ML0"); }},
      {"MonitorLevel", [](M m) { return percent(at(m, "ML1")); }},
      {"MicGain", [](M m) { return percent(at(m, "MG")); }},
      {"MeterSW", [](M m) { return at(m, "MS"); }},
  };
  return levels;
}

// The levels on which the cache and the radio differ, as "name cache/radio" items.
std::string Differences(SimulatedRig& rig) {
  std::string out;
  for (const auto& l : Levels()) {
    auto want = l.from_radio(rig.radio_model);
    int got = rig.Get(l.property).ToInt32();
    if (want && got != *want)
      out +=
          std::string(l.property) + " " + std::to_string(got) + "/" + std::to_string(*want) + "; ";
  }
  return out;
}

// Starts a level sequence and lets it run to its end (48 steps of 200 ms).
void RunLevelSequence(SimulatedRig& rig) {
  rig.radio->PollLevels();
  rig.vp.Advance(48 * 200 + 500);
  EXPECT_EQ(rig.module().LevelPollStep, 0) << "the sequence did not end";
}

// Front-panel settings away from the radio's defaults, for every level the sequence reads.
const char* const kCommonPanel[] = {
    "AG0100",   "SQ0030",   "PC050", "NR01", "RL005", "BP00001", "BP01050", "KR0",    "KS025",
    "VX1",      "PR01",     "PR11",  "GT02", "RA01",  "BC01",    "NB01",    "NL0007", "CO000001",
    "CO010500", "CO020001", "NA01",  "KP20", "BI1",   "ML0001",  "ML1060",  "MG050",  "MS3"};

void LevelSequenceReadsEveryLevel(sim::Model model, const char* transceiver,
                                  std::vector<const char*> panel) {
  SimulatedRig rig(model);
  rig.Connect(12000);
  ASSERT_EQ(rig.radio->Transceiver(), transceiver);  // from the radio's identity answer
  panel.insert(panel.end(), std::begin(kCommonPanel), std::end(kCommonPanel));
  for (const char* c : panel) ASSERT_EQ(rig.radio_model.Execute(c), "") << c;
  // Nothing of it is known before the sequence runs...
  for (const auto& l : Levels()) {
    if (auto want = l.from_radio(rig.radio_model)) {
      EXPECT_NE(rig.Get(l.property).ToInt32(), *want) << l.property;
    }
  }
  // ...and all of it after.
  RunLevelSequence(rig);
  EXPECT_EQ(Differences(rig), "");
}

TEST(LevelSequence, ReadsEveryLevelFtdx10) {
  LevelSequenceReadsEveryLevel(sim::Model::kFtdx10, "FTDX-10",
                               {"RG0120", "SD15", "PA02", "SH0010", "IS00+0300"});
}

TEST(LevelSequence, ReadsEveryLevelFt891) {
  LevelSequenceReadsEveryLevel(sim::Model::kFt891, "FT-891",
                               {"RG0012", "PA01", "SH0110", "IS01+0300", "EX1202-03"});
}

std::size_t Refusals(const std::string& answers) {
  return std::count(answers.begin(), answers.end(), '?');
}

void RunTrips(sim::Model model, const std::vector<Trip>& trips) {
  for (const auto& t : trips) {
    SCOPED_TRACE(t.name);
    SimulatedRig rig(model);
    rig.Connect(12000);  // the radio's identity answer selects the profile
    rig.answers.clear();
    t.call(*rig.radio);
    rig.vp.Advance(500);
    EXPECT_EQ(Refusals(rig.answers), t.refused) << rig.answers;
    EXPECT_EQ(rig.radio_model.Setting(t.key), t.value);
    // The next level sequence leaves the cache where the radio is.
    RunLevelSequence(rig);
    EXPECT_EQ(Differences(rig), "");
  }
}

// clang-format off
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
    {"blanker level", [](auto& r) { r.SetNBType(1); r.SetNB(7); }, "NL0", 7},
    {"noise reduction on", [](auto& r) { r.SetNR(5); }, "NR0", 1},
    {"noise reduction level", [](auto& r) { r.SetNR(5); }, "RL0", 5},
    {"noise reduction off", [](auto& r) { r.SetNR(5); r.SetNR(0); }, "NR0", 0},
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
// clang-format on

// clang-format off
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
               {"filter width", [](auto& r) { r.SetCutFilter(300, 2700, 0, 1); r.SetFilter(0, 1, 0); }, "SH00", 13},
               {"filter shift", [](auto& r) { r.SetCutFilter(300, 3000, 0, 1); r.SetFilter(0, 1, 0); }, "IS00", 150},
               {"filter roofing", [](auto& r) { r.SetCutFilter(300, 3000, 0, 1); r.SetFilter(0, 1, 0); }, "RF0", 2},
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
               {"filter width", [](auto& r) { r.SetCutFilter(300, 2700, 0, 1); r.SetFilter(0, 1, 0); }, "SH01", 14, 1},
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
