// Noise blanker, noise reduction and notch: the texts on the line, the combined
// level-or-1000+level value, and refusals that send and store nothing.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::After;
using testing::Both;
using testing::CommandRig;
using testing::Entry;
using testing::Reads;
using testing::Step;

// Set-ups and checks on the blanker records, which have no property of their own.
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
TEST(NoiseCommands, SwitchPlusLevelAndBlanker) {
  // clang-format off
  testing::RunCases({
      {"NR on from fresh", nullptr, VELTRO_CALL(SetNR(5)), -1, {"NR01", "RL005"}, Both(Reads("NR=5 StatusChange=-1"), [](CommandRig& r) { EXPECT_EQ(r.state().NROn, 1); })},
      {"NR level while on", After([](auto& r) { r.SetNR(5); }), VELTRO_CALL(SetNR(7)), -1, {"RL007"}, Reads("NR=7")},
      {"NR off keeps the level", After([](auto& r) { r.SetNR(7); }), VELTRO_CALL(SetNR(0)), -1, {"NR00"}, Reads("NR=1007")},
      {"NR on again from off", After([](auto& r) { r.SetNR(7), r.SetNR(0); }), VELTRO_CALL(SetNR(15)), -1, {"NR01", "RL015"}, Reads("NR=15")},
      {"NR level change alone leaves StatusChange", After([](auto& r) { r.SetNR(3); }, true), VELTRO_CALL(SetNR(4)), -1, {"RL004"}, Reads("StatusChange=0")},
      {"notch on from fresh", nullptr, VELTRO_CALL(SetNF(100)), -1, {"BP00001", "BP01100"}, Reads("NF=100 FNotch=1000")},
      {"notch off keeps level and frequency", After([](auto& r) { r.SetNF(100); }), VELTRO_CALL(SetNF(0)), -1, {"BP00000"}, Reads("NF=1100 FNotch=1000")},
      {"notch change always flags status", After([](auto& r) { r.SetNF(5); }, true), VELTRO_CALL(SetNF(6)), -1, {"BP01006"}, Reads("StatusChange=-1")},
      {"blanker type 1 reads its level", Record(1, 0, 4), VELTRO_CALL(SetNBType(1)), -1, {"NB01", "NL0"}, Both(Reads("NBType=1 NB=4"), Records(1, 0))},
      {"blanker type 2 where fitted", Both(Entry(61, 2), Record(1, 1)), VELTRO_CALL(SetNBType(2)), -1, {"NB02", "NL0"}, Records(0, 1)},
      {"blanker off", Record(1, 1), VELTRO_CALL(SetNBType(0)), -1, {"NB00"}, Both(Reads("NBType=0"), Records(0, 0))},
      {"blanker level for the type in use", nullptr, VELTRO_CALL(SetNB(5)), -1, {"NL0005"}, Both(Reads("NB=5"), [](CommandRig& r) { EXPECT_EQ(r.state().NBRecord[1].Level, 5); EXPECT_EQ(r.state().NBRecord[1].On, 1); })},
      {"blanker level 10 on the FT-891", testing::Ft891(), VELTRO_CALL(SetNB(10)), -1, {"NL0010"}},
      {"auto notch on", nullptr, VELTRO_CALL(SetAutoNF(1)), -1, {"BC01"}, Reads("AutoNF=1")},
      {"auto notch 2 goes to the radio", nullptr, VELTRO_CALL(SetAutoNF(2)), -1, {"BC02"}, Reads("AutoNF=2")},
  });
  // clang-format on
}

TEST(NoiseCommands, Refusals) {
  // clang-format off
  testing::RunRefusals({
      {"NR above the entry", nullptr, VELTRO_CALL(SetNR(16))},
      {"NR negative", nullptr, VELTRO_CALL(SetNR(-1))},
      {"NR not fitted", Entry(19, 0), VELTRO_CALL(SetNR(1))},
      {"notch above the entry", nullptr, VELTRO_CALL(SetNF(321))},
      {"notch negative", nullptr, VELTRO_CALL(SetNF(-5))},
      {"blanker type 2 not fitted", nullptr, VELTRO_CALL(SetNBType(2))},
      {"blanker level while off", After([](auto& r) { r.SetNBType(0); }), VELTRO_CALL(SetNB(5))},
      {"blanker type the library has no record for", [](CommandRig& r) { r.state().NBType = 3; }, VELTRO_CALL(SetNB(5))},
      {"blanker level above the entry", nullptr, VELTRO_CALL(SetNB(11))},
      {"auto notch not fitted", Entry(44, 0), VELTRO_CALL(SetAutoNF(1))},
  });
  // clang-format on
}

}  // namespace
}  // namespace veltro
