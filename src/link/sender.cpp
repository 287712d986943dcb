// The one writer to the port. Ordinary commands are spaced at least CommandGap apart and never
// lost; a polling query goes out only when no ordinary command went out in the last second and
// no earlier query is unanswered, unless the line has been quiet for more than PacingWindow.
#include <cmath>

#include "host/convert.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// Intervals are absolute differences of two time-of-day readings in single precision, so the
// midnight wrap makes the difference large and the first write after midnight waits for nothing.
float Elapsed(float now, float then) { return std::fabs(now - then); }

}  // namespace

bool ProtocolImpl::SendCommand(std::string_view command, VBool& query, VBool immediate) {
  Module& m = module();
  bool written = false;
  try {
    if (m.SendSuspended) return false;
    auto& com = lib.ComDLL();
    if (!com.PortOpen()) return false;
    float wait = 0;
    float since_send = Elapsed(Now(), m.LastSendTime);
    if (since_send <= m.PacingWindow) {
      wait = m.CommandGap;
      if (query) {
        wait = m.QueryGap;
        if (since_send < m.QueryGap) return false;
        if (Elapsed(Now(), m.LastCommandTime) < m.QueryHoldoff) return false;
        if (state.QueryPending) return false;
      } else if (state.QueryPending && !immediate) {
        clock().SleepMs(25);
      }
    }
    if (!immediate) {
      while (Elapsed(Now(), m.LastSendTime) < wait) clock().SleepMs(5);
    }
    float now = Now();
    m.LastSendTime = now;
    written = true;
    if (!query) m.LastCommandTime = now;
    state.QueryPending = query ? kTrue : kFalse;
    if (!immediate) WaitOutputDrained();
    std::string_view trimmed = Trim(command);
    std::string text;
    if (!trimmed.empty() && trimmed.back() == ';') {
      text.assign(trimmed);
    } else {
      std::string framed(command);
      framed += ';';
      text.assign(Trim(framed));
    }
    // The flag is cleared even when the write itself fails.
    query = kFalse;
    // Counted before the write: a write that fails (the device gone) goes unanswered too.
    if (m.UnansweredSince < 0) m.UnansweredSince = now;
    lib.ComDLL().Output(text);
  } catch (...) {
    // The sender reports nothing: a failing control is the same as a closed port to callers.
  }
  return written;
}

// Waits up to 0.5 s for the output buffer to drain, pumping events meanwhile; on a timeout the
// unsent output is discarded and the check stays off until the host sets CKBuffer again.
void ProtocolImpl::WaitOutputDrained() {
  try {
    if (!state.CKBuffer) return;
    float start = Now();
    int pass = 0;
    auto& com = lib.ComDLL();
    for (;;) {
      ++pass;
      if (Elapsed(Now(), start) > 0.5f) {
        com.DiscardOutput();
        state.CKBuffer = kFalse;
        return;
      }
      clock().SleepMs(pass == 1 ? 5 : 10);
      lib.loop().PumpOnce();
      if (com.OutBufferCount() == 0) break;
    }
    if (pass > 1) clock().SleepMs(100);
  } catch (...) {
  }
}

bool ProtocolImpl::RadioAnswering() {
  Module& m = module();
  try {
    if (!lib.ComDLL().PortOpen() || lib.ComDLL().HungUp()) return false;
  } catch (...) {
    return false;
  }
  return m.UnansweredSince < 0 || Elapsed(Now(), m.UnansweredSince) <= m.SilenceLimit;
}

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::RadioAnswering() const { return ToVBool(impl_->RadioAnswering()); }

}  // namespace veltro
