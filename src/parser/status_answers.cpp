// Frequency, mode, VFO and status answers. Most of them write the per-VFO fields and leave Freq,
// Mode, TX_Freq and Split to the post-answer step that follows every answer.
#include "host/convert.h"
#include "host/mode_chars.h"
#include "host/protocol_impl.h"
#include "parser/decoders.h"

namespace veltro::detail {

namespace {

constexpr std::size_t kStatusLength = 27;  // "IF" and "OI"
constexpr std::size_t kFreqLength = 11;    // "FA" and "FB"

// Nine digits of hertz at positions first..first+8, in MHz.
double FreqAt(std::string_view a, std::size_t first) {
  return LeadingNumber(Mid(a, first, first + 8)) / 1000000.0;
}

char CharAt(std::string_view a, std::size_t pos) { return pos <= a.size() ? a[pos - 1] : '\0'; }

}  // namespace

void DecodeIF(ProtocolImpl& p, std::string_view a, bool&) {
  if (a.size() != kStatusLength) return;
  RadioState& s = p.state;
  Step([&] {
    char state = CharAt(a, 23);
    s.MemMode = (state == '1' || state == '2') ? 1 : 0;
  });
  Step([&] {
    s.Channel = FieldInt16(a, 3, 5);
    if (s.Channel > s.ChannelMax) s.Channel = s.ChannelMin;
  });
  Step([&] {
    double f = FreqAt(a, 6);
    auto mode = DecodeModeChar(CharAt(a, 22));
    // A character outside the table leaves the mode as it was but clears the reverse flag.
    if (s.MemMode == 1) {
      if (mode) s.Mode = mode->mode;
      s.Reverse = mode ? mode->reverse : 0;
      s.Freq = f;
    } else if (s.VFO == 0) {
      if (mode) s.VFOA_Mode = mode->mode, s.Mode = mode->mode;
      s.Reverse = mode ? mode->reverse : 0;
      s.VFOA_Freq = f;
      s.Freq = f;
    }
  });
}

void DecodeOI(ProtocolImpl& p, std::string_view a, bool&) {
  if (a.size() != kStatusLength) return;
  RadioState& s = p.state;
  if (s.MemMode != 0) return;
  Step([&] {
    double f = FreqAt(a, 6);
    auto mode = DecodeModeChar(CharAt(a, 22));
    if (s.VFO == 0) {
      if (mode) s.VFOB_Mode = mode->mode;
      s.VFOB_Freq = f;
    } else if (s.VFO == 1) {
      if (mode) s.VFOA_Mode = mode->mode;
      s.VFOA_Freq = f;
    }
  });
}

void DecodeFA(ProtocolImpl& p, std::string_view a, bool&) {
  if (a.size() != kFreqLength) return;
  RadioState& s = p.state;
  double f = FreqAt(a, 3);
  s.VFOA_Freq = f;
  if (s.VFO == 0 && s.MemMode == 0) s.Freq = f;
}

void DecodeFB(ProtocolImpl& p, std::string_view a, bool&) {
  if (a.size() != kFreqLength) return;
  RadioState& s = p.state;
  double f = FreqAt(a, 3);
  s.VFOB_Freq = f;
  if (s.VFO == 1 && s.MemMode == 0) s.Freq = f;
}

// Position 3 (the receiver) is not examined.
void DecodeMD(ProtocolImpl& p, std::string_view a, bool&) {
  RadioState& s = p.state;
  auto mode = DecodeModeChar(CharAt(a, 4));
  // A character outside the table leaves the mode as it was; reverse and data become 0.
  s.Reverse = mode ? mode->reverse : 0;
  s.DataMode = mode ? mode->data : 0;
  if (!mode) return;
  if (s.VFO == 0) s.VFOA_Mode = mode->mode;
  if (s.VFO == 1) s.VFOB_Mode = mode->mode;
  s.Mode = mode->mode;
}

void DecodeVS(ProtocolImpl& p, std::string_view a, bool&) {
  RadioState& s = p.state;
  std::int16_t v = FieldInt16(a, 3, 3);
  if (v == 0) {
    s.VFO = 0;
    s.Freq = s.VFOA_Freq;
    s.Mode = s.VFOA_Mode;
  } else if (v == 1) {
    s.VFO = 1;
    s.Freq = s.VFOB_Freq;
    s.Mode = s.VFOB_Mode;
  }
}

void DecodeFT(ProtocolImpl& p, std::string_view a, bool&) { p.state.TXVFO = FieldInt16(a, 3, 3); }

// Split always follows VFO and TXVFO in the post-answer step, so the answer itself is not kept.
void DecodeST(ProtocolImpl&, std::string_view, bool&) {}

void DecodeTX(ProtocolImpl& p, std::string_view a, bool&) {
  p.state.PTT = FieldInt16(a, 3, 3) != 0 ? 1 : 0;
}

void DecodeLK(ProtocolImpl& p, std::string_view a, bool&) {
  p.state.LockDial = FieldInt16(a, 3, 3);
}

void DecodeBY(ProtocolImpl& p, std::string_view a, bool&) { p.state.Busy = FieldInt16(a, 3, 3); }

void DecodeAI(ProtocolImpl& p, std::string_view a, bool&) {
  RadioState& s = p.state;
  std::int16_t old = s.AIState;
  s.AIState = FieldInt16(a, 3, 3);
  if (old == -1 && !s.AutoPolling) p.RestartLevelPoll();
}

}  // namespace veltro::detail
