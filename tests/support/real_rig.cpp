#include "support/real_rig.h"

#include "platform/posix_serial_control.h"

namespace veltro::testing {

RealRig::RealRig(sim::SimulatorOptions options) : simulator(options) {
  simulator.Start();
  platform::Platform p;
  p.clock = &clock;
  p.loop = &loop;
  p.settings = &settings;
  p.make_serial = [this] { return platform::MakePosixSerialControl(loop); };
  lib = std::make_unique<detail::Library>(std::move(p));
  connector = std::make_unique<FTDX10_Connector>(*lib);
  radio = connector->FTDX10_Protocol();
}

RealRig::~RealRig() {
  radio.reset();
  connector.reset();
  lib.reset();
  simulator.Stop();
}

std::string RealRig::Open(const std::string& speed) {
  radio->PortDevice(simulator.SlavePath());
  radio->PortSpeed(speed);
  VBool open = kTrue;
  std::string address, code, msg;
  radio->SetPort(open, address, code, msg);
  return msg;
}

void RealRig::CatOn() {
  std::int16_t cat = 1;
  radio->SetCAT(cat);
}

bool RealRig::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    loop.Run(20);
  }
  return true;
}

}  // namespace veltro::testing
