// Tick handlers of the control panel's timers. The receive handler lives with the receive path.
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// The sequence counters stop one past their last step, so a sequence that cannot end (the level
// sequence while the radio has not reported since power-on) never runs its counter to the limit.
constexpr std::int16_t kLevelCounterCeiling = 48;
constexpr std::int16_t kVFOCounterCeiling = 29;

}  // namespace

void ProtocolImpl::OnPollingTick() {
  auto& s = state;
  auto& m = module();
  if (!s.PortOpen || s.CAT == 0) return;
  // A running level sequence has the line to itself, except while a refresh is pending: the level
  // ticks wait for the refresh, so standing aside then would stop both for good.
  if (m.LevelPollStep > 0 && !m.RefreshPending) return;
  std::int16_t action;
  if (m.RefreshPending) {
    action = 1;
    self.SetPolling(action);
    return;
  }
  if (s.AutoPolling == kTrue) {
    if (m.FreqChanged == kTrue) {
      action = 0;
      self.SetPolling(action);
    } else if (m.FreqChanged == kFalse) {
      if (m.PollToggle == 0) {
        action = 1;
        self.SetPolling(action);
        m.PollToggle = 1;
      } else if (m.PollToggle == 1) {
        action = 3;
        self.SetPolling(action);
        m.PollToggle = 0;
      }
    }
  } else if (s.AutoPolling == kFalse) {
    action = 3;
    self.SetPolling(action);
  }
  if (m.AFQueryPending) {
    action = 4;
    self.SetPolling(action);
    m.AFQueryPending = kFalse;
  }
}

void ProtocolImpl::OnLevelsTick() {
  auto& m = module();
  if (m.RefreshPending) return;
  if (m.LevelPollStep < kLevelCounterCeiling) ++m.LevelPollStep;
  self.PollLevels();
}

void ProtocolImpl::OnPollVFOTick() {
  auto& m = module();
  if (m.RefreshPending) return;
  if (m.VFOPollStep < kVFOCounterCeiling) ++m.VFOPollStep;
  self.PollCurrVFO();
}

void ProtocolImpl::OnStartTick() {
  self.SetRefresh();
  lib.Panel().tmrStart->Enabled(false);
}

void ProtocolImpl::OnStopPollingTick() {
  module().PollingPaused = kFalse;
  lib.Panel().tmrStopPolling->Enabled(false);
}

}  // namespace veltro::detail
