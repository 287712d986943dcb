#include "parser/panorama.h"

#include <array>
#include <string>

#include "commands/command_helpers.h"
#include "host/convert.h"
#include "host/library.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// Attenuator and pre-amplifier: the code's four characters and the decibels saved for them.
struct StepText {
  std::string_view code;
  const char* value;
};

void SaveOnChange(Library& lib, std::string_view text, std::string& last,
                  const std::array<StepText, 4>& steps, const char* key) {
  if (Mid(text, 1, 4) == Mid(last, 1, 4)) return;
  for (const StepText& s : steps) {
    if (Mid(text, 1, 4) == s.code) {
      lib.settings().Save(kSettingsApplication, kSettingsSection, key, s.value);
      break;
    }
  }
  last = std::string(text);
}

constexpr std::array<StepText, 4> kAttSteps{
    {{"RA00", "0"}, {"RA01", "6"}, {"RA02", "12"}, {"RA03", "18"}}};
constexpr std::array<StepText, 4> kPreSteps{
    {{"PA00", "0"}, {"PA01", "6"}, {"PA02", "12"}, {"PA03", "18"}}};

// Widths in Hz for steps 1..N; a step above N takes `above`.
struct WidthList {
  const std::int32_t* widths;
  std::int32_t count;
  std::int32_t above;
  std::int32_t At(std::int32_t step) const { return step <= count ? widths[step - 1] : above; }
};

constexpr std::int32_t kFtdx10Voice[] = {300,  400,  600,  850,  1100, 1200, 1500, 1650,
                                         1800, 1950, 2100, 2250, 2400, 2450, 2500, 2600,
                                         2700, 2800, 2900, 3000, 3200, 3500};
constexpr std::int32_t kFtdx10Narrow[] = {50,  100, 150, 200,  250,  300,  350,  400, 450,
                                          500, 600, 800, 1200, 1400, 1700, 2000, 2400};
constexpr std::int32_t kFt891Voice[] = {200,  400,  600,  850,  1100, 1350, 1500, 1650, 1800, 1950,
                                        2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000};
constexpr std::int32_t kFt891Narrow[] = {50,  100, 150, 200,  250,  300,  350,  400,
                                         450, 500, 800, 1200, 1400, 1700, 2000, 2400};

constexpr WidthList kFtdx10VoiceList{kFtdx10Voice, 22, 4000};
constexpr WidthList kFtdx10NarrowList{kFtdx10Narrow, 17, 3000};
constexpr WidthList kFt891VoiceList{kFt891Voice, 20, 3200};
constexpr WidthList kFt891NarrowList{kFt891Narrow, 16, 3000};

// Step 0 on the FTDX10 is the roofing filter's own width.
std::int32_t Ftdx10WideOpen(std::int16_t roofing) {
  switch (roofing) {
    case 1:
      return 12000;
    case 4:
      return 500;
    case 5:
      return 300;
    default:
      return 3000;
  }
}

}  // namespace

void SaveAtt(Library& lib, std::string_view text) {
  SaveOnChange(lib, text, lib.module().LastATT, kAttSteps, "ATT");
}

void SavePre(Library& lib, std::string_view text) {
  SaveOnChange(lib, text, lib.module().LastPRE, kPreSteps, "PRE");
}

void SaveIFS(ProtocolImpl& p, std::string_view text) {
  std::int16_t v = FieldInt16(text, 5, 9);
  if (Ft891Profile(p) && Mid(text, 4, 4) == "0") v = 0;
  p.lib.settings().Save(kSettingsApplication, kSettingsSection, "IFS", DecimalText(v));
  p.state.IFS = v;
  p.state.StatusChange = kTrue;
}

std::int32_t FilterWidthHz(bool ft891, std::int32_t step, std::int16_t mode, std::int16_t narrow,
                           std::int16_t roofing) {
  if (mode == 3) return narrow != 0 ? 6000 : 9000;
  if (mode == 4 || mode > 6) return narrow != 0 ? 9000 : 16000;
  if (mode < 0 || step < 0) return 0;
  bool voice = mode <= 1;  // else modes 2, 5 and 6
  if (step == 0) {
    if (!ft891) return Ftdx10WideOpen(roofing);
    if (voice) return narrow == 1 ? 1500 : 2400;
    if (mode == 2) return narrow == 1 ? 500 : 2400;
    return narrow == 1 ? 300 : 500;
  }
  const WidthList& list = ft891 ? (voice ? kFt891VoiceList : kFt891NarrowList)
                                : (voice ? kFtdx10VoiceList : kFtdx10NarrowList);
  return list.At(step);
}

void SaveFW(ProtocolImpl& p, std::string_view text, std::int16_t mode, std::int16_t narrow,
            std::int16_t& tag) {
  std::string key = std::string(Mid(text, 1, 6)) + DecimalText(mode) + DecimalText(tag);
  std::string& last = p.module().LastFW;
  if (key == last) return;
  std::int32_t step = RoundToInt32(LeadingNumber(Mid(text, 5, 6)));
  std::int32_t width = FilterWidthHz(Ft891Profile(p), step, mode, narrow, p.state.RFT[0]);
  p.lib.settings().Save(kSettingsApplication, kSettingsSection, "FW", DecimalText(width));
  p.state.BW = static_cast<std::int16_t>(width);
  last = std::move(key);
  p.state.StatusChange = kTrue;
}

}  // namespace veltro::detail
