// Noise blanker, noise reduction and notch: the texts on the line, the combined
// level-or-1000+level value, and refusals that send and store nothing.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::CommandCase;
using testing::CommandRig;
using testing::RefusalCase;

TEST(NoiseCommands, SwitchPlusLevel) {
  auto nr_off_at = [](std::int16_t level) {
    return [level](CommandRig& r) {
      r.radio->SetNR(level);
      r.radio->SetNR(0);
    };
  };
  testing::RunCases({
      {"NR on from fresh",
       nullptr,
       [](auto& r) { return r.SetNR(5); },
       -1,
       {"NR01", "RL005"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->NR(), 5);
         EXPECT_EQ(r.state().NROn, 1);
         EXPECT_EQ(r.radio->StatusChange(), kTrue);
       }},
      {"NR level while on",
       [](CommandRig& r) { r.radio->SetNR(5); },
       [](auto& r) { return r.SetNR(7); },
       -1,
       {"RL007"},
       testing::Reads({{"NR", 7}})},
      {"NR off keeps the level",
       [](CommandRig& r) { r.radio->SetNR(7); },
       [](auto& r) { return r.SetNR(0); },
       -1,
       {"NR00"},
       testing::Reads({{"NR", 1007}})},
      {"NR on again from off",
       nr_off_at(7),
       [](auto& r) { return r.SetNR(15); },
       -1,
       {"NR01", "RL015"},
       testing::Reads({{"NR", 15}})},
      {"NR level change alone leaves StatusChange",
       [](CommandRig& r) {
         r.radio->SetNR(3);
         r.radio->StatusChange(kFalse);
       },
       [](auto& r) { return r.SetNR(4); },
       -1,
       {"RL004"},
       testing::Reads({{"StatusChange", 0}})},
      {"notch on from fresh",
       nullptr,
       [](auto& r) { return r.SetNF(100); },
       -1,
       {"BP00001", "BP01100"},
       testing::Reads({{"NF", 100}, {"FNotch", 1000}})},
      {"notch off keeps level and frequency",
       [](CommandRig& r) { r.radio->SetNF(100); },
       [](auto& r) { return r.SetNF(0); },
       -1,
       {"BP00000"},
       testing::Reads({{"NF", 1100}, {"FNotch", 1000}})},
      {"notch change always flags status",
       [](CommandRig& r) {
         r.radio->SetNF(5);
         r.radio->StatusChange(kFalse);
       },
       [](auto& r) { return r.SetNF(6); },
       -1,
       {"BP01006"},
       testing::Reads({{"StatusChange", -1}})},
  });
}

TEST(NoiseCommands, BlankerAndAutoNotch) {
  testing::RunCases({
      {"type 1 reads its level",
       [](CommandRig& r) { r.state().NBRecord[1].Level = 4; },
       [](auto& r) { return r.SetNBType(1); },
       -1,
       {"NB01", "NL0"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->NBType(), 1);
         EXPECT_EQ(r.radio->NB(), 4);
         EXPECT_EQ(r.state().NBRecord[1].On, 1);
         EXPECT_EQ(r.state().NBRecord[2].On, 0);
       }},
      {"type 2 where fitted",
       [](CommandRig& r) {
         r.state().Property[61] = 2;
         r.state().NBRecord[1].On = 1;
       },
       [](auto& r) { return r.SetNBType(2); },
       -1,
       {"NB02", "NL0"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().NBRecord[2].On, 1);
         EXPECT_EQ(r.state().NBRecord[1].On, 0);
       }},
      {"blanker off",
       [](CommandRig& r) { r.state().NBRecord[1].On = 1; },
       [](auto& r) { return r.SetNBType(0); },
       -1,
       {"NB00"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->NBType(), 0);
         EXPECT_EQ(r.state().NBRecord[1].On, 0);
       }},
      {"level for the type in use",
       nullptr,
       [](auto& r) { return r.SetNB(5); },
       -1,
       {"NL0005"},
       [](CommandRig& r) {
         EXPECT_EQ(r.radio->NB(), 5);
         EXPECT_EQ(r.state().NBRecord[1].Level, 5);
         EXPECT_EQ(r.state().NBRecord[1].On, 1);
       }},
      {"level 10 on the FT-891",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetNB(10); },
       -1,
       {"NL0010"}},
      {"auto notch on",
       nullptr,
       [](auto& r) { return r.SetAutoNF(1); },
       -1,
       {"BC01"},
       [](CommandRig& r) { EXPECT_EQ(r.radio->AutoNF(), Variant(std::int16_t{1})); }},
  });
}

TEST(NoiseCommands, Refusals) {
  testing::RunRefusals({
      {"NR above the entry", nullptr, [](auto& r) { return r.SetNR(16); }},
      {"NR negative", nullptr, [](auto& r) { return r.SetNR(-1); }},
      {"NR not fitted", [](CommandRig& r) { r.state().Property[19] = 0; },
       [](auto& r) { return r.SetNR(1); }},
      {"notch above the entry", nullptr, [](auto& r) { return r.SetNF(321); }},
      {"notch negative", nullptr, [](auto& r) { return r.SetNF(-5); }},
      {"blanker type 2 not fitted", nullptr, [](auto& r) { return r.SetNBType(2); }},
      {"blanker level while off", [](CommandRig& r) { r.radio->SetNBType(0); },
       [](auto& r) { return r.SetNB(5); }},
      {"blanker type the library has no record for", [](CommandRig& r) { r.state().NBType = 3; },
       [](auto& r) { return r.SetNB(5); }},
      {"blanker level above the entry", nullptr, [](auto& r) { return r.SetNB(11); }},
      {"auto notch 2", nullptr, [](auto& r) { return r.SetAutoNF(2); }},
      {"auto notch not fitted", [](CommandRig& r) { r.state().Property[44] = 0; },
       [](auto& r) { return r.SetAutoNF(1); }},
  });
}

}  // namespace
}  // namespace veltro
