#include "host/profile.h"

#include <string>

#include "host/protocol_impl.h"

namespace veltro::detail {

const ModelProfile kFt891Values{
    .transceiver = "FT-891",
    .nb_query = "NL0",
    .rpt_shift_menu = {"EX0904", "EX0905"},
    .full_bk_menu = "EX0708",
    .contour_level_menu = "EX1202",
    .contour_level_menu2 = "EX1203",
    .contour_level_menu_down = "EX1202",
    .contour_level_menu_up = "EX1202",
    .menu_code_length = 6,
    .meter_index = "2",
    .meter_names = {"COMP", "ALC", "PO", "SWR", "ID"},
    .rg_scale = 30.0f,
    .range_max = 54.0,
    .property =
        {{{4, 1}, {9, 15}, {11, 1}, {16, 63}, {23, 1}, {56, 21}, {58, 0}, {71, 4}, {72, 1}}},
    .filter_prefix = "1",
};

namespace {

void ApplyProfile(ProtocolImpl& p, const ModelProfile& v) {
  RadioState& s = p.state;
  Module& m = p.module();
  s.NBRecord[1].Query = v.nb_query;
  s.NBRecord[2].Query = v.nb_query;
  s.RptShiftMenu[0] = v.rpt_shift_menu[0];
  s.RptShiftMenu[1] = v.rpt_shift_menu[1];
  s.FullBKMenu = v.full_bk_menu;
  s.ContourLevelMenu = v.contour_level_menu;
  s.ContourLevelMenu2 = v.contour_level_menu2;
  s.ContourLevelMenuDown = v.contour_level_menu_down;
  s.ContourLevelMenuUp = v.contour_level_menu_up;
  s.MenuCodeLength = v.menu_code_length;
  s.MeterIndex = v.meter_index;
  for (std::size_t i = 0; i < v.meter_names.size(); ++i) s.MeterNames[i] = v.meter_names[i];
  s.Transceiver = v.transceiver;
  s.RGScale = v.rg_scale;
  s.RangeMax = v.range_max;
  m.FreqRangeMax[1] = v.range_max;
  for (const auto& e : v.property) s.Property[e.index] = e.value;
  s.FilterPrefix = v.filter_prefix;
}

}  // namespace

bool Ft891Profile(const ProtocolImpl& p) { return p.lib.module().ModelID == kFt891ModelID; }

void ApplyModelIdentity(ProtocolImpl& p, std::int16_t id) {
  p.module().ModelID = id;
  if (id == kFt891ModelID) {
    ApplyProfile(p, kFt891Values);
  } else {
    p.state.FilterPrefix = "0";
  }
}

}  // namespace veltro::detail
