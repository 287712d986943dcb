// The panorama settings: what the answers and the setters save, which repeats they skip, and
// what the saves leave in the cache.
#include <string>
#include <vector>

#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::After;
using testing::CommandRig;
using testing::Ft891;
using testing::Reads;
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
Step Roofing(std::int16_t filter) {
  return [filter](CommandRig& r) { r.state().RFT[0] = filter; };
}

struct SaveCase {
  const char* name;
  std::vector<Step> steps;  // on an FTDX10 in USB unless a step says otherwise
  const char* saved;        // "KEY=value ...", in order
};

void RunSaveCases(const std::vector<SaveCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRig rig;
    rig.UseFtdx10();
    SetMode(rig, 1);
    for (const Step& s : c.steps) s(rig);
    std::string saved;
    for (const auto& e : rig.vp.settings().saves) {
      EXPECT_EQ(e.application + "/" + e.section, "Corvane/PAN");
      saved += (saved.empty() ? "" : " ") + e.key + "=" + e.value;
    }
    EXPECT_EQ(saved, c.saved);
  }
}

// clang-format off
TEST(Panorama, AnswersSaveWhatChanged) {
  RunSaveCases({
      {"attenuator repeats are skipped", {Answers("RA01;RA01;RA02;RA03;RA00;")}, "ATT=6 ATT=12 ATT=18 ATT=0"},
      {"an unknown code saves nothing but is remembered", {Answers("RA01;RA05;RA01;")}, "ATT=6 ATT=6"},
      {"pre-amplifier", {Answers("PA00;PA01;PA01;PA02;PA03;")}, "PRE=0 PRE=6 PRE=12 PRE=18"},
      {"the two memories are apart", {Answers("RA01;PA01;RA01;PA01;")}, "ATT=6 PRE=6"},
      {"the mode is part of the width key, once per text",
       {Answers("SH0010;SH0010;"), InMode(2), Answers("SH0010;"), InMode(1), Answers("SH0010;")}, "FW=1950 FW=500 FW=1950"},
      {"step 0 is the roofing filter's width", {Roofing(1), Answers("SH0000;")}, "FW=12000"},
      {"IF shift on every answer, with the radio's sign, also in the cache", {Answers("IS00-0300;IS00-0300;IS00+0200;"), Reads("IFS=200")}, "IFS=-300 IFS=-300 IFS=200"},
      {"FT-891 shift switched off saves 0", {Ft891(), Answers("IS00+0200;IS01+0200;")}, "IFS=0 IFS=200"},
  });
}

TEST(Panorama, SettersSaveWhatTheySend) {
  auto filter0 = After([](auto& r) { return r.SetFilter(0, r.Mode(), 0); });
  auto width = After(VELTRO_CALL(SetIFShift(1255)));
  RunSaveCases({
      {"attenuator, then its answer",
       {After(VELTRO_CALL(SetAtt(1))), After(VELTRO_CALL(SetAtt(1))), Answers("RA01;"), After(VELTRO_CALL(SetAtt(0)))}, "ATT=6 ATT=0"},
      {"pre-amplifier", {After(VELTRO_CALL(SetPreAmp(2)))}, "PRE=12"},
      {"refusals save nothing",
       {After(VELTRO_CALL(SetAtt(4))), After(VELTRO_CALL(SetPreAmp(3))), After(VELTRO_CALL(SetIFShift(129))), After(VELTRO_CALL(SetFilter(0, 2, 0)))}, ""},
      {"USB filter: width once, shift every time, both in the cache", {Passband(300, 2700), filter0, filter0, Reads("BW=2400 IFS=0")}, "FW=2400 IFS=0 IFS=0"},
      {"CW filter", {InMode(2), Passband(300, 800), filter0}, "FW=500 IFS=0"},
      {"AM and FM filters save nothing", {InMode(4), filter0}, ""},
      {"FT-891 filter", {Ft891(), Passband(300, 3000), filter0}, "FW=2700 IFS=150"},
      {"FT-891 width in a gap follows the narrow setting before the call",
       {Ft891(), testing::Entry(57, 1), Passband(100, 2320), filter0}, "FW=1500 IFS=-290"},
      {"shift", {After(VELTRO_CALL(SetIFShift(64))), After(VELTRO_CALL(SetIFShift(-3)))}, "IFS=-600 IFS=20"},
      {"direct width, tagged with the roofing filter, a change of status", {Roofing(1), width, After(VELTRO_CALL(StatusChange(kFalse))), width, Roofing(2), width, Reads("BW=4000 StatusChange=-1")}, "FW=4000 FW=4000"},
      {"direct width in CW", {InMode(2), After(VELTRO_CALL(SetIFShift(1000)))}, "FW=50"},
  });
}
// clang-format on

}  // namespace
}  // namespace veltro
