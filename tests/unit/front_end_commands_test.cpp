// Receiver levels, front-end selectors and panel functions, in both profiles.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::CommandCase;
using testing::CommandRig;
using testing::RefusalCase;

TEST(FrontEndCommands, ReceiverLevels) {
  testing::RunCases({
      {"AF gain",
       nullptr,
       [](auto& r) { return r.SetAFLevel(0, 5); },
       -1,
       {"AG0005"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->AFLevel(0), 5);
         EXPECT_EQ(r.module().PollingPaused, kTrue);
       }},
      {"squelch",
       nullptr,
       [](auto& r) { return r.SetSQLevel(0, 255); },
       -1,
       {"SQ0255"},
       testing::Reads({{"SQLevel(0)", 255}})},
      {"RF gain 0 is full gain",
       nullptr,
       [](auto& r) { return r.SetRFLevel(0, 0); },
       -1,
       {"RG0255"},
       testing::Reads({{"RFLevel(0)", 0}})},
      {"RF gain 100",
       nullptr,
       [](auto& r) { return r.SetRFLevel(0, 100); },
       -1,
       {"RG0155"},
       testing::Reads({{"RFLevel(0)", 100}})},
      {"RF gain beyond the scale",
       nullptr,
       [](auto& r) { return r.SetRFLevel(0, 300); },
       -1,
       {"RG0000"}},
      {"RF gain on the FT-891 scale",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetRFLevel(0, 128); },
       -1,
       {"RG0015"}},
      {"RF gain FT-891 full",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetRFLevel(0, 0); },
       -1,
       {"RG0030"}},
      {"sub receiver where fitted",
       [](CommandRig& r) { r.state().Property[1] = 2; },
       [](auto& r) { return r.SetAFLevel(1, 7); },
       -1,
       {"AG1007"},
       testing::Reads({{"AFLevel(1)", 7}})},
  });
}

TEST(FrontEndCommands, Selectors) {
  testing::RunCases({
      {"AGC",
       nullptr,
       [](auto& r) { return r.SetAGC(4); },
       -1,
       {"GT04"},
       testing::Reads({{"AGC", 4}})},
      {"attenuator", nullptr, [](auto& r) { return r.SetAtt(1); }, -1, {"RA01"}},
      {"attenuator top", nullptr, [](auto& r) { return r.SetAtt(3); }, -1, {"RA03"}},
      {"pre-amplifier", nullptr, [](auto& r) { return r.SetPreAmp(2); }, -1, {"PA02"}},
      {"antenna 1-based on the line",
       [](CommandRig& r) { r.state().Property[3] = 2; },
       [](auto& r) { return r.SetAntenna(1); },
       -1,
       {"AN02"},
       testing::Reads({{"Antenna", 1}})},
      {"roofing filter reads width and shift",
       nullptr,
       [](auto& r) { return r.SetRFT(0, 2); },
       -1,
       {"RF02", "SH0", "IS0"},
       testing::Reads({{"RFT(0)", 2}})},
      {"roofing filter of the sub receiver goes out as 0",
       nullptr,
       [](auto& r) { return r.SetRFT(1, 5); },
       -1,
       {"RF05", "SH0", "IS0"},
       testing::Reads({{"RFT(1)", 5}})},
  });
}

TEST(FrontEndCommands, PanelFunctions) {
  auto step = [](float hz) { return [hz](CommandRig& r) { EXPECT_EQ(r.state().TuningStep, hz); }; };
  auto in_mode = [](std::int16_t mode, bool ft891 = false, std::int16_t vfo = 0) {
    return [=](CommandRig& r) {
      if (ft891) r.UseFt891();
      r.state().Mode = mode;
      r.state().VFO = vfo;
    };
  };
  testing::RunCases({
      {"fast on in USB", in_mode(1), [](auto& r) { return r.SetFast(1); }, -1, {"FN0"}, step(10)},
      {"fast off in USB", in_mode(1), [](auto& r) { return r.SetFast(0); }, -1, {"FN1"}, step(1)},
      {"fast on in FM", in_mode(4), [](auto& r) { return r.SetFast(1); }, -1, {"FN0"}, step(100)},
      {"fast 2 only reads",
       in_mode(1),
       [](auto& r) { return r.SetFast(2); },
       -1,
       {"FN"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->Fast(), 2);
         EXPECT_EQ(r.state().TuningStep, 0);
       }},
      {"FT-891 CW on VFO A",
       in_mode(2, true),
       [](auto& r) { return r.SetFast(0); },
       -1,
       {"FS0"},
       step(5)},
      {"FT-891 FM on VFO B",
       in_mode(4, true, 1),
       [](auto& r) { return r.SetFast(1); },
       -1,
       {"FS3"},
       step(1000)},
      {"FT-891 AM", in_mode(3, true), [](auto& r) { return r.SetFast(0); }, -1, {"FS0"}, step(100)},
      {"FT-891 USB",
       in_mode(1, true),
       [](auto& r) { return r.SetFast(1); },
       -1,
       {"FS1"},
       step(100)},
      {"lock VFO A",
       nullptr,
       [](auto& r) { return r.SetLockDial(1); },
       -1,
       {"LK1"},
       testing::Reads({{"LockDial", 1}})},
      {"lock VFO B", in_mode(1, false, 1), [](auto& r) { return r.SetLockDial(1); }, -1, {"LK3"}},
      {"dimmer",
       nullptr,
       [](auto& r) { return r.SetDimLevel(7); },
       -1,
       {"DA00070707"},
       testing::Reads({{"DimLevel", 7}})},
      {"FT-891 dimmer",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetDimLevel(15); },
       -1,
       {"DA15151515"}},
      {"dual where fitted",
       [](CommandRig& r) { r.state().Property[10] = 1; },
       [](auto& r) { return r.SetDual(1); },
       -1,
       {"FR2"}},
      {"power off",
       nullptr,
       [](auto& r) { return r.SetPowerON(0); },
       -1,
       {"PS0"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->PowerON(), 0);
         EXPECT_EQ(r.radio->CAT(), 0);
         EXPECT_EQ(r.state().AIState, -1);
       }},
      {"meter ALC",
       nullptr,
       [](auto& r) { return r.SetMeterSW(2); },
       -1,
       {"MS2", "MS", "RM4"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->MeterCaption(), "ALC");
         EXPECT_EQ(r.state().MeterIndex, "4");
       }},
      {"meter without caption",
       nullptr,
       [](auto& r) { return r.SetMeterSW(10); },
       -1,
       {"MS10", "MS", "RM0"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->MeterCaption(), ""); }},
      {"FT-891 meter keeps its RM digit",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetMeterSW(3); },
       -1,
       {"MS3", "MS", "RM2"}},
  });
}

TEST(FrontEndCommands, PowerOnWaitsThenSwitchesCatOn) {
  CommandRig rig;
  auto rec = [&] {
    std::int64_t start = rig.vp.NowMs();
    EXPECT_EQ(rig.radio->SetPowerON(1), kTrue);
    return rig.vp.NowMs() - start;
  }();
  EXPECT_GE(rec, 1000);
  auto sent = rig.Sent();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 4),
            (std::vector<std::string>{"PS1", "PS1", "ID", "AI0"}));
  EXPECT_EQ(rig.radio->CAT(), 1);
  EXPECT_EQ(rig.radio->PowerON(), 1);
}

TEST(FrontEndCommands, Refusals) {
  auto without = [](int entry) {
    return [entry](CommandRig& r) { r.state().Property[entry] = 0; };
  };
  testing::RunRefusals({
      {"AF sub receiver", nullptr, [](auto& r) { return r.SetAFLevel(1, 5); }},
      {"AF receiver negative", nullptr, [](auto& r) { return r.SetAFLevel(-1, 5); }},
      {"AF receiver beyond the cache", [](CommandRig& r) { r.state().Property[1] = 3; },
       [](auto& r) { return r.SetAFLevel(2, 5); }},
      {"AF level negative", nullptr, [](auto& r) { return r.SetAFLevel(0, -1); }},
      {"AF level above 255", nullptr, [](auto& r) { return r.SetAFLevel(0, 256); }},
      {"AF not fitted", without(1), [](auto& r) { return r.SetAFLevel(0, 5); }},
      {"squelch above 255", nullptr, [](auto& r) { return r.SetSQLevel(0, 300); }},
      {"RF sub receiver", nullptr, [](auto& r) { return r.SetRFLevel(1, 5); }},
      {"RF level negative", nullptr, [](auto& r) { return r.SetRFLevel(0, -5); }},
      {"AGC 5", nullptr, [](auto& r) { return r.SetAGC(5); }},
      {"attenuator 4", nullptr, [](auto& r) { return r.SetAtt(4); }},
      {"FT-891 attenuator 2", [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetAtt(2); }},
      {"antenna on a one-antenna radio", nullptr, [](auto& r) { return r.SetAntenna(0); }},
      {"roofing 6", nullptr, [](auto& r) { return r.SetRFT(0, 6); }},
      {"roofing receiver 2", nullptr, [](auto& r) { return r.SetRFT(2, 1); }},
      {"FT-891 roofing", [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetRFT(0, 1); }},
      {"dual not fitted", nullptr, [](auto& r) { return r.SetDual(1); }},
      {"fast negative", nullptr, [](auto& r) { return r.SetFast(-1); }},
      {"lock 2", nullptr, [](auto& r) { return r.SetLockDial(2); }},
      {"dimmer 21", nullptr, [](auto& r) { return r.SetDimLevel(21); }},
      {"FT-891 dimmer 16", [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetDimLevel(16); }},
      {"power 2", nullptr, [](auto& r) { return r.SetPowerON(2); }},
      {"power not fitted", without(22), [](auto& r) { return r.SetPowerON(0); }},
      {"meter 11", nullptr, [](auto& r) { return r.SetMeterSW(11); }},
      {"meter negative", nullptr, [](auto& r) { return r.SetMeterSW(-1); }},
      {"meter not fitted", without(71), [](auto& r) { return r.SetMeterSW(1); }},
  });
}

}  // namespace
}  // namespace veltro
