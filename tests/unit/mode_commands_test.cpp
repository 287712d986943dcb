// Mode and data mode: the encoding table against the decoding one, the capability bits, the
// texts each call writes with the frequency sent again and the FM read-back, and refusals.
#include <gtest/gtest.h>

#include <functional>

#include "commands/encoding.h"
#include "host/mode_chars.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using testing::EncoderRig;
using testing::Sent;
using State = detail::RadioState;

// Every character the encoder sends decodes to the mode, sideband and data flag it was sent for
// (7 comes back as FM); the memory column differs for PSK only.
TEST(ModeEncoding, RoundTripsThroughTheDecodingTable) {
  for (std::int16_t mode = 0; mode <= 7; ++mode) {
    for (std::int16_t reverse : {0, 1}) {
      for (std::int16_t data : {0, 1}) {
        auto c = detail::EncodeModeChar(mode, reverse, data);
        bool has_data = mode == 0 || mode == 1 || mode == 4;
        ASSERT_EQ(c.has_value(), data == 0 || has_data) << mode << reverse << data;
        if (!c) continue;
        auto back = detail::DecodeModeChar(*c);
        ASSERT_TRUE(back) << *c;
        EXPECT_EQ(back->mode, mode == 7 ? 4 : mode) << *c;
        bool sideband = mode == 2 || mode == 5;
        EXPECT_EQ(back->reverse, sideband && data == 0 ? reverse : 0) << *c;
        EXPECT_EQ(back->data, data) << *c;
      }
    }
  }
  const char expected[] = {'1', '2', '3', '5', '4', '6', '8', '4'};
  for (std::int16_t mode = 0; mode <= 7; ++mode) {
    EXPECT_EQ(detail::FindModeEncoding(mode)->memory, expected[mode]) << mode;
  }
  for (std::int16_t mode : {-1, 8, 9, 10}) EXPECT_FALSE(detail::EncodeModeChar(mode, 0, 0));
  EXPECT_FALSE(detail::EncodeModeChar(0, 0, -1));
  EXPECT_FALSE(detail::EncodeModeChar(0, 0, 2));
}

TEST(CapabilityBits, EntryKHoldsBitKMinusOne) {
  const struct {
    float value;
    std::array<std::int32_t, 11> bits;
  } cases[] = {
      {127, {0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}},
      {63, {0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0}},
      {0, {}},
      {1023, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {256, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
      {1024, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}},  // beyond ten bits the top entry overflows
      {-1, {0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},   // no entry reads 1
  };
  for (const auto& c : cases) EXPECT_EQ(detail::CapabilityBits(c.value), c.bits) << c.value;
}

struct Case {
  const char* name;
  std::function<void(State&)> given;
  std::function<VBool(FTDX10_Protocol&)> call;
  VBool result;
  std::vector<Sent> sent;
  std::function<void(EncoderRig&)> then;
};

void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  EncoderRig rig;
  auto& s = rig.state();
  s.VFO = 0;
  s.Freq = s.VFOA_Freq = 14.2;
  s.VFOB_Freq = 7.1;
  if (c.given) c.given(s);
  auto before = rig.Snapshot();
  VBool result = kTrue;
  auto rec = rig.Record([&] { result = c.call(*rig.radio); });
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(rec.sent, c.sent);
  if (c.result == kFalse && c.sent.empty()) {
    EXPECT_EQ(rig.Snapshot(), before);
  }
  if (c.then) c.then(rig);
}

auto SetMode(std::int16_t mode, std::int16_t reverse) {
  return [=](FTDX10_Protocol& r) {
    std::int16_t m = mode;
    return r.SetMode(m, reverse);
  };
}

auto SetDataMode(std::int16_t mode, std::int16_t data) {
  return [=](FTDX10_Protocol& r) { return r.SetDataMode(mode, data, 1, 2); };
}

auto Expect(std::int16_t mode, std::int16_t reverse, std::int16_t data) {
  return [=](EncoderRig& r) {
    EXPECT_EQ(r.radio->Mode(), mode);
    EXPECT_EQ(r.radio->Reverse(), reverse);
    EXPECT_EQ(r.radio->DataMode(), data);
  };
}

TEST(ModeCommands, SetMode) {
  const Case cases[] = {
      {"CW reversed: mode, frequency again, break-in read",
       nullptr,
       SetMode(2, 1),
       kTrue,
       {{0, "MD07;"}, {0, "FA014200000;"}, {105, "BI;"}},
       [](EncoderRig& r) {
         Expect(2, 1, 0)(r);
         EXPECT_EQ(r.radio->VFOA_Mode(), 2);
         EXPECT_EQ(r.radio->VFOB_Mode(), 0);
       }},
      {"LSB",
       [](State& s) { s.DataMode = 1; },
       SetMode(0, 0),
       kTrue,
       {{0, "MD01;"}, {0, "FA014200000;"}, {105, "BI;"}},
       Expect(0, 0, 0)},
      {"RTTY",
       nullptr,
       SetMode(5, 0),
       kTrue,
       {{0, "MD06;"}, {0, "FA014200000;"}, {105, "BI;"}},
       Expect(5, 0, 0)},
      {"RTTY reversed",
       nullptr,
       SetMode(5, 1),
       kTrue,
       {{0, "MD09;"}, {0, "FA014200000;"}, {105, "BI;"}},
       Expect(5, 1, 0)},
      {"PSK",
       nullptr,
       SetMode(6, 0),
       kTrue,
       {{0, "MD0E;"}, {0, "FA014200000;"}, {105, "BI;"}},
       Expect(6, 0, 0)},
      {"AM keeps Reverse as given",
       nullptr,
       SetMode(3, 1),
       kTrue,
       {{0, "MD05;"}, {0, "FA014200000;"}, {105, "BI;"}},
       Expect(3, 1, 0)},
      {"on VFO B",
       [](State& s) { s.VFO = 1, s.Freq = 7.1; },
       SetMode(1, 0),
       kTrue,
       {{0, "MD02;"}, {0, "FB007100000;"}, {105, "BI;"}},
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->VFOB_Mode(), 1);
         EXPECT_EQ(r.radio->VFOA_Mode(), 0);
       }},
      {"FM: repeater settings read back before break-in",
       [](State& s) { s.Freq = s.VFOA_Freq = 29.6; },
       SetMode(4, 0),
       kTrue,
       {{0, "MD04;"}, {0, "FA029600000;"}, {105, "OS0;"}, {205, "EX010317;"}, {310, "BI;"}},
       Expect(4, 0, 0)},
      {"FM with a tone asks for the tone too",
       [](State& s) {
         s.Freq = s.VFOA_Freq = 51;
         s.Enc = 1;
       },
       SetMode(4, 0),
       kTrue,
       {{0, "MD04;"},
        {0, "FA051000000;"},
        {105, "OS0;"},
        {205, "CN00;"},
        {310, "CT01;"},
        {415, "EX010318;"},
        {515, "BI;"}},
       nullptr},
      {"no valid frequency: nothing to send again",
       [](State& s) { s.Freq = 0; },
       SetMode(1, 0),
       kTrue,
       {{0, "MD02;"}, {105, "BI;"}},
       nullptr},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ModeCommands, SetModeSevenIsFMWhenOffered) {
  EncoderRig rig;
  rig.state().Property[16] = 255;
  std::int16_t mode = 7;
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetMode(mode, 0), kTrue); });
  EXPECT_EQ(mode, 4);
  EXPECT_EQ(rig.radio->Mode(), 4);
  ASSERT_FALSE(rec.sent.empty());
  EXPECT_EQ(rec.sent.front().text, "MD04;");
}

// A mode past the encoding table but offered by the capability bits goes out as a bare read.
TEST(ModeCommands, SetModeBeyondTheTableSendsARead) {
  EncoderRig rig;
  rig.state().Property[16] = 511;  // bit 8: mode 8
  std::int16_t mode = 8;
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetMode(mode, 0), kTrue); });
  ASSERT_FALSE(rec.sent.empty());
  EXPECT_EQ(rec.sent.front().text, "MD0;");
  EXPECT_EQ(rig.radio->Mode(), 8);
}

TEST(ModeCommands, SetDataMode) {
  const Case cases[] = {
      {"data USB",
       [](State& s) { s.Reverse = 1; },
       SetDataMode(1, 1),
       kTrue,
       {{0, "MD0C;"}},
       Expect(1, 0, 1)},
      {"data LSB", nullptr, SetDataMode(0, 1), kTrue, {{0, "MD08;"}}, Expect(0, 0, 1)},
      {"data FM", nullptr, SetDataMode(4, 1), kTrue, {{0, "MD0A;"}}, Expect(4, 0, 1)},
      {"plain FM", nullptr, SetDataMode(4, 0), kTrue, {{0, "MD04;"}}, Expect(4, 0, 0)},
      {"negative data: a bare read",
       nullptr,
       SetDataMode(0, -1),
       kTrue,
       {{0, "MD0;"}},
       Expect(0, 0, -1)},
      {"works in memory mode too",
       [](State& s) { s.MemMode = 1; },
       SetDataMode(1, 0),
       kTrue,
       {{0, "MD02;"}},
       [](EncoderRig& r) {
         EXPECT_EQ(r.radio->VFOA_Mode(), 0);  // left to the answer
       }},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ModeCommands, Refusals) {
  const Case cases[] = {
      {"mode 7 not offered", nullptr, SetMode(7, 0), kFalse, {}, nullptr},
      {"mode 10 outside the bits", nullptr, SetMode(10, 0), kFalse, {}, nullptr},
      {"mode -1: entry 0 is never set", nullptr, SetMode(-1, 0), kFalse, {}, nullptr},
      {"mode -2", nullptr, SetMode(-2, 0), kFalse, {}, nullptr},
      {"mode 32767", nullptr, SetMode(32767, 0), kFalse, {}, nullptr},
      {"memory mode", [](State& s) { s.MemMode = 1; }, SetMode(1, 0), kFalse, {}, nullptr},
      {"no modes", [](State& s) { s.Property[16] = 0; }, SetMode(1, 0), kFalse, {}, nullptr},
      {"the smaller profile has no PSK",
       [](State& s) { s.Property[16] = 63; },
       SetMode(6, 0),
       kFalse,
       {},
       nullptr},
      {"data mode of CW", nullptr, SetDataMode(3, 1), kFalse, {}, nullptr},
      {"data 2", nullptr, SetDataMode(0, 2), kFalse, {}, nullptr},
      {"no data modes",
       [](State& s) { s.Property[78] = 0; },
       SetDataMode(1, 1),
       kFalse,
       {},
       nullptr},
  };
  for (const auto& c : cases) RunCase(c);
}

// Bit 8 of the capability value also offers PSK.
TEST(ModeCommands, PSKByTheNinthBit) {
  EncoderRig rig;
  rig.state().Property[16] = 256;
  std::int16_t mode = 6;
  EXPECT_EQ(rig.radio->SetMode(mode, 0), kTrue);
  mode = 1;
  EXPECT_EQ(rig.radio->SetMode(mode, 0), kFalse);
}

}  // namespace
}  // namespace veltro
