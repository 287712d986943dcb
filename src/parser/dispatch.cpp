// Answer code -> decoder. Codes are two upper-case letters, so a 26 x 26 table finds the decoder
// in one step; comparison stays exact and case-sensitive.
#include <array>

#include "parser/decoders.h"

namespace veltro::detail {

namespace {

struct Entry {
  char code[3];
  Decoder decoder;
};

#define VELTRO_LEVEL_ENTRY(code) {#code, &Decode##code},
// clang-format off
constexpr Entry kEntries[] = {
    {"AI", &DecodeAI}, {"IF", &DecodeIF}, {"OI", &DecodeOI}, {"VS", &DecodeVS},
    {"FA", &DecodeFA}, {"FB", &DecodeFB}, {"MD", &DecodeMD}, {"FT", &DecodeFT},
    {"ST", &DecodeST}, {"TX", &DecodeTX}, {"LK", &DecodeLK}, {"BY", &DecodeBY},
    VELTRO_LEVEL_DECODERS(VELTRO_LEVEL_ENTRY)};
// clang-format on
#undef VELTRO_LEVEL_ENTRY

using Table = std::array<Decoder, 26 * 26>;

constexpr Table BuildTable() {
  Table t{};
  for (const Entry& e : kEntries) t[(e.code[0] - 'A') * 26 + (e.code[1] - 'A')] = e.decoder;
  return t;
}

constexpr Table kTable = BuildTable();

constexpr bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

Decoder FindDecoder(std::string_view code) {
  if (code.size() != 2 || !IsUpper(code[0]) || !IsUpper(code[1])) return nullptr;
  return kTable[(code[0] - 'A') * 26 + (code[1] - 'A')];
}

}  // namespace veltro::detail
