// Transmit side: switches, power and gains on their scales, monitor, and the multi-purpose
// SetData with its suspension of all output.
#include <cmath>

#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::CommandCase;
using testing::CommandRig;
using testing::RefusalCase;

TEST(TransmitCommands, Switches) {
  testing::RunCases({
      {"transmit",
       nullptr,
       [](auto& r) { return r.SetPTT(1); },
       -1,
       {"TX1"},
       testing::Reads({{"PTT", 1}})},
      {"tuner cycle", nullptr, [](auto& r) { return r.SetStartTuner(); }, -1, {"AC002"}},
      {"tuner on",
       nullptr,
       [](auto& r) { return r.SetTuner(1); },
       -1,
       {"AC001"},
       testing::Reads({{"Tuner", 1}})},
      {"tuner already on",
       [](CommandRig& r) { r.radio->SetTuner(1); },
       [](auto& r) { return r.SetTuner(1); },
       -1,
       {}},
      {"processor",
       nullptr,
       [](auto& r) { return r.SetComp(1); },
       -1,
       {"PR01"},
       testing::Reads({{"Comp", 1}, {"StatusChange", -1}})},
      {"equaliser",
       nullptr,
       [](auto& r) { return r.SetTXEQ(1); },
       -1,
       {"PR11"},
       testing::Reads({{"StatusChange", -1}})},
      {"VOX",
       nullptr,
       [](auto& r) { return r.SetVox(1); },
       -1,
       {"VX1"},
       testing::Reads({{"Vox", 1}, {"StatusChange", 0}})},
      {"TX watch",
       nullptr,
       [](auto& r) { return r.setTXW(1); },
       -1,
       {"TS1"},
       [](CommandRig& r) { EXPECT_EQ(r.state().TXW, 1); }},
  });
}

TEST(TransmitCommands, PowerGainsAndMonitor) {
  auto power = [](std::int16_t w) {
    return [w](CommandRig& r) { EXPECT_EQ(r.radio->RFPower(), w); };
  };
  testing::RunCases({
      {"power", nullptr, [](auto& r) { return r.SetRFPower(50); }, -1, {"PC050"}, power(50)},
      {"power above 100",
       nullptr,
       [](auto& r) { return r.SetRFPower(150); },
       -1,
       {"PC100"},
       power(100)},
      {"power below 5", nullptr, [](auto& r) { return r.SetRFPower(0); }, -1, {"PC005"}, power(5)},
      {"power negative",
       nullptr,
       [](auto& r) { return r.SetRFPower(-20); },
       -1,
       {"PC005"},
       power(5)},
      {"mic gain 128 rounds", nullptr, [](auto& r) { return r.SetMicGain(128); }, -1, {"MG050"}},
      {"mic gain full keeps the host value",
       nullptr,
       [](auto& r) { return r.SetMicGain(255); },
       -1,
       {"MG100"},
       testing::Reads({{"MicGain", 255}})},
      {"mic gain beyond full", nullptr, [](auto& r) { return r.SetMicGain(1000); }, -1, {"MG100"}},
      {"monitor on",
       nullptr,
       [](auto& r) { return r.SetMonitor(0, 1); },
       -1,
       {"ML0001"},
       testing::Reads({{"Monitor", 1}})},
      {"monitor level cuts down",
       nullptr,
       [](auto& r) { return r.SetMonitor(1, 128); },
       -1,
       {"ML1050"},
       testing::Reads({{"MonitorLevel", 128}})},
      {"monitor level full", nullptr, [](auto& r) { return r.SetMonitor(1, 255); }, -1, {"ML1100"}},
      {"monitor read", nullptr, [](auto& r) { return r.SetMonitor(2, 0); }, -1, {"ML"}},
  });
}

TEST(TransmitCommands, DataEntry) {
  auto data = [](std::int16_t l1, std::int16_t l2, double d) {
    return [=](FTDX10_Protocol& r) { return r.SetData(l1, l2, d, ""); };
  };
  testing::RunCases({
      {"narrow on", nullptr, data(6, 1, 0), 0, {"NA01"}, testing::Reads({{"Property(57)", 1}})},
      {"narrow out of range", nullptr, data(6, 2, 0), 0, {}},
      {"contour on", nullptr, data(3, 0, 1), 0, {"CO0001"}},
      {"contour off", nullptr, data(3, 0, 0), 0, {"CO0000"}},
      {"contour other value reads", nullptr, data(3, 0, 2), 0, {"CO00"}},
      {"contour NaN reads", nullptr, data(3, 0, std::nan("")), 0, {"CO00"}},
      {"contour level full", nullptr, data(3, 1, 255), 0, {"CO0139"}},
      {"contour level half", nullptr, data(3, 1, 128), 0, {"CO0119"}},
      {"contour level out of range", nullptr, data(3, 1, 300), 0, {}},
      {"contour without contour",
       [](CommandRig& r) { r.state().Property[50] = 0; },
       data(3, 0, 1),
       0,
       {}},
      {"contour step down", nullptr, data(4, -1, 0), 0, {"EX030202-15"}},
      {"contour step up on the FT-891",
       [](CommandRig& r) { r.UseFt891(); },
       data(4, 1, 0),
       0,
       {"EX1202+15"}},
      {"nothing for 2 and 5", nullptr, data(2, 1, 0), 0, {}},
  });
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
  auto without = [](int entry) {
    return [entry](CommandRig& r) { r.state().Property[entry] = 0; };
  };
  testing::RunRefusals({
      {"PTT 2", nullptr, [](auto& r) { return r.SetPTT(2); }},
      {"PTT negative", nullptr, [](auto& r) { return r.SetPTT(-1); }},
      {"PTT not fitted", without(24), [](auto& r) { return r.SetPTT(1); }},
      {"tuner cycle not fitted", without(36), [](auto& r) { return r.SetStartTuner(); }},
      {"tuner 2", nullptr, [](auto& r) { return r.SetTuner(2); }},
      {"power not fitted", without(26), [](auto& r) { return r.SetRFPower(50); }},
      {"mic gain negative", nullptr, [](auto& r) { return r.SetMicGain(-1); }},
      {"processor 2", nullptr, [](auto& r) { return r.SetComp(2); }},
      {"monitor switch 2", nullptr, [](auto& r) { return r.SetMonitor(0, 2); }},
      {"monitor level negative", nullptr, [](auto& r) { return r.SetMonitor(1, -1); }},
      {"monitor selector negative", nullptr, [](auto& r) { return r.SetMonitor(-1, 0); }},
      {"monitor not fitted", without(63), [](auto& r) { return r.SetMonitor(0, 1); }},
      {"TX watch 2", nullptr, [](auto& r) { return r.setTXW(2); }},
  });
}

}  // namespace
}  // namespace veltro
