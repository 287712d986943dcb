// The receiver settings a panorama display reads back from the per-user settings store
// (application "Corvane", section "PAN"): attenuator, pre-amplifier, filter width and IF shift.
// The answer decoders call these with the whole answer, the setters with the command they send.
#pragma once

#include <cstdint>
#include <string_view>

namespace veltro::detail {

class Library;
struct ProtocolImpl;

inline constexpr const char* kSettingsApplication = "Corvane";
inline constexpr const char* kSettingsSection = "PAN";

// "RA00".."RA03" save "0", "6", "12", "18" under "ATT" when the first four characters differ
// from the last text seen; any other text saves nothing but is remembered all the same.
void SaveAtt(Library& lib, std::string_view text);
// The same for "PA00".."PA03" under "PRE".
void SavePre(Library& lib, std::string_view text);

// Saves the shift of an "IS0" text (flag, sign, four digits) under "IFS" and in IFS, on every
// call. On the FT-891 a text whose flag is "0" (shift off) saves 0.
void SaveIFS(ProtocolImpl& p, std::string_view text);

// Saves the filter width in Hz of an "SH0" text under "FW" and in BW, when the text's first six
// characters, `mode` or `tag` differ from the previous call's.
void SaveFW(ProtocolImpl& p, std::string_view text, std::int16_t mode, std::int16_t narrow,
            std::int16_t& tag);

}  // namespace veltro::detail
