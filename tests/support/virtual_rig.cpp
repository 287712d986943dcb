#include "support/virtual_rig.h"

#include <sstream>

#include "veltro/members.h"

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

std::string VirtualRig::Read(const std::string& names) {
  std::istringstream in(names);
  std::string item, out;
  std::vector<Variant> none;
  while (in >> item) {
    std::string name = item.substr(0, item.find('='));
    const Member* m = FindMember(name);
    out += (out.empty() ? "" : " ") + name + "=" + (m ? m->Get(*radio, none).ToText() : "?");
  }
  return out;
}

}  // namespace veltro::testing
