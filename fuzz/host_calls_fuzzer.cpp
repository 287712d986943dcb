// Runs arbitrary sequences of host calls through the member table, with arbitrary arguments and
// answers from the radio in between, on virtual time with the port open. A member may refuse or
// raise its automation error; any crash, hang, other exception or sanitizer report is a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/virtual_rig.h"
#include "veltro/members.h"

namespace {

// Mostly small numbers, where the tables and boundaries are; doubles take any bit pattern, so
// infinities and NaNs come too.
veltro::Variant Value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return veltro::Variant(in.ConsumeIntegralInRange<std::int16_t>(-2, 9));
    case 1:
      return veltro::Variant(in.ConsumeIntegral<std::int16_t>());
    case 2:
      return veltro::Variant(std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>()));
    default:
      return veltro::Variant(in.ConsumeRandomLengthString(48));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<veltro::Member>& members = veltro::Members();
  veltro::testing::VirtualRig rig;
  rig.OpenPort();
  FuzzedDataProvider in(data, size);
  for (int call = 0; call < 64 && in.remaining_bytes() > 0; ++call) {
    const veltro::Member& m =
        members[in.ConsumeIntegralInRange<std::size_t>(0, members.size() - 1)];
    // The port stays as the rig opened it: its own tests cover opening and closing.
    if (m.Name() == "SetPort") continue;
    std::vector<veltro::Variant> args;
    for (std::size_t i = 0; i < m.Params().size(); ++i) args.push_back(Value(in));
    try {
      if (m.Settable() && in.ConsumeBool()) {
        m.Let(*rig.radio, Value(in));
      } else {
        m.Get(*rig.radio, args);
      }
    } catch (const veltro::AutomationError&) {
      // A refusal the interface defines.
    }
    if (in.ConsumeIntegralInRange(0, 3) == 0) rig.serial().Feed(in.ConsumeRandomLengthString(48));
    rig.vp.Advance(in.ConsumeIntegral<std::uint8_t>() * 10);
  }
  return 0;
}
