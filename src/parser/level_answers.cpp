// Level and function answers. Every decoder here marks its answer as a level answer first, so
// that the host hears of it even when a selector or a value is out of range and nothing is
// stored. Receiver functions with an on/off and a level answer keep one host value built by
// SwitchLevelValue from both halves, whichever half arrives.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/convert.h"
#include "host/profile.h"
#include "host/protocol_impl.h"
#include "host/scales.h"
#include "parser/decoders.h"
#include "parser/panorama.h"

namespace veltro::detail {

namespace {

// P1, the receiver or sub-function digit at position 3, as a number (blank reads as 0).
std::int16_t P1(std::string_view a) { return FieldInt16(a, 3, 3); }
std::string_view CharAt(std::string_view a, std::size_t pos) { return Mid(a, pos, pos); }

// "0" or "1" at position 3: that receiver's index; -1 otherwise.
int ReceiverDigit(std::string_view a) {
  std::string_view c = CharAt(a, 3);
  return c == "0" ? 0 : c == "1" ? 1 : -1;
}

// Attenuator and pre-amplifier: the setting at position 4, and the whole answer for the
// panorama display, which keeps it even when the setting does not fit.
void DecodeFrontEndSwitch(ProtocolImpl& p, std::string_view a, std::int16_t& field,
                          void (*save)(Library&, std::string_view)) {
  Step([&] {
    if (P1(a) != 0) return;
    Step([&] { field = FieldInt16(a, 4, 4); });
    save(p.lib, a);
  });
}

}  // namespace

void DecodeAG(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  int rx = ReceiverDigit(a);
  if (rx >= 0) Step([&] { p.state.AFLevel[rx] = FieldInt16(a, 4, 6); });
}

void DecodeSQ(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  int rx = ReceiverDigit(a);
  if (rx >= 0) Step([&] { p.state.SQLevel[rx] = FieldInt16(a, 4, 6); });
}

// The radio's RF gain runs the other way from the host's.
void DecodeRG(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    std::int16_t rx = P1(a);
    if (rx != 0 && rx != 1) return;
    p.state.RFLevel[rx] = RFGainToHost(FieldInt16(a, 4, 6), p.state.RGScale);
  });
}

void DecodePC(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] { p.state.RFPower = std::min<std::int16_t>(FieldInt16(a, 3, 5), 100); });
}

void DecodeNR(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  Step([&] {
    if (P1(a) != 0) return;
    s.NROn = FieldInt16(a, 4, 4);
    s.NR = SwitchLevelValue(s.NROn, s.NRLevel);
  });
}

void DecodeRL(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  Step([&] {
    if (P1(a) != 0) return;
    std::int16_t v = FieldInt16(a, 4, 5);
    s.NRLevel = v == 0 ? 1 : v;
    s.NR = SwitchLevelValue(s.NROn, s.NRLevel);
  });
}

// Manual notch: "BP00" + on/off, "BP01" + frequency in tens of hertz.
void DecodeBP(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  if (CharAt(a, 3) != "0") return;
  RadioState& s = p.state;
  std::string_view which = CharAt(a, 4);
  if (which == "0") {
    Step([&] { s.NotchOn = FieldInt16(a, 5, 7); });
  } else if (which == "1") {
    Step([&] { s.NotchLevel = FieldInt16(a, 5, 7); });
    Step([&] { s.FNotch = RoundToInt16(FieldInt16(a, 5, 7) * 10.0); });
  }
  Step([&] {
    if (s.NotchLevel == 0) s.NotchLevel = 1;
    s.NF = SwitchLevelValue(s.NotchOn, s.NotchLevel);
  });
}

// Noise blanker type: records 1 and 2 each keep their own level; NB shows the active one's.
void DecodeNB(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  bool ok = false;
  Step([&] {
    if (P1(a) != 0) return;
    s.NBType = FieldInt16(a, 4, 4);
    ok = true;
  });
  if (!ok) return;
  if (s.NBType >= 1) {
    Step([&] { s.NBRecord.at(s.NBType).On = 1; });
    Step([&] { s.NBRecord.at(s.NBType == 1 ? 2 : 1).On = 0; });
    Step([&] { s.NB = s.NBRecord.at(s.NBType).Level; });
  } else {
    s.NBRecord[1].On = 0;
    s.NBRecord[2].On = 0;
  }
}

void DecodeNL(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  bool ours = false;
  Step([&] { ours = P1(a) == 0; });
  if (!ours) return;
  if (s.NBType == 1 || s.NBType == 2)
    Step([&] { s.NBRecord[s.NBType].Level = FieldInt16(a, 4, 6); });
  if (s.NBType != 0) Step([&] { s.NB = s.NBRecord.at(s.NBType).Level; });
}

void DecodeVX(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] { p.state.Vox = FieldInt16(a, 3, 3); });
}

// Speech processor (P1 0) and transmit equaliser (P1 1) switches.
void DecodePR(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    std::int16_t rx = P1(a), v = FieldInt16(a, 4, 4);
    if (v != 0 && v != 1) return;
    if (rx == 0) p.state.Comp = v;
    if (rx == 1) p.state.TXEQ = v;
  });
}

// Break-in delay. The FT-891 answers in milliseconds, which this cache does not decode.
void DecodeSD(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  if (Ft891Profile(p)) return;
  RadioState& s = p.state;
  Step([&] {
    s.BKIn = FieldInt16(a, 3, 4);
    std::int16_t longest = s.Property[5];
    if (longest == 0 || s.BKIn == 0) return;
    s.BKIn = BreakInDelayToHost(s.BKIn);
    if (s.BKIn > longest) s.BKIn = longest;
  });
}

void DecodeBI(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] { p.state.BK = FieldInt16(a, 3, 3); });
}

void DecodeGT(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    if (P1(a) != 0) return;
    std::int16_t v = FieldInt16(a, 4, 4);
    p.state.AGC = v < 0 || v >= 4 ? 4 : v;
  });
}

void DecodeRA(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  DecodeFrontEndSwitch(p, a, p.state.Att, &SaveAtt);
}

void DecodePA(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  DecodeFrontEndSwitch(p, a, p.state.PreAmp, &SavePre);
}

void DecodeBC(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    if (P1(a) == 0) p.state.AutoNF = Variant(FieldInt16(a, 4, 4));
  });
}

// The narrow filter setting, kept in capability entry 57.
void DecodeNA(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    if (P1(a) == 0) p.state.Property[57] = FieldInt16(a, 4, 4);
  });
}

// IF shift: the host's sign is the opposite of the radio's. An answer with neither sign is
// read as an unsigned, that is positive, radio shift, as the saved value reads it too.
void DecodeIS(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  bool ours = false;
  Step([&] { ours = P1(a) == 0; });
  if (!ours) return;
  RadioState& s = p.state;
  Step([&] {
    std::int16_t sign = CharAt(a, 5) == "-" ? 1 : -1;
    s.IFShift = static_cast<std::int16_t>(IFShiftToHost(FieldInt16(a, 6, 9)) * sign);
  });
  Step([&] { SaveIFS(p, a); });
}

// Filter width step, as the host's 0..255 code over the radio's step count (entry 56).
void DecodeSH(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  bool ours = false;
  Step([&] { ours = P1(a) == 0; });
  if (!ours) return;
  RadioState& s = p.state;
  Step([&] {
    std::int32_t step = RoundToInt32(LeadingNumber(Mid(a, 5, 6)));
    s.WidthCode = std::min<std::int16_t>(WidthCodeOfStep(step, s.Property[56]), 255);
    s.Property[49] = s.WidthCode;
  });
  Step([&] {
    std::int16_t tag = 0;
    SaveFW(p, a, s.Mode, s.Property[57], tag);
  });
}

// Contour and audio peak filter: position 4 selects the contour switch (0), the contour
// frequency (1), the peak filter switch (2) or its frequency (3, not kept).
void DecodeCO(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  std::string_view which = CharAt(a, 4);
  if (which == "0") {
    Step([&] { s.ContourOn = FieldInt16(a, 8, 8); });
  } else if (which == "2") {
    Step([&] { s.APFOn = FieldInt16(a, 8, 8); });
  } else if (which == "1") {
    Step([&] { s.ContourLevel = ContourFreqToHost(FieldInt16(a, 5, 8)); });
    // The sign comes with the contour level menu answer; until that has been read it is 0, and
    // so is the frequency until the next "CO01" answer after it.
    Step([&] { s.FContour = RoundToInt16(FieldInt16(a, 5, 8) * s.ContourSign); });
  }
  s.ContourState = s.ContourOn;
  s.Property[51] = s.ContourLevel;
  s.APFState = s.APFOn;
}

void DecodeKR(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  Step([&] {
    s.KeyerOn = FieldInt16(a, 3, 3);
    s.KeyerSpeed = SwitchLevelValue(s.KeyerOn, s.KeyerLevel);
  });
}

void DecodeKS(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  Step([&] {
    std::int16_t wpm = FieldInt16(a, 3, 5);
    s.KeyerLevel = KeyerSpeedToHost(wpm);
    s.KeyerSpeed = SwitchLevelValue(s.KeyerOn, s.KeyerLevel);
    s.KeyerWPM = wpm;
  });
}

// Monitor switch (P1 0) and level (P1 1).
void DecodeML(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] {
    std::int16_t rx = P1(a);
    if (rx == 0) p.state.Monitor = FieldInt16(a, 6, 6);
    if (rx == 1) p.state.MonitorLevel = PercentToHost(FieldInt16(a, 4, 6));
  });
}

void DecodeMG(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  Step([&] { p.state.MicGain = PercentToHost(FieldInt16(a, 3, 5)); });
}

// ---- Other answers of the group (no level flag) ----

void DecodeAC(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] { p.state.Tuner = FieldInt16(a, 5, 5) == 0 ? 0 : 1; });
}

// The radio counts antennas from 1, the host from 0; one it does not have reads as the first.
void DecodeAN(ProtocolImpl& p, std::string_view a, bool&) {
  RadioState& s = p.state;
  Step([&] {
    if (P1(a) != 0) return;
    int v = FieldInt16(a, 4, 4) - 1;
    s.Antenna = static_cast<std::int16_t>(v > s.Property[3] - 1 ? 0 : v);
  });
}

// Roofing filter of each receiver; the radio uses two characters for each filter.
void DecodeRF(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] {
    std::int16_t rx = P1(a);
    if (rx != 0 && rx != 1) return;
    std::string_view c = CharAt(a, 4);
    std::int16_t code = 0;
    if (c == "1" || c == "4")
      code = 1;
    else if (c == "2" || c == "5")
      code = 2;
    else if (c == "3" || c == "6")
      code = 3;
    else if (c == "7" || c == "9")
      code = 4;
    else if (c == "8" || c == "A")
      code = 5;
    p.state.RFT[rx] = code;
  });
}

void DecodeKP(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] { p.state.Pitch = PitchToHost(FieldInt16(a, 3, 4)); });
}

void DecodeTS(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] { p.state.TXW = FieldInt16(a, 3, 3); });
}

}  // namespace veltro::detail
