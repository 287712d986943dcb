// Repeater, tone, menu and identity answers.
#include <cstdlib>
#include <string>

#include "host/convert.h"
#include "host/profile.h"
#include "host/protocol_impl.h"
#include "host/tone_tables.h"
#include "parser/decoders.h"

namespace veltro::detail {

namespace {

// Answers about the tone and shift of one VFO count only for the VFO in use.
bool ForVFOInUse(ProtocolImpl& p, std::string_view a) {
  bool yes = false;
  Step([&] { yes = FieldInt16(a, 3, 3) == p.state.VFO; });
  return yes;
}

}  // namespace

void DecodeOS(ProtocolImpl& p, std::string_view a, bool&) {
  if (!ForVFOInUse(p, a)) return;
  Step([&] {
    std::int16_t v = FieldInt16(a, 4, 4);
    p.state.RPT = static_cast<std::int16_t>(v == 1 ? 1 : v == 2 ? -1 : 0);
  });
}

// Tone mode: off (0), tone squelch (1), encoder only (2), DCS (3). CTCSS shows the tone in Hz,
// or the DCS code as a negative number. The tone itself is asked for next.
void DecodeCT(ProtocolImpl& p, std::string_view a, bool&) {
  if (!ForVFOInUse(p, a)) return;
  RadioState& s = p.state;
  Step([&] {
    switch (FieldInt16(a, 4, 4)) {
      case 0:
        s.DCS = s.Enc = s.Dec = 0, s.CTCSS = s.ToneCTCSS;
        break;
      case 1:
        s.Enc = 1, s.Dec = 1, s.DCS = 0, s.CTCSS = s.ToneCTCSS;
        break;
      case 2:
        s.Enc = 1, s.Dec = 0, s.DCS = 0, s.CTCSS = s.ToneCTCSS;
        break;
      case 3:
        s.Enc = 1, s.Dec = 0, s.DCS = 1, s.CTCSS = -static_cast<float>(s.ToneDCS);
        break;
      default:
        break;
    }
  });
  p.SendRead("CN" + DecimalText(s.VFO) + "0");
}

// Tone number (position 4 "0") or DCS code number ("1"), each an index into its table.
void DecodeCN(ProtocolImpl& p, std::string_view a, bool&) {
  if (!ForVFOInUse(p, a)) return;
  RadioState& s = p.state;
  std::string_view which = Mid(a, 4, 4);
  Step([&] {
    if (which == "0") {
      s.ToneCTCSS = CtcssTone(FieldInt16(a, 5, 7));
      if (s.DCS == 0) s.CTCSS = s.ToneCTCSS;
    } else if (which == "1") {
      s.ToneDCS = DcsCode(FieldInt16(a, 5, 7));
      if (s.DCS == 1) s.CTCSS = -static_cast<float>(s.ToneDCS);
    }
  });
}

// Menu answers: the menu code (MenuCodeLength characters) and its value. Only the full break-in
// switch, the contour level (whose sign is the contour frequency's) and the repeater shift of
// the band in use are kept.
void DecodeEX(ProtocolImpl& p, std::string_view a, bool& level) {
  RadioState& s = p.state;
  std::size_t len = s.MenuCodeLength > 0 ? static_cast<std::size_t>(s.MenuCodeLength) : 0;
  if (a.size() < len) return;
  std::string_view menu = a.substr(0, len);
  if (menu == s.FullBKMenu) {
    level = true;
    Step([&] { s.FullBK = FieldInt16(a, len + 1, len + 1); });
  } else if (menu == s.ContourLevelMenu) {
    level = true;
    s.ContourSign = LeadingNumber(Mid(a, len + 1, len + 3)) < 0 ? -1 : 1;
    s.FContour = static_cast<std::int16_t>(std::abs(int{s.FContour}) * s.ContourSign);
  } else if (menu == s.RptShiftMenu[0]) {
    if (s.Freq < 50) s.Shift = ToSingle(LeadingNumber(Mid(a, len + 1, len + 4)));
  } else if (menu == s.RptShiftMenu[1]) {
    if (s.Freq >= 50 && s.Freq <= 60) {
      s.Shift = ToSingle(LeadingNumber(Mid(a, len + 1, len + 4)));
    }
  }
}

void DecodeID(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] { ApplyModelIdentity(p, FieldInt16(a, 3, 6)); });
}

}  // namespace veltro::detail
