// Receiver levels, front-end selectors and panel functions, in both profiles.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::Both;
using testing::CommandRig;
using testing::Entry;
using testing::Reads;
using Setup = testing::Step;
using Call = std::function<VBool(FTDX10_Protocol&)>;

// In `mode` on `vfo`, on the FT-891 when asked.
Setup In(std::int16_t mode, bool ft891 = false, std::int16_t vfo = 0) {
  return [=](CommandRig& r) {
    if (ft891) r.UseFt891();
    r.state().Mode = mode;
    r.state().VFO = vfo;
  };
}
const Setup kFt891 = In(0, true);
auto Step(float hz) {
  return [hz](CommandRig& r) { EXPECT_EQ(r.state().TuningStep, hz); };
}
// One-argument setters by member pointer, the receiver ones with receiver 0 unless given.
Call One(VBool (FTDX10_Protocol::*set)(std::int16_t), std::int16_t v) {
  return [=](FTDX10_Protocol& r) { return (r.*set)(v); };
}
Call Two(VBool (FTDX10_Protocol::*set)(std::int16_t, std::int16_t), std::int16_t a,
         std::int16_t b) {
  return [=](FTDX10_Protocol& r) { return (r.*set)(a, b); };
}
using P = FTDX10_Protocol;

// clang-format off
TEST(FrontEndCommands, Calls) {
  testing::RunCases({
      {"AF gain", nullptr, Two(&P::SetAFLevel, 0, 5), -1, {"AG0005"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->AFLevel(0), 5); EXPECT_EQ(r.module().PollingPaused, kTrue); }},
      {"squelch", nullptr, Two(&P::SetSQLevel, 0, 255), -1, {"SQ0255"}, Reads("SQLevel(0)=255")},
      {"AF gain beyond the scale goes to the radio", nullptr, Two(&P::SetAFLevel, 0, 256), -1, {"AG0256"}},
      {"squelch of four digits", nullptr, Two(&P::SetSQLevel, 0, 1000), -1, {"SQ01000"}, Reads("SQLevel(0)=1000")},
      {"RF gain 0 is full gain", nullptr, Two(&P::SetRFLevel, 0, 0), -1, {"RG0255"}, Reads("RFLevel(0)=0")},
      {"RF gain 100", nullptr, Two(&P::SetRFLevel, 0, 100), -1, {"RG0155"}, Reads("RFLevel(0)=100")},
      {"RF gain beyond the scale", nullptr, Two(&P::SetRFLevel, 0, 300), -1, {"RG0000"}},
      {"RF gain on the FT-891 scale", kFt891, Two(&P::SetRFLevel, 0, 128), -1, {"RG0015"}},
      {"RF gain FT-891 full", kFt891, Two(&P::SetRFLevel, 0, 0), -1, {"RG0030"}},
      {"sub receiver where fitted", Entry(1, 2), Two(&P::SetAFLevel, 1, 7), -1, {"AG1007"}, Reads("AFLevel(1)=7")},
      {"AGC", nullptr, One(&P::SetAGC, 4), -1, {"GT04"}, Reads("AGC=4")},
      {"attenuator", nullptr, One(&P::SetAtt, 1), -1, {"RA01"}, Reads("Att=1")},
      {"pre-amplifier", nullptr, One(&P::SetPreAmp, 2), -1, {"PA02"}, Reads("PreAmp=2")},
      {"antenna 1-based on the line", Entry(3, 2), One(&P::SetAntenna, 1), -1, {"AN02"}, Reads("Antenna=1")},
      {"roofing filter reads width and shift", nullptr, Two(&P::SetRFT, 0, 2), -1, {"RF02", "SH0", "IS0"}, Reads("RFT(0)=2")},
      {"sub receiver's roofing filter goes out as 0", nullptr, Two(&P::SetRFT, 1, 5), -1, {"RF05", "SH0", "IS0"}, Reads("RFT(1)=5")},
      {"fast on in USB", In(1), One(&P::SetFast, 1), -1, {"FN0"}, Step(10)},
      {"fast off in USB", In(1), One(&P::SetFast, 0), -1, {"FN1"}, Step(1)},
      {"fast on in FM", In(4), One(&P::SetFast, 1), -1, {"FN0"}, Step(100)},
      {"fast 2 only reads", In(1), One(&P::SetFast, 2), -1, {"FN"}, [](CommandRig& r) { EXPECT_EQ(r.radio->Fast(), 2); Step(0)(r); }},
      {"FT-891 CW on VFO A", In(2, true), One(&P::SetFast, 0), -1, {"FS0"}, Step(5)},
      {"FT-891 FM on VFO B", In(4, true, 1), One(&P::SetFast, 1), -1, {"FS3"}, Step(1000)},
      {"FT-891 AM", In(3, true), One(&P::SetFast, 0), -1, {"FS0"}, Step(100)},
      {"FT-891 USB", In(1, true), One(&P::SetFast, 1), -1, {"FS1"}, Step(100)},
      {"lock VFO A", nullptr, One(&P::SetLockDial, 1), -1, {"LK1"}, Reads("LockDial=1")},
      {"lock VFO B", In(1, false, 1), One(&P::SetLockDial, 1), -1, {"LK3"}},
      {"lock 2 goes to the radio", nullptr, One(&P::SetLockDial, 2), -1, {"LK2"}, Reads("LockDial=2")},
      {"dimmer", nullptr, One(&P::SetDimLevel, 7), -1, {"DA00070707"}, Reads("DimLevel=7")},
      {"FT-891 dimmer", kFt891, One(&P::SetDimLevel, 15), -1, {"DA15151515"}},
      {"dual where fitted", Entry(10, 1), One(&P::SetDual, 1), -1, {"FR2"}},
      {"power 2 goes to the radio", nullptr, One(&P::SetPowerON, 2), -1, {"PS2"}, Reads("PowerON=2 CAT=2")},
      {"power off", nullptr, One(&P::SetPowerON, 0), -1, {"PS0"},
       [](CommandRig& r) { Reads("PowerON=0 CAT=0")(r); EXPECT_EQ(r.state().AIState, -1); }},
      {"meter ALC", nullptr, One(&P::SetMeterSW, 2), -1, {"MS2", "MS", "RM4"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->MeterCaption(), "ALC"); EXPECT_EQ(r.state().MeterIndex, "4"); }},
      {"meter without caption", nullptr, One(&P::SetMeterSW, 10), -1, {"MS10", "MS", "RM0"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->MeterCaption(), ""); }},
      {"FT-891 meter keeps its RM digit", kFt891, One(&P::SetMeterSW, 3), -1, {"MS3", "MS", "RM2"}},
  });
}

TEST(FrontEndCommands, Refusals) {
  testing::RunRefusals({
      {"AF sub receiver", nullptr, Two(&P::SetAFLevel, 1, 5)},
      {"AF receiver negative", nullptr, Two(&P::SetAFLevel, -1, 5)},
      {"AF receiver beyond the cache", Entry(1, 3), Two(&P::SetAFLevel, 2, 5)},
      {"AF level negative", nullptr, Two(&P::SetAFLevel, 0, -1)},
      {"AF not fitted", Entry(1, 0), Two(&P::SetAFLevel, 0, 5)},
      {"RF sub receiver", nullptr, Two(&P::SetRFLevel, 1, 5)},
      {"RF level negative", nullptr, Two(&P::SetRFLevel, 0, -5)},
      {"AGC 5", nullptr, One(&P::SetAGC, 5)},
      {"attenuator 4", nullptr, One(&P::SetAtt, 4)},
      {"FT-891 attenuator 2", kFt891, One(&P::SetAtt, 2)},
      {"pre-amplifier 3", nullptr, One(&P::SetPreAmp, 3)},
      {"antenna on a one-antenna radio", nullptr, One(&P::SetAntenna, 0)},
      {"roofing 6", nullptr, Two(&P::SetRFT, 0, 6)},
      {"roofing receiver 2", nullptr, Two(&P::SetRFT, 2, 1)},
      {"FT-891 roofing", kFt891, Two(&P::SetRFT, 0, 1)},
      {"dual not fitted", nullptr, One(&P::SetDual, 1)},
      {"fast negative", nullptr, One(&P::SetFast, -1)},
      {"dimmer 21", nullptr, One(&P::SetDimLevel, 21)},
      {"FT-891 dimmer 16", kFt891, One(&P::SetDimLevel, 16)},
      {"power not fitted", Entry(22, 0), One(&P::SetPowerON, 0)},
      {"meter 11", nullptr, One(&P::SetMeterSW, 11)},
      {"meter negative", nullptr, One(&P::SetMeterSW, -1)},
      {"meter not fitted", Entry(71, 0), One(&P::SetMeterSW, 1)},
  });
}
// clang-format on

TEST(FrontEndCommands, PowerOnWaitsThenSwitchesCatOn) {
  CommandRig rig;
  std::int64_t start = rig.vp.NowMs();
  EXPECT_EQ(rig.radio->SetPowerON(1), kTrue);
  EXPECT_GE(rig.vp.NowMs() - start, 1000);
  auto sent = rig.Sent();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 4),
            (std::vector<std::string>{"PS1", "PS1", "ID", "AI0"}));
  EXPECT_EQ(rig.radio->CAT(), 1);
  EXPECT_EQ(rig.radio->PowerON(), 1);
}

}  // namespace
}  // namespace veltro
