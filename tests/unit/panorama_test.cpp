// The panorama settings: what the answers and the setters save, which repeats they skip, and the
// width table read from step to width (and back, for the filter commands).
#include <string>
#include <vector>

#include "host/filter_width.h"
#include "level_command_cases.h"
#include "parser/panorama.h"

namespace veltro {
namespace {

using testing::CommandRig;
using testing::Ft891;
using testing::Step;

// The answers go through the receive path, as the radio's would.
Step Answers(std::string text) {
  return [text](CommandRig& r) {
    std::string buf = text;
    r.radio->ReadBuffer(buf, kFalse);
  };
}
// The post-answer step takes the mode from the VFO in use.
void SetMode(CommandRig& r, std::int16_t mode) { r.state().Mode = r.state().VFOA_Mode = mode; }
Step InMode(std::int16_t mode) {
  return [mode](CommandRig& r) { SetMode(r, mode); };
}
Step Passband(std::int16_t low, std::int16_t high) {
  return [=](CommandRig& r) { r.radio->SetCutFilter(low, high, 0, r.state().Mode); };
}
Step Call(std::function<VBool(FTDX10_Protocol&)> call) {
  return [call](CommandRig& r) { call(*r.radio); };
}

struct SaveCase {
  const char* name;
  std::vector<Step> steps;         // on an FTDX10 in USB unless a step says otherwise
  std::vector<std::string> saved;  // "KEY=value", in order
};

void RunSaveCases(const std::vector<SaveCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRig rig;
    rig.UseFtdx10();
    SetMode(rig, 1);
    for (const Step& s : c.steps) s(rig);
    std::vector<std::string> saved;
    for (const auto& e : rig.vp.settings().saves) {
      EXPECT_EQ(e.application + "/" + e.section, "Corvane/PAN");
      saved.push_back(e.key + "=" + e.value);
    }
    EXPECT_EQ(saved, c.saved);
  }
}

TEST(Panorama, AnswersSaveWhatChanged) {
  RunSaveCases({
      {"attenuator repeats are skipped",
       {Answers("RA01;RA01;RA02;RA03;RA00;")},
       {"ATT=6", "ATT=12", "ATT=18", "ATT=0"}},
      {"an unknown code saves nothing but is remembered",
       {Answers("RA01;RA05;RA01;")},
       {"ATT=6", "ATT=6"}},
      {"pre-amplifier",
       {Answers("PA00;PA01;PA01;PA02;PA03;")},
       {"PRE=0", "PRE=6", "PRE=12", "PRE=18"}},
      {"the two memories are apart", {Answers("RA01;PA01;RA01;PA01;")}, {"ATT=6", "PRE=6"}},
      {"width once per text", {Answers("SH0010;SH0010;")}, {"FW=1950"}},
      {"the mode is part of the width key",
       {Answers("SH0010;"), InMode(2), Answers("SH0010;"), InMode(1), Answers("SH0010;")},
       {"FW=1950", "FW=500", "FW=1950"}},
      {"step 0 is the roofing filter's width",
       {[](CommandRig& r) { r.state().RFT[0] = 1; }, Answers("SH0000;")},
       {"FW=12000"}},
      {"IF shift on every answer, with the radio's sign",
       {Answers("IS00-0300;IS00-0300;IS00+0200;")},
       {"IFS=-300", "IFS=-300", "IFS=200"}},
      {"FT-891 shift switched off saves 0",
       {Ft891(), Answers("IS00+0200;IS01+0200;")},
       {"IFS=0", "IFS=200"}},
  });
}

TEST(Panorama, SettersSaveWhatTheySend) {
  auto filter0 = Call([](auto& r) { return r.SetFilter(0, r.Mode(), 0); });
  RunSaveCases({
      {"attenuator, then its answer",
       {Call([](auto& r) { return r.SetAtt(1); }), Call([](auto& r) { return r.SetAtt(1); }),
        Answers("RA01;"), Call([](auto& r) { return r.SetAtt(0); })},
       {"ATT=6", "ATT=0"}},
      {"pre-amplifier", {Call([](auto& r) { return r.SetPreAmp(2); })}, {"PRE=12"}},
      {"refusals save nothing",
       {Call([](auto& r) { return r.SetAtt(4); }), Call([](auto& r) { return r.SetPreAmp(3); }),
        Call([](auto& r) { return r.SetIFShift(129); }),
        Call([](auto& r) { return r.SetFilter(0, 2, 0); })},
       {}},
      {"USB filter: width once, shift every time",
       {Passband(300, 2700), filter0, filter0},
       {"FW=2400", "IFS=0", "IFS=0"}},
      {"USB filter off centre", {Passband(300, 3000), filter0}, {"FW=2700", "IFS=150"}},
      {"CW filter", {InMode(2), Passband(300, 800), filter0}, {"FW=500", "IFS=0"}},
      {"AM and FM filters save nothing", {InMode(4), filter0}, {}},
      {"FT-891 filter", {Ft891(), Passband(300, 3000), filter0}, {"FW=2700", "IFS=150"}},
      {"FT-891 width in a gap follows the narrow setting before the call",
       {Ft891(), [](CommandRig& r) { r.state().Property[57] = 1; }, Passband(100, 2320), filter0},
       {"FW=1500", "IFS=-290"}},
      {"shift",
       {Call([](auto& r) { return r.SetIFShift(64); }),
        Call([](auto& r) { return r.SetIFShift(-3); })},
       {"IFS=-600", "IFS=20"}},
      {"direct width, tagged with the roofing filter",
       {[](CommandRig& r) { r.state().RFT[0] = 1; },
        Call([](auto& r) { return r.SetIFShift(1255); }),
        Call([](auto& r) { return r.SetIFShift(1255); }),
        [](CommandRig& r) { r.state().RFT[0] = 2; },
        Call([](auto& r) { return r.SetIFShift(1255); })},
       {"FW=4000", "FW=4000"}},
      {"direct width in CW",
       {InMode(2), Call([](auto& r) { return r.SetIFShift(1000); })},
       {"FW=50"}},
  });
}

TEST(Panorama, SavesAlsoSetTheCache) {
  CommandRig rig;
  rig.UseFtdx10();
  SetMode(rig, 1);
  rig.radio->SetCutFilter(300, 3000, 0, 1);
  rig.state().StatusChange = 0;
  std::string buf = "IS00-0300;SH0005;";
  rig.radio->ReadBuffer(buf, kFalse);
  EXPECT_EQ(rig.radio->IFS(), -300);
  EXPECT_EQ(rig.radio->BW(), 1100);
  rig.radio->SetFilter(0, 1, 0);
  EXPECT_EQ(rig.radio->IFS(), 150);
  EXPECT_EQ(rig.radio->BW(), 2700);
  rig.state().StatusChange = 0;
  std::int16_t tag = 9;
  detail::SaveFW(rig.impl(), "SH0007", 1, 0, tag);
  EXPECT_EQ(rig.radio->BW(), 1500);
  EXPECT_EQ(rig.radio->StatusChange(), kTrue);
}

TEST(Panorama, WidthOfStep) {
  struct Row {
    bool ft891;
    std::int32_t step;
    std::int16_t mode, narrow, roofing;
    std::int32_t hz;
  };
  const Row rows[] = {
      // FTDX10 voice and CW ends, the step beyond the list, step 0 by roofing filter.
      {false, 1, 1, 0, 0, 300},
      {false, 22, 0, 0, 0, 3500},
      {false, 23, 1, 0, 0, 4000},
      {false, 99, 1, 0, 0, 4000},
      {false, 1, 2, 0, 0, 50},
      {false, 16, 5, 0, 0, 2000},
      {false, 17, 6, 0, 0, 2400},
      {false, 18, 2, 0, 0, 3000},
      {false, 0, 1, 0, 1, 12000},
      {false, 0, 2, 0, 4, 500},
      {false, 0, 1, 0, 5, 300},
      {false, 0, 1, 1, 2, 3000},
      {false, -1, 1, 0, 0, 0},
      {false, 5, -1, 0, 0, 0},
      // FT-891: step 0 by mode and narrow setting (only 1 counts as narrow here).
      {true, 0, 1, 0, 0, 2400},
      {true, 0, 0, 1, 0, 1500},
      {true, 0, 1, 2, 0, 2400},
      {true, 0, 2, 0, 0, 2400},
      {true, 0, 2, 1, 0, 500},
      {true, 0, 5, 0, 0, 500},
      {true, 0, 6, 1, 0, 300},
      {true, 1, 1, 0, 0, 200},
      {true, 20, 1, 0, 0, 3000},
      {true, 21, 1, 0, 0, 3200},
      {true, 16, 2, 0, 0, 2400},
      {true, 17, 2, 0, 0, 3000},
      // AM and FM by any non-zero narrow setting, in both profiles.
      {false, 5, 3, 0, 0, 9000},
      {true, 5, 3, 2, 0, 6000},
      {false, -1, 4, 0, 0, 16000},
      {true, 0, 4, 1, 0, 9000},
      {false, 0, 7, 0, 0, 16000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.step) + " mode " + std::to_string(r.mode) +
                 (r.ft891 ? " FT-891" : ""));
    EXPECT_EQ(detail::FilterWidthHz(r.ft891, r.step, r.mode, r.narrow, r.roofing), r.hz);
  }
}

// Both directions read one table: every step's own width selects that step again, except step 1,
// which only takes the widths below its own.
TEST(Panorama, WidthTableReadsBothWays) {
  for (bool ft891 : {false, true}) {
    for (std::int16_t mode : {1, 2}) {
      SCOPED_TRACE(std::to_string(mode) + (ft891 ? " FT-891" : ""));
      std::int16_t lowest = 0, highest = 0;
      ASSERT_TRUE(detail::WidthStepLimits(ft891, mode, false, lowest, highest));
      std::int32_t first = detail::FilterWidthHz(ft891, 1, mode, 0, 0);
      EXPECT_EQ(detail::WidthCommand(first - 1, mode, ft891).step, 1);
      EXPECT_EQ(detail::WidthCommand(first, mode, ft891).step, 2);
      for (std::int16_t step = 2; step <= highest; ++step) {
        std::int32_t hz = detail::FilterWidthHz(ft891, step, mode, 0, 0);
        EXPECT_EQ(detail::WidthCommand(hz, mode, ft891).step, step) << hz << " Hz";
      }
    }
  }
}

}  // namespace
}  // namespace veltro
