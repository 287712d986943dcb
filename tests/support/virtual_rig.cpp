#include "support/virtual_rig.h"

#include <sstream>

#include "veltro/members.h"

namespace veltro::testing {

VirtualRig::VirtualRig(double start_seconds)
    : vp(start_seconds),
      lib(vp.platform()),
      connector(std::make_unique<FTDX10_Connector>(lib)),
      radio(connector->FTDX10_Protocol()) {}

platform::VirtualSerialControl& VirtualRig::serial() {
  lib.ComDLL();
  return *vp.serial();
}

VBool VirtualRig::OpenPort(const std::string& speed) {
  radio->Port(1);
  radio->PortSpeed(speed);
  return radio->SetPort(true);
}

Variant VirtualRig::Get(const std::string& name) {
  const std::size_t open = name.find('(');
  std::vector<Variant> args;
  if (open != std::string::npos) {
    for (auto at = open + 1; at < name.size(); at = name.find_first_of(",)", at) + 1) {
      args.emplace_back(static_cast<std::int16_t>(std::stoi(name.substr(at))));
    }
  }
  const Member* m = FindMember(name.substr(0, open));
  return m ? m->Get(*radio, args) : Variant("?");
}

std::string VirtualRig::Read(const std::string& names) {
  std::istringstream in(names);
  std::string item, out;
  while (in >> item) {
    std::string name = item.substr(0, item.rfind('='));
    out += (out.empty() ? "" : " ") + name + "=" + Get(name).ToText();
  }
  return out;
}

}  // namespace veltro::testing
