// The radio's identity and the one switch that moves the library from the FTDX10 values (the
// state's initial values) to the FT-891 set. Nothing else writes the values listed in the FT-891
// profile, so the two sets cannot drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace veltro::detail {

struct ProtocolImpl;

// The FT-891's values: menus, meter captions, scales, ranges and capability entries.
struct ModelProfile {
  std::string_view transceiver;
  std::string_view nb_query;  // level query of both noise-blanker records
  std::array<std::string_view, 2> rpt_shift_menu;
  std::string_view full_bk_menu;
  std::string_view contour_level_menu, contour_level_menu2;
  std::string_view contour_level_menu_down, contour_level_menu_up;
  std::int16_t menu_code_length;
  std::string_view meter_index;
  std::array<std::string_view, 5> meter_names;  // entries 0..4; the others are kept
  float rg_scale;
  double range_max;  // MHz: RangeMax and the upper end of frequency range 1
  struct Entry {
    int index;
    std::int16_t value;
  };
  std::array<Entry, 9> property;
  std::string_view filter_prefix;
};

extern const ModelProfile kFt891Values;

// The radio identity that selects the FT-891 profile.
inline constexpr std::int16_t kFt891ModelID = 650;
// True once the radio has identified itself as the FT-891.
bool Ft891Profile(const ProtocolImpl& p);

// What the "ID" answer does with the identity number: records it, sets the filter prefix, and
// for the FT-891 applies kFt891Values. Another number never restores the FTDX10 values.
void ApplyModelIdentity(ProtocolImpl& p, std::int16_t id);

}  // namespace veltro::detail
