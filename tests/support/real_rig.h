// A library instance on the real POSIX platform (monotonic timers, termios serial control)
// talking over a pty to the simulator running on its own thread. For the few tests that must run
// for real; everything else uses VirtualRig.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "ftdx10sim/simulator.h"
#include "host/library.h"
#include "platform/posix_event_loop.h"
#include "platform/virtual_platform.h"
#include "veltro/ftdx10.h"

namespace veltro::testing {

class RealRig {
 public:
  explicit RealRig(sim::SimulatorOptions options = {});
  ~RealRig();

  // Opens the simulator's pty through the library; returns SetPort's message ("" on success).
  std::string Open(const std::string& speed = "38400");
  // Switches CAT on.
  void CatOn();
  // Runs the event loop until `done` holds or `timeout` passes; returns whether it held.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

  sim::Simulator simulator;
  platform::PosixClock clock;
  platform::PosixEventLoop loop;
  platform::VirtualSettingsStore settings;
  std::unique_ptr<detail::Library> lib;
  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> radio;
};

}  // namespace veltro::testing
