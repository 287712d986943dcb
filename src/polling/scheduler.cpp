// The master polling tick's actions, CAT on/off, refresh, and the short pause after level
// commands. Nothing here runs unless the port is open and CAT is enabled.
#include "host/convert.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// One step of the full status cycle per call: FA, FB, IF, ST, OI, TX, AC, VS, then the FM step.
constexpr const char* kStatusCycle[] = {"FA", "FB", "IF", "ST", "OI", "TX", "AC", "VS"};
constexpr std::int16_t kStatusCycleLastStep = 8;

// The routine poll's counters: every 5th call re-reads the FM status, every 7th with split on
// re-reads the other side.
constexpr std::int16_t kFMPollEvery = 5;
constexpr std::int16_t kSplitPollEvery = 7;

bool LinkUp(const RadioState& s) { return s.PortOpen != 0 && s.CAT != 0; }

// Whether the radio reports its changes by itself: always without auto-polling, and with it when
// the host asked for both.
const char* AutoInformationSetting(const RadioState& s) {
  return s.AutoPolling && !s.ReportChanges ? "AI0" : "AI1";
}

}  // namespace

void ProtocolImpl::PausePolling() {
  module().PollingPaused = kTrue;
  lib.Panel().tmrStopPolling->Enabled(true);
}

}  // namespace veltro::detail

namespace veltro {

void FTDX10_Protocol::SetPolling(std::int16_t& State) {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  if (!detail::LinkUp(s)) return;

  if (s.AIState == -1) {
    // The radio was just switched on: tell it again whether to report by itself, ask what it now
    // does, and run the full status cycle afresh.
    p.Send(detail::AutoInformationSetting(s));
    p.clock().SleepMs(100);
    p.Send("AI");
    m.RefreshPending = kTrue;
    s.PollStep = 0;
    return;
  }

  switch (State) {
    case 0:
      if (s.VFO == 0) p.Send("FA");
      if (s.VFO == 1) p.Send("FB");
      return;
    case 1:
    case 2: {
      VBool ack = kTrue;
      if (s.PollStep >= 0 && s.PollStep < detail::kStatusCycleLastStep) {
        p.SendCommand(detail::kStatusCycle[s.PollStep], ack, kFalse);
      } else if (s.PollStep == detail::kStatusCycleLastStep) {
        if (s.Mode == 4) p.FMStatusQuery();
        ack = kFalse;
      }
      if (!ack) ++s.PollStep;
      if (s.PollStep > detail::kStatusCycleLastStep || s.PollStep < 0) {
        s.PollStep = 0;
        m.RefreshPending = kFalse;
      }
      return;
    }
    case 3: {
      if (s.QueryPending || !s.AutoPolling) return;
      if (++s.FMPollCount >= detail::kFMPollEvery) {
        p.FMStatusQuery();
        s.FMPollCount = 0;
      }
      if (s.Split != 0 && ++s.SplitPollCount >= detail::kSplitPollEvery) {
        s.SplitPollCount = 0;
        p.Send("OI");
      }
      VBool query = kTrue;
      p.SendCommand("SM0", query, kFalse);
      query = kTrue;
      p.SendCommand("RM" + s.MeterIndex, query, kFalse);
      s.QueryPending = kTrue;
      return;
    }
    case 4:
      p.Send("AG0");
      return;
    default:
      return;
  }
}

std::int16_t FTDX10_Protocol::SetCAT(std::int16_t& CAT) {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  s.CAT = 0;
  if (!s.PortOpen) return 0;
  s.CAT = CAT;
  if (CAT == 0) {
    p.Send("AI0");
  } else if (CAT == 1) {
    p.Send("ID");
    ReadBuffer(m.ComBuffer, kTrue);
    if (s.AutoPolling == kTrue) {
      s.PollStep = 0;
      p.Send(detail::AutoInformationSetting(s));
      m.RefreshPending = kTrue;
      m.AFQueryPending = kTrue;
    } else if (s.AutoPolling == kFalse) {
      p.Send("AI1");
      p.lib.Panel().tmrStart->Enabled(true);
      m.RefreshPending = kTrue;
      p.RestartLevelPoll();
      m.AFQueryPending = kTrue;
    } else {
      m.AFQueryPending = kTrue;
    }
  }
  return -1;
}

void FTDX10_Protocol::SetRefresh() {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  if (!detail::LinkUp(s)) return;
  if (!s.AutoPolling) p.Send("AI1");
  m.RefreshPending = kTrue;
  if (!s.AutoPolling) p.RestartLevelPoll();
  m.FreqChanged = kFalse;
  m.PollToggle = 0;
  s.PollStep = 0;
}

}  // namespace veltro
