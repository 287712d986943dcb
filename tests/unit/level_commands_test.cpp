// Receiver levels, front-end selectors, panel functions, noise blanker and reduction, notch,
// transmit side and keyer, in both profiles: the edges of each scale, what each call stores, and
// refusals that send and store nothing.
#include <cmath>

#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::After;
using testing::Both;
using testing::CommandRig;
using testing::Entry;
using testing::Ft891;
using testing::In;
using testing::Reads;
using testing::Step;

Step TuningStep(float hz) {
  return [hz](CommandRig& r) { EXPECT_EQ(r.state().TuningStep, hz); };
}
// The blanker records have no property of their own.
Step Record(int type, std::int16_t on, std::int16_t level = -1) {
  return [=](CommandRig& r) {
    r.state().NBRecord[type].On = on;
    if (level >= 0) r.state().NBRecord[type].Level = level;
  };
}
Step Records(std::int16_t on1, std::int16_t on2) {
  return [=](CommandRig& r) {
    EXPECT_EQ(r.state().NBRecord[1].On, on1);
    EXPECT_EQ(r.state().NBRecord[2].On, on2);
  };
}

// clang-format off
TEST(LevelCommands, ReceiverAndPanel) {
  testing::RunCases({
      {"AF gain", nullptr, VELTRO_CALL(SetAFLevel(0, 5)), -1, {"AG0005"}, Reads("AFLevel(0)=5")},
      {"AF gain beyond the scale goes to the radio", nullptr, VELTRO_CALL(SetAFLevel(0, 256)), -1, {"AG0256"}},
      {"power 2 goes to the radio", nullptr, VELTRO_CALL(SetPowerON(2)), -1, {"PS2"}, Reads("PowerON=2 CAT=2")},
      {"RF gain 0 is full gain", nullptr, VELTRO_CALL(SetRFLevel(0, 0)), -1, {"RG0255"}, Reads("RFLevel(0)=0")},
      {"RF gain beyond the scale", nullptr, VELTRO_CALL(SetRFLevel(0, 300)), -1, {"RG0000"}},
      {"RF gain mid-scale", nullptr, VELTRO_CALL(SetRFLevel(0, 100)), -1, {"RG0155"}},
      {"FT-891 RF gain on its own scale", Ft891(), VELTRO_CALL(SetRFLevel(0, 128)), -1, {"RG0015"}},
      {"squelch", nullptr, VELTRO_CALL(SetSQLevel(0, 20)), -1, {"SQ0020"}, Reads("SQLevel(0)=20")},
      {"sub receiver where fitted", Entry(1, 2), VELTRO_CALL(SetAFLevel(1, 7)), -1, {"AG1007"}, Reads("AFLevel(1)=7")},
      {"AGC", nullptr, VELTRO_CALL(SetAGC(4)), -1, {"GT04"}, Reads("AGC=4")},
      {"attenuator", nullptr, VELTRO_CALL(SetAtt(1)), -1, {"RA01"}, Reads("Att=1")},
      {"pre-amplifier", nullptr, VELTRO_CALL(SetPreAmp(1)), -1, {"PA01"}, Reads("PreAmp=1")},
      {"antenna 1-based on the line", Entry(3, 2), VELTRO_CALL(SetAntenna(1)), -1, {"AN02"}, Reads("Antenna=1")},
      {"roofing filter reads width and shift", nullptr, VELTRO_CALL(SetRFT(0, 2)), -1, {"RF02", "SH0", "IS0"}, Reads("RFT(0)=2")},
      {"sub receiver's roofing filter goes out as 0", nullptr, VELTRO_CALL(SetRFT(1, 5)), -1, {"RF05", "SH0", "IS0"}, Reads("RFT(1)=5")},
      {"fast on in USB", In(1), VELTRO_CALL(SetFast(1)), -1, {"FN0"}, TuningStep(10)},
      {"fast off in USB", In(1), VELTRO_CALL(SetFast(0)), -1, {"FN1"}, TuningStep(1)},
      {"fast 2 only reads", In(1), VELTRO_CALL(SetFast(2)), -1, {"FN"}, Both(Reads("Fast=2"), TuningStep(0))},
      {"FT-891 CW on VFO A", In(2, 891), VELTRO_CALL(SetFast(0)), -1, {"FS0"}, TuningStep(5)},
      {"FT-891 FM on VFO B", In(4, 891, 1), VELTRO_CALL(SetFast(1)), -1, {"FS3"}, TuningStep(1000)},
      {"lock VFO B", In(1, 10, 1), VELTRO_CALL(SetLockDial(1)), -1, {"LK3"}},
      {"dimmer", nullptr, VELTRO_CALL(SetDimLevel(7)), -1, {"DA00070707"}, Reads("DimLevel=7")},
      {"dual where fitted", Entry(10, 1), VELTRO_CALL(SetDual(1)), -1, {"FR2"}},
      {"power off", nullptr, VELTRO_CALL(SetPowerON(0)), -1, {"PS0"},
       [](CommandRig& r) { Reads("PowerON=0 CAT=0")(r); EXPECT_EQ(r.state().AIState, -1); }},
      {"meter ALC", nullptr, VELTRO_CALL(SetMeterSW(2)), -1, {"MS2", "MS", "RM4"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->MeterCaption(), "ALC"); EXPECT_EQ(r.state().MeterIndex, "4"); }},
      {"meter without caption", nullptr, VELTRO_CALL(SetMeterSW(10)), -1, {"MS10", "MS", "RM0"}, Reads("MeterCaption=")},
      {"FT-891 meter keeps its RM digit", Ft891(), VELTRO_CALL(SetMeterSW(3)), -1, {"MS3", "MS", "RM2"}},
      {"zero in", nullptr, VELTRO_CALL(SetZeroIN()), -1, {"ZI"}},
  });
}

// NR, NF and KeyerSpeed hold the level while the function is on and 1000 + the level while off.
TEST(LevelCommands, NoiseAndNotch) {
  testing::RunCases({
      {"NR on from fresh", nullptr, VELTRO_CALL(SetNR(5)), -1, {"NR01", "RL005"}, Reads("NR=5 StatusChange=-1")},
      {"NR off keeps the level", After([](auto& r) { r.SetNR(7); }), VELTRO_CALL(SetNR(0)), -1, {"NR00"}, Reads("NR=1007")},
      {"NR on again from off", After([](auto& r) { r.SetNR(7), r.SetNR(0); }), VELTRO_CALL(SetNR(15)), -1, {"NR01", "RL015"}, Reads("NR=15")},
      {"NR level change alone leaves StatusChange", After([](auto& r) { r.SetNR(3); }, true), VELTRO_CALL(SetNR(4)), -1, {"RL004"}, Reads("NR=4 StatusChange=0")},
      {"notch off keeps level and frequency", After([](auto& r) { r.SetNF(100); }), VELTRO_CALL(SetNF(0)), -1, {"BP00000"}, Reads("NF=1100 FNotch=1000")},
      {"notch change always flags status", After([](auto& r) { r.SetNF(5); }, true), VELTRO_CALL(SetNF(6)), -1, {"BP01006"}, Reads("StatusChange=-1")},
      {"blanker type 1 reads its level", Record(1, 0, 4), VELTRO_CALL(SetNBType(1)), -1, {"NB01", "NL0"}, Both(Reads("NBType=1 NB=4"), Records(1, 0))},
      {"blanker type 2 where fitted", Both(Entry(61, 2), Record(1, 1)), VELTRO_CALL(SetNBType(2)), -1, {"NB02", "NL0"}, Records(0, 1)},
      {"blanker off", Record(1, 1), VELTRO_CALL(SetNBType(0)), -1, {"NB00"}, Both(Reads("NBType=0"), Records(0, 0))},
      {"blanker level for the type in use", nullptr, VELTRO_CALL(SetNB(5)), -1, {"NL0005"},
       Both(Reads("NB=5"), [](CommandRig& r) { EXPECT_EQ(r.state().NBRecord[1].Level, 5); EXPECT_EQ(r.state().NBRecord[1].On, 1); })},
      {"auto notch 2 goes to the radio", nullptr, VELTRO_CALL(SetAutoNF(2)), -1, {"BC02"}, Reads("AutoNF=2")},
  });
}

TEST(LevelCommands, TransmitSide) {
  testing::RunCases({
      {"PTT", nullptr, VELTRO_CALL(SetPTT(1)), -1, {"TX1"}, Reads("PTT=1")},
      {"tuner on", nullptr, VELTRO_CALL(SetTuner(1)), -1, {"AC001"}, Reads("Tuner=1")},
      {"tuner already on", After([](auto& r) { r.SetTuner(1); }), VELTRO_CALL(SetTuner(1)), -1, {}},
      {"tuning start", nullptr, VELTRO_CALL(SetStartTuner()), -1, {"AC002"}},
      {"processor", nullptr, VELTRO_CALL(SetComp(1)), -1, {"PR01"}, Reads("Comp=1 StatusChange=-1")},
      {"equaliser", nullptr, VELTRO_CALL(SetTXEQ(1)), -1, {"PR11"}, Reads("TXEQ=1")},
      {"VOX", nullptr, VELTRO_CALL(SetVox(1)), -1, {"VX1"}, Reads("Vox=1 StatusChange=0")},
      {"TX watch", nullptr, VELTRO_CALL(setTXW(1)), -1, {"TS1"}},
      {"power above 100", nullptr, VELTRO_CALL(SetRFPower(150)), -1, {"PC100"}, Reads("RFPower=100")},
      {"power below 5", nullptr, VELTRO_CALL(SetRFPower(0)), -1, {"PC005"}, Reads("RFPower=5")},
      {"mic gain full keeps the host value", nullptr, VELTRO_CALL(SetMicGain(255)), -1, {"MG100"}, Reads("MicGain=255")},
      {"mic gain half", nullptr, VELTRO_CALL(SetMicGain(128)), -1, {"MG050"}},
      {"mic gain negative", nullptr, VELTRO_CALL(SetMicGain(-1)), -1, {"MG000"}, Reads("MicGain=-1")},
      {"monitor level full", nullptr, VELTRO_CALL(SetMonitor(1, 255)), -1, {"ML1100"}, Reads("MonitorLevel=255")},
      {"monitor level half", nullptr, VELTRO_CALL(SetMonitor(1, 128)), -1, {"ML1050"}},
      {"monitor switch 2", nullptr, VELTRO_CALL(SetMonitor(0, 2)), -1, {"ML0002"}, Reads("Monitor=2")},
      {"monitor read", nullptr, VELTRO_CALL(SetMonitor(2, 0)), -1, {"ML"}},
      {"narrow on", nullptr, VELTRO_CALL(SetData(6, 1, 0, "")), 0, {"NA01"}, Reads("Property(57)=1")},
      {"contour on", nullptr, VELTRO_CALL(SetData(3, 0, 1, "")), 0, {"CO0001"}},
      {"contour level full", nullptr, VELTRO_CALL(SetData(3, 1, 255, "")), 0, {"CO0139"}},
      {"contour without contour", Entry(50, 0), VELTRO_CALL(SetData(3, 0, 1, "")), 0, {}},
      {"contour step down", nullptr, VELTRO_CALL(SetData(4, -1, 0, "")), 0, {"EX030202-15"}},
      {"contour step up on the FT-891", Ft891(), VELTRO_CALL(SetData(4, 1, 0, "")), 0, {"EX1202+15"}},
      {"nothing for 2 and 5", nullptr, VELTRO_CALL(SetData(2, 1, 0, "")), 0, {}},
      // Held output: calls still store, nothing goes out until it is released.
      {"held output", After([](auto& r) { r.SetData(1, 0, 0, ""); }), VELTRO_CALL(SetComp(1)), -1, {}, Reads("Comp=1")},
      {"released output", After([](auto& r) { r.SetData(1, 0, 0, ""), r.SetData(1, 1, 0, ""); }), VELTRO_CALL(SetVox(1)), -1, {"VX1"}},
  });
}

TEST(LevelCommands, KeyerAndBreakIn) {
  testing::RunCases({
      {"break-in 2 goes to the radio", nullptr, VELTRO_CALL(SetBK(2)), -1, {"BI2"}, Reads("BK=2")},
      {"short delay as it comes", nullptr, VELTRO_CALL(SetBKIn(5)), -1, {"EX0201130", "SD05"}, Reads("FullBK=0 BKIn=5")},
      {"delay 7 and 8 share a code", nullptr, VELTRO_CALL(SetBKIn(8)), -1, {"EX0201130", "SD07"}},
      {"full break-in", nullptr, VELTRO_CALL(SetBKIn(0)), -1, {"EX0201131"}, Reads("FullBK=1 BKIn=0")},
      {"longest delay", nullptr, VELTRO_CALL(SetBKIn(30)), -1, {"EX0201130", "SD18"}},
      {"FT-891 delay in milliseconds", Ft891(), VELTRO_CALL(SetBKIn(6)), -1, {"EX07080", "SD0300"}},
      {"keyer on from fresh", nullptr, VELTRO_CALL(SetKeyerSpeed(128)), -1, {"KR1", "KS032"}, Reads("KeyerSpeed=128 KeyerWPM=32 StatusChange=-1")},
      {"slowest", After([](auto& r) { r.SetKeyerSpeed(10); }), VELTRO_CALL(SetKeyerSpeed(1)), -1, {"KS004"}},
      {"fastest", After([](auto& r) { r.SetKeyerSpeed(10); }), VELTRO_CALL(SetKeyerSpeed(255)), -1, {"KS060"}, Reads("KeyerWPM=60")},
      {"keyer off keeps the speed", After([](auto& r) { r.SetKeyerSpeed(128); }), VELTRO_CALL(SetKeyerSpeed(0)), -1, {"KR0"}, Reads("KeyerSpeed=1128 KeyerWPM=32")},
      {"on again once the radio reported it off at level 0", [](CommandRig& r) { testing::Feed(r, "KS004;"); }, VELTRO_CALL(SetKeyerSpeed(64)), -1, {"KR1", "KS018"}},
      {"pitch one digit", nullptr, VELTRO_CALL(SetPitch(350)), -1, {"KP05"}},
      {"pitch below 300", nullptr, VELTRO_CALL(SetPitch(250)), -1, {"KP0-5"}, Reads("Pitch=250")},
      {"spot", nullptr, VELTRO_CALL(SetSpot(1)), -1, {"CS1"}},
      {"voice message", nullptr, VELTRO_CALL(SetVoiceMessage(3)), -1, {"PB03"}},
      {"play 1", nullptr, VELTRO_CALL(SetKeyerMessage(0, 1, "")), -1, {"KY6"}},
      {"play 5", nullptr, VELTRO_CALL(SetKeyerMessage(0, 5, "")), -1, {"KYA"}},
      {"store upper-cased and trimmed", nullptr, VELTRO_CALL(SetKeyerMessage(1, 2, "  cq test ")), -1, {"KM2CQ TEST"}},
      {"store cut to 40", nullptr, VELTRO_CALL(SetKeyerMessage(1, 1, std::string(39, 'x') + "bc")), -1, {"KM1" + std::string(39, 'X') + "B"}},
      {"store: a \";\" beyond the cut is cut away", nullptr, VELTRO_CALL(SetKeyerMessage(1, 1, std::string(39, 'x') + "y;KY6")), -1, {"KM1" + std::string(39, 'X') + "Y"}},
      {"other LOAD sends nothing", nullptr, VELTRO_CALL(SetKeyerMessage(2, 1, "CQ")), -1, {}},
  });
}

TEST(LevelCommands, Refusals) {
  testing::RunCases({
      {"AF sub receiver", nullptr, VELTRO_CALL(SetAFLevel(1, 5)), 0, {}},
      {"AF receiver negative", nullptr, VELTRO_CALL(SetAFLevel(-1, 5)), 0, {}},
      {"AF receiver beyond the cache", Entry(1, 3), VELTRO_CALL(SetAFLevel(2, 5)), 0, {}},
      {"AF level negative", nullptr, VELTRO_CALL(SetAFLevel(0, -1)), 0, {}},
      {"AGC 5", nullptr, VELTRO_CALL(SetAGC(5)), 0, {}},
      {"antenna on a one-antenna radio", nullptr, VELTRO_CALL(SetAntenna(0)), 0, {}},
      {"FT-891 roofing", Ft891(), VELTRO_CALL(SetRFT(0, 1)), 0, {}},
      {"dual not fitted", nullptr, VELTRO_CALL(SetDual(1)), 0, {}},
      {"fast negative", nullptr, VELTRO_CALL(SetFast(-1)), 0, {}},
      {"FT-891 dimmer 16", Ft891(), VELTRO_CALL(SetDimLevel(16)), 0, {}},
      {"meter 11", nullptr, VELTRO_CALL(SetMeterSW(11)), 0, {}},
      {"NR above the entry", nullptr, VELTRO_CALL(SetNR(16)), 0, {}},
      {"blanker level while off", After([](auto& r) { r.SetNBType(0); }), VELTRO_CALL(SetNB(5)), 0, {}},
      {"blanker type the library has no record for", [](CommandRig& r) { r.state().NBType = 3; }, VELTRO_CALL(SetNB(5)), 0, {}},
      {"blanker level above the entry", nullptr, VELTRO_CALL(SetNB(11)), 0, {}},
      {"PTT 2", nullptr, VELTRO_CALL(SetPTT(2)), 0, {}},
      {"tuner 2", nullptr, VELTRO_CALL(SetTuner(2)), 0, {}},
      {"monitor not fitted", Entry(63, 0), VELTRO_CALL(SetMonitor(0, 1)), 0, {}},
      {"delay above the entry", nullptr, VELTRO_CALL(SetBKIn(31)), 0, {}},
      {"pitch negative", nullptr, VELTRO_CALL(SetPitch(-1)), 0, {}},
      {"voice message 6", nullptr, VELTRO_CALL(SetVoiceMessage(6)), 0, {}},
      {"keyer message 6", nullptr, VELTRO_CALL(SetKeyerMessage(0, 6, "")), 0, {}},
      {"LOAD negative", nullptr, VELTRO_CALL(SetKeyerMessage(-1, 1, "")), 0, {}},
      {"text with ;", nullptr, VELTRO_CALL(SetKeyerMessage(1, 1, "CQ;KY6")), 0, {}},
  });
}
// clang-format on

TEST(LevelCommands, PowerOnWaitsThenSwitchesCatOn) {
  CommandRig rig;
  std::int64_t start = rig.vp.NowMs();
  EXPECT_EQ(rig.radio->SetPowerON(1), kTrue);
  EXPECT_GE(rig.vp.NowMs() - start, 1000);
  auto sent = rig.Sent();
  sent.resize(4);
  EXPECT_EQ(sent, (std::vector<std::string>{"PS1", "PS1", "ID", "AI0"}));
  EXPECT_EQ(rig.Read("CAT PowerON"), "CAT=1 PowerON=1");
}

}  // namespace
}  // namespace veltro
