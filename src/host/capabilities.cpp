// The radio described from the library's own tables, for the profile in use.
#include "veltro/capabilities.h"

#include "host/filter_width.h"
#include "host/profile.h"
#include "host/protocol_impl.h"
#include "host/scales.h"
#include "host/tone_tables.h"
#include "veltro/ftdx10.h"

namespace veltro {

namespace {

constexpr int kFrontEndStepDb = 6;  // attenuator and pre-amplifier codes, as "RA0n"/"PA0n" count

std::vector<int> FrontEndSteps(std::int16_t codes) {
  std::vector<int> out;
  for (int i = 1; i <= codes; ++i) out.push_back(i * kFrontEndStepDb);
  return out;
}

}  // namespace

RadioCapabilities Capabilities(const FTDX10_Protocol& radio) {
  const detail::ProtocolImpl& p = radio.impl();
  const detail::RadioState& s = p.state;
  const bool ft891 = detail::Ft891Profile(p);
  RadioCapabilities c;
  c.transceiver = s.Transceiver;
  c.range_min_hz = s.RangeMin * 1e6;
  c.range_max_hz = s.RangeMax * 1e6;
  for (std::int16_t mode = 0; mode <= 6; ++mode) {
    RadioCapabilities::ModeFilters f{mode, {}};
    std::int16_t lowest = 0, highest = 0;
    if (detail::WidthStepLimits(ft891, mode, false, lowest, highest)) {
      for (std::int16_t step = lowest; step <= highest; ++step) {
        f.widths_hz.push_back(detail::FilterWidthHz(ft891, step, mode, 0, s.RFT[0]));
      }
    } else {
      f.widths_hz = {detail::FilterWidthHz(ft891, 0, mode, 1, 0),
                     detail::FilterWidthHz(ft891, 0, mode, 0, 0)};
    }
    c.filters.push_back(std::move(f));
  }
  c.attenuator_db = FrontEndSteps(s.Property[4]);
  c.preamp_db = FrontEndSteps(s.Property[23]);
  c.agc_codes = s.Property[2];
  c.max_rit_hz = detail::kMaxRitHz;
  c.max_if_shift_hz = detail::kMaxIfShiftHz;
  c.channel_min = s.ChannelMin;
  c.channel_max = s.ChannelMax;
  // Only the tones SetTone takes on this radio.
  const std::int16_t tones = s.Property[detail::kToneCapability];
  if (detail::CtcssCapable(tones)) {
    c.ctcss_hz.assign(detail::kCtcssTones.begin(), detail::kCtcssTones.end());
  }
  if (detail::DcsCapable(tones))
    c.dcs_codes.assign(detail::kDcsCodes.begin(), detail::kDcsCodes.end());
  return c;
}

}  // namespace veltro
