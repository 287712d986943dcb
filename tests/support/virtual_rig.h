// A library instance on the virtual platform with one host connector: every test starts from the
// state the library has when it is loaded, with time that moves only when the test says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library.h"
#include "host/protocol_impl.h"
#include "platform/virtual_platform.h"
#include "veltro/ftdx10.h"

namespace veltro::testing {

class VirtualRig {
 public:
  explicit VirtualRig(double start_seconds = 1000.0);

  platform::VirtualPlatform vp;
  detail::Library lib;
  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> radio;

  detail::ProtocolImpl& impl() { return radio->impl(); }
  detail::Module& module() { return lib.module(); }
  detail::RadioState& state() { return impl().state; }
  // The serial control, creating the control panel when needed.
  platform::VirtualSerialControl& serial();
  // Sets the port up and opens it (38400 baud); returns SetPort's result.
  VBool OpenPort(const std::string& speed = "38400");
  // Texts written since the last call.
  std::vector<std::string> TakeWrites() { return serial().TakeTexts(); }
  // One property read by name the way a host reads it, indices in brackets: "AFLevel(0)".
  Variant Get(const std::string& name);
  // "Name=value ..." for the named properties (anything after a "=" in `names` is ignored), so a
  // test can compare a whole line of state at once.
  std::string Read(const std::string& names);
};

}  // namespace veltro::testing
