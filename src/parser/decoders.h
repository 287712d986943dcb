// The answer decoders. ReadBuffer hands each one answer (the text before ";", code included);
// positions in comments are 1-based. A decoder sets `level` when its answer belongs to the
// level/function group, so that Change(4) follows whatever the value.
//
// Every step of a decoder runs under one rule: a step that fails (a number too big for 16 bits, a
// table index out of range) is skipped and decoding goes on with the next step. Wrap each step in
// Step() instead of checking by hand.
#pragma once

#include <string_view>

namespace veltro::detail {

struct ProtocolImpl;

using Decoder = void (*)(ProtocolImpl& p, std::string_view answer, bool& level);

// Runs one decoding step; an error it throws is swallowed.
template <typename F>
void Step(F&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// The decoder for a two-letter code, or nullptr for a code the library ignores.
Decoder FindDecoder(std::string_view code);

// Frequency, mode, VFO and status answers (status_answers.cpp).
void DecodeAI(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeIF(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeOI(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeVS(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeFA(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeFB(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeMD(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeFT(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeST(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeTX(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeLK(ProtocolImpl& p, std::string_view a, bool& level);
void DecodeBY(ProtocolImpl& p, std::string_view a, bool& level);

// Level, meter, function, tone, menu and identity answers (level_answers.cpp and neighbours).
// clang-format off
#define VELTRO_LEVEL_DECODERS(X)                                                                 \
  X(AC) X(SM) X(AN) X(AG) X(RG) X(PC) X(NR) X(RL) X(VX) X(PR) X(SD) X(BI) X(GT) X(RA) X(PA) X(BC) \
  X(NA) X(BP) X(NB) X(NL) X(IS) X(SH) X(TS) X(CO) X(KP) X(OS) X(RF) X(SQ) X(EX) X(KR) X(KS) X(ML) \
  X(MG) X(MS) X(RM) X(CT) X(CN) X(ID)
// clang-format on
#define VELTRO_DECLARE_DECODER(code) \
  void Decode##code(ProtocolImpl& p, std::string_view a, bool& level);
VELTRO_LEVEL_DECODERS(VELTRO_DECLARE_DECODER)
#undef VELTRO_DECLARE_DECODER

}  // namespace veltro::detail
