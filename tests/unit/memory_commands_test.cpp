// Memory channels: the fixed-width "MW" text field by field, and one row a call
// (unit/encoder_cases.h).
#include <gtest/gtest.h>

#include "commands/encoding.h"
#include "unit/encoder_cases.h"

namespace veltro {
namespace {

using detail::MemoryContent;
using testing::RunRows;

TEST(MemoryWriteText, FieldByField) {
  const struct {
    std::int16_t channel;
    MemoryContent in;
    const char* text;
    std::int16_t mode_after;
    // clang-format off
  } cases[] = {
      // freq, mode, reverse, enc, dec, ctcss, rpt
      {5, {145.5, 4, 0, 1, 0, 88.5f, -1}, "MW005145500000+000000402002", 4},
      {12, {7.074, 1, 0, 0, 0, 0, 1}, "MW012007074000+000000200000", 1},  // shift FM only
      {50, {14.07, 6, 1, 0, 0, 0, 0}, "MW050014070000+000000800000", 6},  // PSK stored as "8"
      {1, {7.03, 2, 1, 0, 0, 0, 0}, "MW001007030000+000000700000", 2},
      {1, {7.03, 2, 0, 0, 0, 0, 0}, "MW001007030000+000000300000", 2},
      {1, {14.08, 5, 1, 0, 0, 0, 0}, "MW001014080000+000000900000", 5},
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
  // clang-format on
  for (auto c : cases) {
    EXPECT_EQ(detail::MemoryWriteText(c.channel, c.in), c.text) << c.channel;
    EXPECT_EQ(c.in.mode, c.mode_after) << c.text;
  }
}

TEST(MemoryCommands, StoreRecallErase) {
  // 7.074 MHz USB on VFO A with a plus shift, which only FM stores.
  // clang-format off
  const testing::Row rows[] = {
      {"store, then the status read", "Mode=7", VELTRO_CALL(SetVFOM(12, "label")), kTrue, "200:MW012007074000+000000400001; 400:IF;", 400, "Mode=4 Mem=1 Ch=12"},
      {"store while sending is suspended, which stays so", "Suspend=-1", VELTRO_CALL(SetVFOM(3, "")), kTrue, "200:MW003007074000+000000200000; 400:IF;", 400, "Mem=1 Ch=3"},
      {"store in memory mode", "Mem=1", VELTRO_CALL(SetVFOM(1, "")), kFalse, "", 0, ""},
      {"store not fitted", "P34=0", VELTRO_CALL(SetVFOM(1, "")), kFalse, "", 0, ""},
      {"recall, then the status read", "", VELTRO_CALL(SetChannel(5)), kTrue, "0:MC005; 105:IF;", 105, "Mem=1 Ch=5"},
      {"the host's bounds decide", "ChMax=120", VELTRO_CALL(SetChannel(100)), kTrue, "0:MC100; 105:IF;", 105, "Mem=1 Ch=100"},
      {"recall 0", "", VELTRO_CALL(SetChannel(0)), kFalse, "", 0, ""},
      {"recall 100", "", VELTRO_CALL(SetChannel(100)), kFalse, "", 0, ""},
      {"recall on VFO B", "VFO=1", VELTRO_CALL(SetChannel(5)), kFalse, "", 0, ""},
      {"recall not fitted", "P7=0", VELTRO_CALL(SetChannel(5)), kFalse, "", 0, ""},
      {"erase is not offered", "", VELTRO_CALL(MClear(3)), kFalse, "", 0, ""},
  };
  // clang-format on
  RunRows("Freq=7.074 FA=7.074 Mode=1 ModeA=1 RPT=1", rows);
}

}  // namespace
}  // namespace veltro
