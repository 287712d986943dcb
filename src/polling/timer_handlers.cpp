// Tick handlers of the control panel's timers. The receive handler lives with the receive path.
#include "polling/timer_handlers.h"

#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// The sequence counters stop one past their last step, so a sequence that cannot end (the level
// sequence while the radio has not reported since power-on) never runs its counter to the limit.
constexpr std::int16_t kLevelCounterCeiling = 48;
constexpr std::int16_t kVFOCounterCeiling = 29;

}  // namespace

void OnPollingTick(ProtocolImpl& p) {
  auto& s = p.state;
  auto& m = p.module();
  if (!s.PortOpen || s.CAT == 0) return;
  // A running level sequence has the line to itself, except while a refresh is pending: the level
  // ticks wait for the refresh, so standing aside then would stop both for good.
  if (m.LevelPollStep > 0 && !m.RefreshPending) return;
  std::int16_t action;
  if (m.RefreshPending) {
    action = 1;
    p.self.SetPolling(action);
    return;
  }
  if (s.AutoPolling == kTrue) {
    if (m.FreqChanged == kTrue) {
      action = 0;
      p.self.SetPolling(action);
    } else if (m.FreqChanged == kFalse) {
      if (m.PollToggle == 0) {
        action = 1;
        p.self.SetPolling(action);
        m.PollToggle = 1;
      } else if (m.PollToggle == 1) {
        action = 3;
        p.self.SetPolling(action);
        m.PollToggle = 0;
      }
    }
  } else if (s.AutoPolling == kFalse) {
    action = 3;
    p.self.SetPolling(action);
  }
  if (m.AFQueryPending) {
    action = 4;
    p.self.SetPolling(action);
    m.AFQueryPending = kFalse;
  }
}

void OnLevelsTick(ProtocolImpl& p) {
  auto& m = p.module();
  if (m.RefreshPending) return;
  if (m.LevelPollStep < kLevelCounterCeiling) ++m.LevelPollStep;
  p.self.PollLevels();
}

void OnPollVFOTick(ProtocolImpl& p) {
  auto& m = p.module();
  if (m.RefreshPending) return;
  if (m.VFOPollStep < kVFOCounterCeiling) ++m.VFOPollStep;
  p.self.PollCurrVFO();
}

void OnStartTick(ProtocolImpl& p) {
  p.self.SetRefresh();
  p.lib.Panel().tmrStart->Enabled(false);
}

void OnStopPollingTick(ProtocolImpl& p) {
  p.module().PollingPaused = kFalse;
  p.lib.Panel().tmrStopPolling->Enabled(false);
}

}  // namespace veltro::detail
