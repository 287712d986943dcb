// Break-in, keyer speed with its combined value, pitch, spot, zero-in and the messages.
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::After;
using testing::CommandRig;
using testing::Entry;
using testing::Ft891;
using testing::Reads;

auto Keyer(std::int16_t load, std::int16_t msg, std::string text) {
  return [=](FTDX10_Protocol& r) { return r.SetKeyerMessage(load, msg, text); };
}

TEST(KeyerCommands, BreakInSpeedPitchAndMessages) {
  const std::string a39(39, 'a'), x39(39, 'x');
  // clang-format off
  testing::RunCases({
      {"break-in on", nullptr, VELTRO_CALL(SetBK(1)), -1, {"BI1"}, Reads("BK=1")},
      {"break-in 2 goes to the radio", nullptr, VELTRO_CALL(SetBK(2)), -1, {"BI2"}, Reads("BK=2")},
      {"spot 2 goes to the radio", nullptr, VELTRO_CALL(SetSpot(2)), -1, {"CS2"}},
      {"keyer above the scale", After([](auto& r) { r.SetKeyerSpeed(10); }), VELTRO_CALL(SetKeyerSpeed(1128)), -1, {"KS252"}},
      {"full break-in", nullptr, VELTRO_CALL(SetBKIn(0)), -1, {"EX0201131"}, Reads("FullBK=1 BKIn=0")},
      {"short delay as it comes", nullptr, VELTRO_CALL(SetBKIn(5)), -1, {"EX0201130", "SD05"}, Reads("FullBK=0 BKIn=5")},
      {"delay 7 and 8 share a code", nullptr, VELTRO_CALL(SetBKIn(8)), -1, {"EX0201130", "SD07"}},
      {"longest delay", nullptr, VELTRO_CALL(SetBKIn(30)), -1, {"EX0201130", "SD18"}, Reads("FullBK=0 BKIn=30")},
      {"FT-891 delay in ms", Ft891(), VELTRO_CALL(SetBKIn(6)), -1, {"EX07080", "SD0300"}},
      {"FT-891 full break-in", Ft891(), VELTRO_CALL(SetBKIn(0)), -1, {"EX07081"}},
      {"keyer on from fresh", nullptr, VELTRO_CALL(SetKeyerSpeed(128)), -1, {"KR1", "KS032"}, Reads("KeyerSpeed=128 KeyerWPM=32 StatusChange=-1")},
      {"slowest", After([](auto& r) { r.SetKeyerSpeed(10); }), VELTRO_CALL(SetKeyerSpeed(1)), -1, {"KS004"}},
      {"fastest", After([](auto& r) { r.SetKeyerSpeed(10); }), VELTRO_CALL(SetKeyerSpeed(255)), -1, {"KS060"}, Reads("KeyerWPM=60")},
      {"keyer off keeps the speed", After([](auto& r) { r.SetKeyerSpeed(128); }), VELTRO_CALL(SetKeyerSpeed(0)), -1, {"KR0"}, Reads("KeyerSpeed=1128 KeyerWPM=32")},
      {"on again from off", After([](auto& r) { r.SetKeyerSpeed(128), r.SetKeyerSpeed(0); }), VELTRO_CALL(SetKeyerSpeed(64)), -1, {"KR1", "KS018"}},
      {"pitch 600", nullptr, VELTRO_CALL(SetPitch(600)), -1, {"KP30"}, Reads("Pitch=600")},
      {"pitch one digit", nullptr, VELTRO_CALL(SetPitch(350)), -1, {"KP05"}},
      {"pitch highest", nullptr, VELTRO_CALL(SetPitch(1050)), -1, {"KP75"}},
      {"pitch between steps", nullptr, VELTRO_CALL(SetPitch(619)), -1, {"KP31"}},
      {"pitch above 1050", nullptr, VELTRO_CALL(SetPitch(1300)), -1, {"KP100"}},
      {"pitch below 300", nullptr, VELTRO_CALL(SetPitch(250)), -1, {"KP0-5"}, Reads("Pitch=250")},
      {"zero-in", nullptr, VELTRO_CALL(SetZeroIN()), -1, {"ZI"}},
      {"voice message 3", nullptr, VELTRO_CALL(SetVoiceMessage(3)), -1, {"PB03"}},
      {"play 1", nullptr, Keyer(0, 1, ""), -1, {"KY6"}},
      {"play 5", nullptr, Keyer(0, 5, ""), -1, {"KYA"}},
      {"play 0", nullptr, Keyer(0, 0, ""), -1, {"KY5"}},
      {"store upper-cased and trimmed", nullptr, Keyer(1, 2, "  cq test "), -1, {"KM2CQ TEST"}},
      {"store cut to 40", nullptr, Keyer(1, 1, a39 + "bc"), -1, {"KM1" + std::string(39, 'A') + "B"}},
      {"store: trimming follows the cut", nullptr, Keyer(1, 1, x39 + " y"), -1, {"KM1" + std::string(39, 'X')}},
      {"store: a \";\" beyond the cut is cut away", nullptr, Keyer(1, 1, x39 + "y;KY6"), -1, {"KM1" + std::string(39, 'X') + "Y"}},
      {"other LOAD sends nothing", nullptr, Keyer(2, 1, "CQ"), -1, {}},
  });
  // clang-format on
}

TEST(KeyerCommands, Refusals) {
  // clang-format off
  testing::RunRefusals({
      {"delay above the entry", nullptr, VELTRO_CALL(SetBKIn(31))},
      {"delay negative", nullptr, VELTRO_CALL(SetBKIn(-1))},
      {"keyer negative", nullptr, VELTRO_CALL(SetKeyerSpeed(-1))},
      {"keyer not fitted", Entry(14, 0), VELTRO_CALL(SetKeyerSpeed(100))},
      {"pitch negative", nullptr, VELTRO_CALL(SetPitch(-1))},
      {"pitch not fitted", Entry(21, 0), VELTRO_CALL(SetPitch(600))},
      {"zero-in not fitted", Entry(69, 0), VELTRO_CALL(SetZeroIN())},
      {"voice message 6", nullptr, VELTRO_CALL(SetVoiceMessage(6))},
      {"voice message negative", nullptr, VELTRO_CALL(SetVoiceMessage(-1))},
      {"keyer message 6", nullptr, VELTRO_CALL(SetKeyerMessage(0, 6, ""))},
      {"LOAD negative", nullptr, VELTRO_CALL(SetKeyerMessage(-1, 1, ""))},
      {"text with ;", nullptr, VELTRO_CALL(SetKeyerMessage(1, 1, "CQ;KY6"))},
      {"keyer messages not fitted", Entry(66, 0), VELTRO_CALL(SetKeyerMessage(0, 1, ""))},
  });
  // clang-format on
}

}  // namespace
}  // namespace veltro
