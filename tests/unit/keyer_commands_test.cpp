// Break-in, keyer speed with its combined value, pitch, spot, zero-in and the messages.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::CommandCase;
using testing::CommandRig;
using testing::RefusalCase;

TEST(KeyerCommands, BreakIn) {
  auto full = [](std::int16_t f, std::int16_t delay) {
    return [=](CommandRig& r) {
      EXPECT_EQ(r.radio->FullBK(), f);
      EXPECT_EQ(r.radio->BKIn(), delay);
    };
  };
  testing::RunCases({
      {"break-in on",
       nullptr,
       [](auto& r) { return r.SetBK(1); },
       -1,
       {"BI1"},
       testing::Reads({{"BK", 1}})},
      {"full break-in",
       nullptr,
       [](auto& r) { return r.SetBKIn(0); },
       -1,
       {"EX0201131"},
       full(1, 0)},
      {"short delay as it comes",
       nullptr,
       [](auto& r) { return r.SetBKIn(5); },
       -1,
       {"EX0201130", "SD05"},
       full(0, 5)},
      {"delay 7 and 8 share a code",
       nullptr,
       [](auto& r) { return r.SetBKIn(8); },
       -1,
       {"EX0201130", "SD07"}},
      {"longest delay",
       nullptr,
       [](auto& r) { return r.SetBKIn(30); },
       -1,
       {"EX0201130", "SD18"},
       full(0, 30)},
      {"FT-891 delay in ms",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetBKIn(6); },
       -1,
       {"EX07080", "SD0300"}},
      {"FT-891 full break-in",
       [](CommandRig& r) { r.UseFt891(); },
       [](auto& r) { return r.SetBKIn(0); },
       -1,
       {"EX07081"}},
  });
}

TEST(KeyerCommands, KeyerSpeedAndPitch) {
  testing::RunCases({
      {"keyer on from fresh",
       nullptr,
       [](auto& r) { return r.SetKeyerSpeed(128); },
       -1,
       {"KR1", "KS032"},
       testing::Reads({{"KeyerSpeed", 128}, {"KeyerWPM", 32}, {"StatusChange", -1}})},
      {"slowest",
       [](CommandRig& r) { r.radio->SetKeyerSpeed(10); },
       [](auto& r) { return r.SetKeyerSpeed(1); },
       -1,
       {"KS004"}},
      {"fastest",
       [](CommandRig& r) { r.radio->SetKeyerSpeed(10); },
       [](auto& r) { return r.SetKeyerSpeed(255); },
       -1,
       {"KS060"},
       testing::Reads({{"KeyerWPM", 60}})},
      {"keyer off keeps the speed",
       [](CommandRig& r) { r.radio->SetKeyerSpeed(128); },
       [](auto& r) { return r.SetKeyerSpeed(0); },
       -1,
       {"KR0"},
       testing::Reads({{"KeyerSpeed", 1128}, {"KeyerWPM", 32}})},
      {"on again from off",
       [](CommandRig& r) {
         r.radio->SetKeyerSpeed(128);
         r.radio->SetKeyerSpeed(0);
       },
       [](auto& r) { return r.SetKeyerSpeed(64); },
       -1,
       {"KR1", "KS018"}},
      {"pitch 600",
       nullptr,
       [](auto& r) { return r.SetPitch(600); },
       -1,
       {"KP30"},
       testing::Reads({{"Pitch", 600}})},
      {"pitch one digit", nullptr, [](auto& r) { return r.SetPitch(350); }, -1, {"KP05"}},
      {"pitch lowest", nullptr, [](auto& r) { return r.SetPitch(300); }, -1, {"KP00"}},
      {"pitch highest", nullptr, [](auto& r) { return r.SetPitch(1050); }, -1, {"KP75"}},
      {"pitch between steps", nullptr, [](auto& r) { return r.SetPitch(619); }, -1, {"KP31"}},
      {"zero-in", nullptr, [](auto& r) { return r.SetZeroIN(); }, -1, {"ZI"}},
  });
}

TEST(KeyerCommands, Messages) {
  auto keyer = [](std::int16_t load, std::int16_t msg, std::string text) {
    return [=](FTDX10_Protocol& r) { return r.SetKeyerMessage(load, msg, text); };
  };
  testing::RunCases({
      {"voice message 3", nullptr, [](auto& r) { return r.SetVoiceMessage(3); }, -1, {"PB03"}},
      {"play 1", nullptr, keyer(0, 1, ""), -1, {"KY6"}},
      {"play 5", nullptr, keyer(0, 5, ""), -1, {"KYA"}},
      {"play 0", nullptr, keyer(0, 0, ""), -1, {"KY5"}},
      {"store upper-cased and trimmed", nullptr, keyer(1, 2, "  cq test "), -1, {"KM2CQ TEST"}},
      {"store cut to 40",
       nullptr,
       keyer(1, 1, std::string(39, 'a') + "bc"),
       -1,
       {"KM1" + std::string(39, 'A') + "B"}},
      {"store: trimming follows the cut",
       nullptr,
       keyer(1, 1, std::string(39, 'x') + " y"),
       -1,
       {"KM1" + std::string(39, 'X')}},
      {"other LOAD sends nothing", nullptr, keyer(2, 1, "CQ"), -1, {}},
  });
}

TEST(KeyerCommands, Refusals) {
  auto without = [](int entry) {
    return [entry](CommandRig& r) { r.state().Property[entry] = 0; };
  };
  testing::RunRefusals({
      {"break-in 2", nullptr, [](auto& r) { return r.SetBK(2); }},
      {"delay above the entry", nullptr, [](auto& r) { return r.SetBKIn(31); }},
      {"delay negative", nullptr, [](auto& r) { return r.SetBKIn(-1); }},
      {"keyer negative", nullptr, [](auto& r) { return r.SetKeyerSpeed(-1); }},
      {"keyer above the scale", nullptr, [](auto& r) { return r.SetKeyerSpeed(256); }},
      {"keyer combined value passed back", nullptr, [](auto& r) { return r.SetKeyerSpeed(1128); }},
      {"keyer not fitted", without(14), [](auto& r) { return r.SetKeyerSpeed(100); }},
      {"pitch below 300", nullptr, [](auto& r) { return r.SetPitch(299); }},
      {"pitch above 1050", nullptr, [](auto& r) { return r.SetPitch(1060); }},
      {"pitch not fitted", without(21), [](auto& r) { return r.SetPitch(600); }},
      {"spot 2", nullptr, [](auto& r) { return r.SetSpot(2); }},
      {"zero-in not fitted", without(69), [](auto& r) { return r.SetZeroIN(); }},
      {"voice message 6", nullptr, [](auto& r) { return r.SetVoiceMessage(6); }},
      {"voice message negative", nullptr, [](auto& r) { return r.SetVoiceMessage(-1); }},
      {"keyer message 6", nullptr, [](auto& r) { return r.SetKeyerMessage(0, 6, ""); }},
      {"LOAD negative", nullptr, [](auto& r) { return r.SetKeyerMessage(-1, 1, ""); }},
      {"text with ;", nullptr, [](auto& r) { return r.SetKeyerMessage(1, 1, "CQ;KY6"); }},
      {"keyer messages not fitted", without(66),
       [](auto& r) { return r.SetKeyerMessage(0, 1, ""); }},
  });
}

}  // namespace
}  // namespace veltro
