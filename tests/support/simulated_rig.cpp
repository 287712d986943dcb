#include "support/simulated_rig.h"

namespace veltro::testing {

SimulatedRig::SimulatedRig(sim::Model model, int latency)
    : radio_model(model), latency_ms(latency) {
  serial().OnWrite([this](const std::string& text) {
    std::string reply = radio_model.Receive(text);
    if (reply.empty()) return;
    answers += reply;
    serial().FeedAt(latency_ms, reply);
  });
}

void SimulatedRig::Connect(int settle_ms) {
  OpenPort();
  std::int16_t cat = 1;
  radio->SetCAT(cat);
  vp.Advance(settle_ms);
}

void SimulatedRig::FrontPanel(const std::string& command) {
  auto reports = radio_model.Operate(command);
  if (reports && !reports->empty()) {
    answers += *reports;
    serial().FeedAt(latency_ms, *reports);
  }
}

}  // namespace veltro::testing
