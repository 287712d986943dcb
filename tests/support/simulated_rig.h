// A VirtualRig wired to the in-process radio model: every write reaches the model, and what the
// model sends back arrives `latency_ms` later on virtual time. The whole exchange is exact and
// instant, so end-to-end tests need no pty and no sleeps.
#pragma once

#include <string>

#include "ftdx10sim/radio_model.h"
#include "support/virtual_rig.h"

namespace veltro::testing {

class SimulatedRig : public VirtualRig {
 public:
  explicit SimulatedRig(sim::Model model = sim::Model::kFtdx10, int latency_ms = 20);

  sim::RadioModel radio_model;
  int latency_ms;
  // Every byte the model sent back, in order.
  std::string answers;

  // Opens the port, switches CAT on and lets `settle_ms` of virtual time pass.
  void Connect(int settle_ms = 5000);
  // Applies a front-panel change on the model; its auto-information reports (if any) arrive
  // after the latency.
  void FrontPanel(const std::string& command);
};

}  // namespace veltro::testing
