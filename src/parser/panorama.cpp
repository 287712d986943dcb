#include "parser/panorama.h"

#include <array>
#include <string>

#include "host/convert.h"
#include "host/filter_width.h"
#include "host/library.h"
#include "host/profile.h"
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

void SaveFW(ProtocolImpl& p, std::string_view text, std::int16_t mode, std::int16_t narrow,
            std::int16_t& tag) {
  // The separators keep mode 1 with tag 23 apart from mode 12 with tag 3.
  std::string key = std::string(Mid(text, 1, 6)) + "/" + DecimalText(mode) + "/" + DecimalText(tag);
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
