// Repeater shift, shift amount and tones: the tone positions, the texts each call writes and
// the cache after it, and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "commands/encoding.h"
#include "host/tone_tables.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::EncoderRig;
using testing::Sent;
using State = detail::RadioState;

TEST(ToneIndex, PositionsInTheListsAndNothingElse) {
  const struct {
    float hz;
    std::int16_t index;
  } tones[] = {{67.0f, 0},  {88.5f, 8}, {100.0f, 12}, {254.1f, 49},
               {88.6f, -1}, {0.0f, -1}, {-67.0f, -1}, {88.50001f, -1}};
  for (const auto& t : tones) EXPECT_EQ(detail::CTCSSIndex(t.hz), t.index) << t.hz;
  const struct {
    std::int16_t code;
    std::int16_t index;
  } codes[] = {{23, 0},    {36, 5},  {162, 29}, {165, 30}, {331, 55}, {506, 80},
               {754, 103}, {24, -1}, {0, -1},   {-23, -1}, {755, -1}};
  for (const auto& c : codes) EXPECT_EQ(detail::DCSIndex(c.code), c.index) << c.code;
  // The encoder's positions are the decoder's: every listed value comes back.
  for (int i = 0; i < 50; ++i) EXPECT_EQ(detail::CTCSSIndex(detail::CtcssTone(i)), i);
  for (int i = 0; i < 104; ++i) EXPECT_EQ(detail::DCSIndex(detail::DcsCode(i)), i);
}

struct Case {
  const char* name;
  std::function<void(State&)> given;
  std::function<VBool(FTDX10_Protocol&)> call;
  VBool result;
  std::vector<Sent> sent;
  std::function<void(const State&)> then;
};

void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  EncoderRig rig;
  auto& s = rig.state();
  s.Mode = 4;
  s.Freq = 29.6;
  if (c.given) c.given(s);
  auto before = rig.Snapshot();
  VBool result = kTrue;
  auto rec = rig.Record([&] { result = c.call(*rig.radio); });
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(rec.sent, c.sent);
  if (c.result == kFalse) {
    EXPECT_EQ(rig.Snapshot(), before);
  }
  if (c.then) c.then(s);
}

auto Rpt(std::int16_t d) {
  return [d](FTDX10_Protocol& r) { return r.SetRPT(d); };
}
auto ShiftHz(float hz) {
  return [hz](FTDX10_Protocol& r) { return r.SetShift(hz); };
}
auto Tone(float ctcss, std::int16_t dcs, std::int16_t enc, std::int16_t dec) {
  return [=](FTDX10_Protocol& r) { return r.SetTone(ctcss, dcs, enc, dec); };
}
auto Freq(double mhz) {
  return [mhz](State& s) { s.Freq = mhz; };
}

TEST(ToneCommands, RepeaterShift) {
  const Case cases[] = {
      {"minus on VFO A, then the FM read-back",
       nullptr,
       Rpt(-1),
       kTrue,
       {{0, "OS02;"}, {105, "OS0;"}, {205, "EX010317;"}},
       [](const State& s) { EXPECT_EQ(s.RPT, -1); }},
      {"plus on VFO B",
       [](State& s) { s.VFO = 1; },
       Rpt(1),
       kTrue,
       {{0, "OS11;"}, {105, "OS1;"}, {205, "EX010317;"}},
       nullptr},
      {"outside FM no read-back",
       [](State& s) { s.Mode = 1; },
       Rpt(0),
       kTrue,
       {{0, "OS00;"}},
       [](const State& s) { EXPECT_EQ(s.RPT, 0); }},
      {"another direction is a bare read, stored as given",
       [](State& s) { s.Mode = 1; },
       Rpt(3),
       kTrue,
       {{0, "OS0;"}},
       [](const State& s) { EXPECT_EQ(s.RPT, 3); }},
      {"600 kHz below 50 MHz",
       nullptr,
       ShiftHz(600000),
       kTrue,
       {{0, "EX0103170600;"}},
       [](const State& s) { EXPECT_EQ(s.Shift, 600.0f); }},
      {"50 to 60 MHz uses the other item",
       Freq(51),
       ShiftHz(1000000),
       kTrue,
       {{0, "EX0103181000;"}},
       nullptr},
      {"60 MHz is still in it", Freq(60), ShiftHz(500000), kTrue, {{0, "EX0103180500;"}}, nullptr},
      {"five digits are not cut",
       nullptr,
       ShiftHz(10000000),
       kTrue,
       {{0, "EX01031710000;"}},
       nullptr},
      {"a hair under a kHz rounds up",
       nullptr,
       ShiftHz(99990),
       kTrue,
       {{0, "EX0103170100;"}},
       [](const State& s) { EXPECT_FLOAT_EQ(s.Shift, 99.99f); }},
      {"no menu above 60 MHz, stored all the same",
       Freq(145),
       ShiftHz(600000),
       kTrue,
       {},
       [](const State& s) { EXPECT_EQ(s.Shift, 600.0f); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ToneCommands, SetTone) {
  auto both = [](State& s) { s.Property[30] = 3; };
  const Case cases[] = {
      {"CTCSS encode and decode",
       nullptr,
       Tone(88.5f, 0, 1, 1),
       kTrue,
       {{0, "CT01;"}, {105, "CN00008;"}},
       [](const State& s) {
         EXPECT_EQ(s.CTCSS, 88.5f);
         EXPECT_EQ(s.ToneCTCSS, 88.5f);
         EXPECT_EQ(s.DCS, 0);
         EXPECT_EQ(s.Enc, 1);
         EXPECT_EQ(s.Dec, 1);
       }},
      {"CTCSS encode only",
       nullptr,
       Tone(88.5f, 0, 1, 0),
       kTrue,
       {{0, "CT02;"}, {105, "CN00008;"}},
       nullptr},
      {"VFO B",
       [](State& s) { s.VFO = 1; },
       Tone(254.1f, 0, 1, 0),
       kTrue,
       {{0, "CT12;"}, {105, "CN10049;"}},
       nullptr},
      {"unlisted tone: no number, cache still set",
       nullptr,
       Tone(88.6f, 0, 1, 1),
       kTrue,
       {{0, "CT01;"}},
       [](const State& s) { EXPECT_EQ(s.ToneCTCSS, 88.6f); }},
      {"odd Dec: only the number",
       nullptr,
       Tone(100.0f, 0, 1, 5),
       kTrue,
       {{0, "CN00012;"}},
       [](const State& s) { EXPECT_EQ(s.Dec, 5); }},
      {"off",
       [](State& s) { s.ToneCTCSS = s.CTCSS = 77.0f; },
       Tone(88.5f, 0, 0, 0),
       kTrue,
       {{0, "CT00;"}},
       [](const State& s) {
         EXPECT_EQ(s.CTCSS, 77.0f);  // the tone fields keep the last tone
         EXPECT_EQ(s.Enc, 0);
       }},
      {"DCS when offered",
       both,
       Tone(0, 23, 1, 0),
       kTrue,
       {{0, "CT03;"}, {105, "CN01000;"}},
       [](const State& s) {
         EXPECT_EQ(s.CTCSS, -23.0f);
         EXPECT_EQ(s.DCS, 1);
         EXPECT_EQ(s.ToneDCS, 23);
       }},
      {"DCS 754", both, Tone(0, 754, 1, 1), kTrue, {{0, "CT03;"}, {105, "CN01103;"}}, nullptr},
      {"another Enc sends nothing",
       nullptr,
       Tone(88.5f, 0, 2, 0),
       kTrue,
       {},
       [](const State& s) { EXPECT_EQ(s.Enc, 2); }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ToneCommands, Refusals) {
  auto gate = [](int index, std::int16_t value = 0) {
    return [=](State& s) { s.Property[index] = value; };
  };
  const Case cases[] = {
      {"SetRPT gate", gate(27), Rpt(1), kFalse, {}, nullptr},
      {"SetShift gate", gate(20), ShiftHz(600000), kFalse, {}, nullptr},
      {"no tones", gate(30), Tone(88.5f, 0, 1, 0), kFalse, {}, nullptr},
      {"DCS while only CTCSS", nullptr, Tone(0, 23, 1, 0), kFalse, {}, nullptr},
      {"CTCSS while only DCS", gate(30, 2), Tone(88.5f, 0, 1, 0), kFalse, {}, nullptr},
      {"outside FM", [](State& s) { s.Mode = 1; }, Tone(88.5f, 0, 1, 0), kFalse, {}, nullptr},
      {"outside FM even off", [](State& s) { s.Mode = 7; }, Tone(0, 0, 0, 0), kFalse, {}, nullptr},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ToneCommands, SetShiftRefusesNaNWithAnError) {
  EncoderRig rig;
  auto before = rig.Snapshot();
  auto rec = rig.Record([&] { EXPECT_THROW(rig.radio->SetShift(std::nanf("")), AutomationError); });
  EXPECT_TRUE(rec.sent.empty());
  EXPECT_EQ(rig.Snapshot(), before);
}

}  // namespace
}  // namespace veltro
