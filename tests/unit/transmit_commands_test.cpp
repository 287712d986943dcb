// Transmit side: switches, power and gains on their scales, monitor, and the multi-purpose
// SetData with its suspension of all output.
#include <cmath>

#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::After;
using testing::CommandRig;
using testing::Entry;
using testing::Reads;

auto Data(std::int16_t l1, std::int16_t l2, double d) {
  return [=](FTDX10_Protocol& r) { return r.SetData(l1, l2, d, ""); };
}

TEST(TransmitCommands, SwitchesPowerGainsMonitorAndData) {
  // clang-format off
  testing::RunCases({
      {"transmit", nullptr, VELTRO_CALL(SetPTT(1)), -1, {"TX1"}, Reads("PTT=1")},
      {"tuner cycle", nullptr, VELTRO_CALL(SetStartTuner()), -1, {"AC002"}},
      {"tuner on", nullptr, VELTRO_CALL(SetTuner(1)), -1, {"AC001"}, Reads("Tuner=1")},
      {"tuner already on", After([](auto& r) { r.SetTuner(1); }), VELTRO_CALL(SetTuner(1)), -1, {}},
      {"processor", nullptr, VELTRO_CALL(SetComp(1)), -1, {"PR01"}, Reads("Comp=1 StatusChange=-1")},
      {"equaliser", nullptr, VELTRO_CALL(SetTXEQ(1)), -1, {"PR11"}, Reads("StatusChange=-1")},
      {"VOX", nullptr, VELTRO_CALL(SetVox(1)), -1, {"VX1"}, Reads("Vox=1 StatusChange=0")},
      {"TX watch", nullptr, VELTRO_CALL(setTXW(1)), -1, {"TS1"}, [](CommandRig& r) { EXPECT_EQ(r.state().TXW, 1); }},
      {"power", nullptr, VELTRO_CALL(SetRFPower(50)), -1, {"PC050"}, Reads("RFPower=50")},
      {"power above 100", nullptr, VELTRO_CALL(SetRFPower(150)), -1, {"PC100"}, Reads("RFPower=100")},
      {"power below 5", nullptr, VELTRO_CALL(SetRFPower(0)), -1, {"PC005"}, Reads("RFPower=5")},
      {"power negative", nullptr, VELTRO_CALL(SetRFPower(-20)), -1, {"PC005"}, Reads("RFPower=5")},
      {"mic gain 128 rounds", nullptr, VELTRO_CALL(SetMicGain(128)), -1, {"MG050"}},
      {"mic gain full keeps the host value", nullptr, VELTRO_CALL(SetMicGain(255)), -1, {"MG100"}, Reads("MicGain=255")},
      {"mic gain beyond full", nullptr, VELTRO_CALL(SetMicGain(1000)), -1, {"MG100"}},
      {"mic gain negative", nullptr, VELTRO_CALL(SetMicGain(-1)), -1, {"MG000"}, Reads("MicGain=-1")},
      {"monitor on", nullptr, VELTRO_CALL(SetMonitor(0, 1)), -1, {"ML0001"}, Reads("Monitor=1")},
      {"monitor level cuts down", nullptr, VELTRO_CALL(SetMonitor(1, 128)), -1, {"ML1050"}, Reads("MonitorLevel=128")},
      {"monitor level full", nullptr, VELTRO_CALL(SetMonitor(1, 255)), -1, {"ML1100"}},
      {"monitor read", nullptr, VELTRO_CALL(SetMonitor(2, 0)), -1, {"ML"}},
      {"monitor selector negative reads", nullptr, VELTRO_CALL(SetMonitor(-1, 0)), -1, {"ML"}},
      {"monitor switch 2", nullptr, VELTRO_CALL(SetMonitor(0, 2)), -1, {"ML0002"}, Reads("Monitor=2")},
      {"narrow on", nullptr, Data(6, 1, 0), 0, {"NA01"}, Reads("Property(57)=1")},
      {"narrow 2", nullptr, Data(6, 2, 0), 0, {"NA02"}, Reads("Property(57)=2")},
      {"contour on", nullptr, Data(3, 0, 1), 0, {"CO0001"}},
      {"contour other value reads", nullptr, Data(3, 0, 2), 0, {"CO00"}},
      {"contour NaN reads", nullptr, Data(3, 0, std::nan("")), 0, {"CO00"}},
      {"contour level full", nullptr, Data(3, 1, 255), 0, {"CO0139"}},
      {"contour level half", nullptr, Data(3, 1, 128), 0, {"CO0119"}},
      {"contour level above the scale", nullptr, Data(3, 1, 300), 0, {"CO0145"}},
      {"contour without contour", Entry(50, 0), Data(3, 0, 1), 0, {}},
      {"contour step down", nullptr, Data(4, -1, 0), 0, {"EX030202-15"}},
      {"contour step up on the FT-891", testing::Ft891(), Data(4, 1, 0), 0, {"EX1202+15"}},
      {"nothing for 2 and 5", nullptr, Data(2, 1, 0), 0, {}},
  });
  // clang-format on
}

TEST(TransmitCommands, SuspendedOutputStillStores) {
  CommandRig rig;
  std::int16_t one = 1;
  EXPECT_EQ(rig.radio->SetData(1, 0, 0, ""), 0);
  EXPECT_EQ(rig.radio->SetComp(one), kTrue);
  EXPECT_EQ(rig.radio->SetRFPower(40), kTrue);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_EQ(rig.radio->Comp(), 1);
  EXPECT_EQ(rig.radio->RFPower(), 40);
  EXPECT_EQ(rig.radio->SetData(1, 1, 0, ""), 0);
  rig.radio->SetVox(one);
  EXPECT_EQ(rig.Sent(), std::vector<std::string>{"VX1"});
}

TEST(TransmitCommands, Refusals) {
  // clang-format off
  testing::RunRefusals({
      {"PTT 2", nullptr, VELTRO_CALL(SetPTT(2))},
      {"PTT negative", nullptr, VELTRO_CALL(SetPTT(-1))},
      {"PTT not fitted", Entry(24, 0), VELTRO_CALL(SetPTT(1))},
      {"tuner cycle not fitted", Entry(36, 0), VELTRO_CALL(SetStartTuner())},
      {"tuner 2", nullptr, VELTRO_CALL(SetTuner(2))},
      {"power not fitted", Entry(26, 0), VELTRO_CALL(SetRFPower(50))},
      {"processor 2", nullptr, VELTRO_CALL(SetComp(2))},
      {"monitor not fitted", Entry(63, 0), VELTRO_CALL(SetMonitor(0, 1))},
      {"TX watch 2", nullptr, VELTRO_CALL(setTXW(2))},
  });
  // clang-format on
}

}  // namespace
}  // namespace veltro
