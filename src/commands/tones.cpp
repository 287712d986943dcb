// FM repeater operation: shift direction, shift amount (a menu item of the radio) and the
// sub-audible tone. The radio addresses tones by their position in the lists the tone answers
// are read with (host/tone_tables.h).
#include <cmath>
#include <string>

#include "commands/encoding.h"
#include "host/convert.h"
#include "host/protocol_impl.h"
#include "host/tone_tables.h"

namespace veltro::detail {

namespace {

constexpr std::size_t kGateShift = 20;
constexpr std::size_t kGateRPT = 27;
constexpr std::int16_t kFM = 4;

}  // namespace

std::int16_t CTCSSIndex(float tone_hz) {
  for (std::size_t i = 0; i < kCtcssTones.size(); ++i) {
    if (kCtcssTones[i] == tone_hz) return static_cast<std::int16_t>(i);
  }
  return -1;
}

std::int16_t DCSIndex(std::int16_t code) {
  for (std::size_t i = 0; i < kDcsCodes.size(); ++i) {
    if (kDcsCodes[i] == code) return static_cast<std::int16_t>(i);
  }
  return -1;
}

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetRPT(std::int16_t Direction) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[detail::kGateRPT] == 0) return kFalse;
  std::string command = "OS" + detail::DecimalText(s.VFO);
  if (Direction == -1) command += '2';
  if (Direction == 0) command += '0';
  if (Direction == 1) command += '1';
  p.Send(command);
  s.RPT = Direction;
  p.FMStatusQuery();
  return kTrue;
}

VBool FTDX10_Protocol::SetShift(float Shift) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[detail::kGateShift] == 0) return kFalse;
  const std::int32_t khz =
      detail::RoundToInt32(std::floor(static_cast<double>(Shift) / 1000.0 + 0.01));
  // One menu item below 50 MHz, another for 50 to 60 MHz; above that the radio has none.
  const std::string* menu = nullptr;
  if (s.Freq < 50) {
    menu = &s.RptShiftMenu[0];
  } else if (s.Freq <= 60) {
    menu = &s.RptShiftMenu[1];
  }
  if (menu) p.Send(*menu + detail::PadLeft(detail::DecimalText(khz), 4));
  s.Shift = Shift / 1000.0f;
  return kTrue;
}

VBool FTDX10_Protocol::SetTone(float CTCSS, std::int16_t DCS, std::int16_t Enc, std::int16_t Dec) {
  auto& p = *impl_;
  auto& s = p.state;
  const std::int16_t tones = s.Property[detail::kToneCapability];
  if (tones == 0) return kFalse;
  if (!detail::CtcssCapable(tones) && CTCSS > 0) return kFalse;
  if (!detail::DcsCapable(tones) && DCS > 0) return kFalse;
  if (s.Mode != detail::kFM) return kFalse;
  const std::string ct = s.VFO == 1 ? "CT1" : "CT0";
  const std::string cn = s.VFO == 1 ? "CN1" : "CN0";
  std::int16_t index = -1;
  char kind = '0';
  if (Enc == 0) {
    p.Send(ct + "0");
  } else if (Enc == 1 && DCS != 0) {
    p.Send(ct + "3");
    index = detail::DCSIndex(DCS);
    kind = '1';
    s.CTCSS = -static_cast<float>(DCS);
    s.DCS = 1;
    s.ToneDCS = DCS;
  } else if (Enc == 1) {
    if (Dec == 0) p.Send(ct + "2");
    if (Dec == 1) p.Send(ct + "1");
    index = detail::CTCSSIndex(CTCSS);
    kind = '0';
    s.CTCSS = CTCSS;
    s.ToneCTCSS = CTCSS;
    s.DCS = 0;
  }
  // A tone missing from the lists still sets the tone mode; only its number is not sent.
  if (index >= 0) p.Send(cn + kind + detail::PadLeft(detail::DecimalText(index), 3));
  s.Enc = Enc;
  s.Dec = Dec;
  return kTrue;
}

}  // namespace veltro
