// Feeds arbitrary bytes to the receive path, cut into deliveries by the first input byte, with the
// port open so the post-answer step may write. Any crash, hang or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/virtual_rig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  veltro::testing::VirtualRig rig;
  rig.OpenPort();
  std::size_t piece = data[0] % 64 + 1;
  rig.radio->AddChangeHandler([&](std::int16_t&) {
    std::string b = "FA;";
    rig.radio->ReadBuffer(b, veltro::kTrue);  // a handler calling back in
  });
  for (std::size_t at = 1; at < size; at += piece) {
    std::size_t n = size - at < piece ? size - at : piece;
    rig.serial().Feed(std::string(reinterpret_cast<const char*>(data + at), n));
    rig.vp.Advance(3);
  }
  return 0;
}
