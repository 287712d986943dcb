// Meter answers: the S-meter, the transmit meter and the meter selection.
#include "host/convert.h"
#include "host/profile.h"
#include "host/protocol_impl.h"
#include "parser/decoders.h"

namespace veltro::detail {

void DecodeSM(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] {
    if (FieldInt16(a, 3, 3) == 0) p.state.SMeter = FieldInt16(a, 4, 6);
  });
}

// "RM" + meter digit + raw 0..255 reading. Digits 0 and 1 are the S-meters of the two
// receivers; the FTDX10 answers the selected transmit meter under its own digit, the FT-891
// under "2" only.
void DecodeRM(ProtocolImpl& p, std::string_view a, bool&) {
  Step([&] {
    std::int16_t which = FieldInt16(a, 3, 3);
    if (which == 0 || which == 1) {
      p.state.SMeter = FieldInt16(a, 4, 6);
    } else if (!Ft891Profile(p) || which == 2) {
      p.state.Meter = FieldInt16(a, 4, 6);
    }
  });
}

// The meter selection names the caption; on the FTDX10 it also picks the "RM" digit that the
// level poll reads (the FT-891 reads every transmit meter under one digit).
void DecodeMS(ProtocolImpl& p, std::string_view a, bool& level) {
  level = true;
  RadioState& s = p.state;
  bool ok = false;
  Step([&] {
    s.MeterSW = FieldInt16(a, 3, 3);
    ok = true;
  });
  if (!ok) return;
  Step([&] { s.MeterCaption = s.MeterNames.at(s.MeterSW); });
  if (!Ft891Profile(p)) s.MeterIndex = MeterIndexOf(s.MeterSW);
}

}  // namespace veltro::detail
