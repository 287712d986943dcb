// Runs arbitrary sequences of host calls through the member table, with arbitrary arguments and
// answers from the radio in between, on virtual time with the port open. A member may refuse or
// raise its automation error; any crash, hang, other exception or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/virtual_rig.h"
#include "veltro/members.h"

namespace {

// Reads the input front to back; past its end every read gives zeros.
struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t Byte() { return size ? (--size, *data++) : 0; }
  std::int16_t Int16() { return static_cast<std::int16_t>(Byte() | Byte() << 8); }
  double Double() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t{Byte()} << (8 * i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::string Text() {
    std::string s(Byte() % 48, '\0');
    for (char& c : s) c = static_cast<char>(Byte());
    return s;
  }
  // Mostly small numbers, where the tables and boundaries are.
  veltro::Variant Value() {
    switch (Byte() % 4) {
      case 0:
        return veltro::Variant(static_cast<std::int16_t>(Byte() % 12 - 2));
      case 1:
        return veltro::Variant(Int16());
      case 2:
        return veltro::Variant(Double());
      default:
        return veltro::Variant(Text());
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<veltro::Member>& members = veltro::Members();
  veltro::testing::VirtualRig rig;
  rig.OpenPort();
  Input in{data, size};
  for (int call = 0; call < 64 && in.size > 0; ++call) {
    const veltro::Member& m = members[in.Byte() % members.size()];
    // The port stays as the rig opened it: its own tests cover opening and closing.
    if (m.Name() == "SetPort") continue;
    std::vector<veltro::Variant> args;
    for (std::size_t i = 0; i < m.Params().size(); ++i) args.push_back(in.Value());
    try {
      if (m.Settable() && in.Byte() % 2) {
        m.Let(*rig.radio, in.Value());
      } else {
        m.Get(*rig.radio, args);
      }
    } catch (const veltro::AutomationError&) {
      // A refusal the interface defines.
    }
    if (in.Byte() % 4 == 0) rig.serial().Feed(in.Text());
    rig.vp.Advance(in.Byte() * 10);
  }
  return 0;
}
