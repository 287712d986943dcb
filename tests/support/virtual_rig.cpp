#include "support/virtual_rig.h"

namespace veltro::testing {

VirtualRig::VirtualRig(double start_seconds)
    : vp(start_seconds),
      lib(vp.platform()),
      connector(std::make_unique<FTDX10_Connector>(lib)),
      radio(connector->FTDX10_Protocol()) {}

VirtualRig::~VirtualRig() {
  radio.reset();
  connector.reset();
}

platform::VirtualSerialControl& VirtualRig::serial() {
  lib.ComDLL();
  return *vp.serial();
}

VBool VirtualRig::OpenPort(const std::string& speed) {
  radio->Port(1);
  radio->PortSpeed(speed);
  VBool open = kTrue;
  std::string address, code, msg;
  return radio->SetPort(open, address, code, msg);
}

}  // namespace veltro::testing
