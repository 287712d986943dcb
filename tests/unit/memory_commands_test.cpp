// Memory channels: the fixed-width "MW" text field by field, what storing and recalling write
// and store, the suspension override, and refusals.
#include <gtest/gtest.h>

#include <functional>

#include "commands/encoding.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using detail::MemoryContent;
using testing::EncoderRig;
using testing::Sent;

TEST(MemoryWriteText, FieldByField) {
  const struct {
    std::int16_t channel;
    MemoryContent in;
    const char* text;
    std::int16_t mode_after;
  } cases[] = {
      // freq, mode, reverse, enc, dec, ctcss, rpt
      {5, {145.5, 4, 0, 1, 0, 88.5f, -1}, "MW005145500000+000000402002", 4},
      {12, {7.074, 1, 0, 0, 0, 0, 1}, "MW012007074000+000000200000", 1},  // shift FM only
      {50, {14.07, 6, 0, 0, 0, 0, 0}, "MW050014070000+000000800000", 6},  // PSK stored as "8"
      {1, {7.03, 2, 1, 0, 0, 0, 0}, "MW001007030000+000000700000", 2},
      {1, {7.03, 2, 0, 0, 0, 0, 0}, "MW001007030000+000000300000", 2},
      {1, {14.08, 5, 1, 0, 0, 0, 0}, "MW001014080000+000000900000", 5},
      {1, {14.08, 5, 0, 0, 0, 0, 0}, "MW001014080000+000000600000", 5},
      {1, {3.6, 0, 1, 0, 0, 0, 0}, "MW001003600000+000000100000", 0},
      {1, {0.5, 3, 0, 1, 1, 88.5f, 1}, "MW001000500000+000000500000", 3},  // tone FM only
      {99, {29.6, 4, 0, 1, 1, 100.0f, 1}, "MW099029600000+000000401001", 4},
      {99, {29.6, 4, 0, 1, 0, -23.0f, 0}, "MW099029600000+000000403000", 4},  // DCS
      {99, {29.6, 4, 0, 1, 7, 88.5f, 5}, "MW099029600000+000000400000", 4},   // odd Dec, RPT
      {99, {29.6, 4, 0, 3, 1, 88.5f, 1}, "MW099029600000+000000400001", 4},   // odd Enc
      {99, {29.6, 7, 0, 1, 0, 88.5f, 1}, "MW099029600000+000000402001", 4},   // 7 is FM
      {99, {29.6, 8, 0, 1, 0, 88.5f, 1}, "MW099029600000+000000 00001", 8},   // shift for 8
      {99, {29.6, -1, 0, 0, 0, 0, 0}, "MW099029600000+000000 00000", -1},
      {1234, {1296.1, 1, 0, 0, 0, 0, 0}, "MW123129610000+000000200000", 1},  // both cut
      {-5, {7.1, 1, 0, 0, 0, 0, 0}, "MW0-5007100000+000000200000", 1},
  };
  for (auto c : cases) {
    std::string text = detail::MemoryWriteText(c.channel, c.in);
    EXPECT_EQ(text, c.text) << c.channel;
    EXPECT_EQ(text.size(), 27u);
    EXPECT_EQ(c.in.mode, c.mode_after) << c.text;
  }
}

// 7.074 MHz USB on VFO A with a plus shift (which only FM stores).
void OnUSB(detail::RadioState& s) {
  s.Freq = s.VFOA_Freq = 7.074;
  s.Mode = s.VFOA_Mode = 1;
  s.RPT = 1;
}

class MemoryCommands : public ::testing::Test {
 protected:
  MemoryCommands() { OnUSB(rig.state()); }
  EncoderRig rig;
};

TEST_F(MemoryCommands, SetVFOMWritesThenReadsStatus) {
  rig.state().Mode = 7;
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetVFOM(12, "label"), kTrue); });
  EXPECT_EQ(rec.sent, (std::vector<Sent>{{200, "MW012007074000+000000400001;"}, {400, "IF;"}}));
  EXPECT_EQ(rec.took_ms, 400);
  EXPECT_EQ(rig.radio->MemMode(), 1);
  EXPECT_EQ(rig.radio->Channel(), 12);
  EXPECT_EQ(rig.radio->Mode(), 4);
}

TEST_F(MemoryCommands, SetVFOMGoesOutWhileSendingIsSuspended) {
  rig.module().SendSuspended = kTrue;
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetVFOM(3, ""), kTrue); });
  ASSERT_EQ(rec.sent.size(), 2u);
  EXPECT_EQ(rec.sent[0].text, "MW003007074000+000000200000;");
  EXPECT_EQ(rig.module().SendSuspended, kTrue);
  rec = rig.Record([&] { rig.radio->SetRITClear(); });
  EXPECT_TRUE(rec.sent.empty());  // still suspended for everything else
}

TEST_F(MemoryCommands, SetChannelRecallsAndReadsStatus) {
  auto rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetChannel(5), kTrue); });
  EXPECT_EQ(rec.sent, (std::vector<Sent>{{0, "MC005;"}, {105, "IF;"}}));
  EXPECT_EQ(rig.radio->Channel(), 5);
  EXPECT_EQ(rig.radio->MemMode(), 1);
  // The bounds are the host's: moved, they move what is accepted.
  rig.radio->ChannelMax(120);
  rec = rig.Record([&] { EXPECT_EQ(rig.radio->SetChannel(100), kTrue); });
  EXPECT_EQ(rec.sent.front().text, "MC100;");
}

TEST(MemoryCommandRefusals, SendAndStoreNothing) {
  const struct {
    const char* name;
    std::function<void(detail::RadioState&)> given;
    std::function<VBool(FTDX10_Protocol&)> call;
  } cases[] = {
      {"store in memory mode", [](auto& s) { s.MemMode = 1; },
       [](FTDX10_Protocol& r) { return r.SetVFOM(1, ""); }},
      {"store gate", [](auto& s) { s.Property[34] = 0; },
       [](FTDX10_Protocol& r) { return r.SetVFOM(1, ""); }},
      {"recall 0", nullptr, [](FTDX10_Protocol& r) { return r.SetChannel(0); }},
      {"recall 100", nullptr, [](FTDX10_Protocol& r) { return r.SetChannel(100); }},
      {"recall on VFO B", [](auto& s) { s.VFO = 1; },
       [](FTDX10_Protocol& r) { return r.SetChannel(5); }},
      {"recall gate", [](auto& s) { s.Property[7] = 0; },
       [](FTDX10_Protocol& r) { return r.SetChannel(5); }},
      {"erase", nullptr, [](FTDX10_Protocol& r) { return r.MClear(3); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EncoderRig rig;
    OnUSB(rig.state());
    if (c.given) c.given(rig.state());
    auto before = rig.Snapshot();
    VBool result = kTrue;
    auto rec = rig.Record([&] { result = c.call(*rig.radio); });
    EXPECT_EQ(result, kFalse);
    EXPECT_TRUE(rec.sent.empty());
    EXPECT_EQ(rig.Snapshot(), before);
  }
}

}  // namespace
}  // namespace veltro
