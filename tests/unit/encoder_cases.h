// Shared by the Set-operation tests: a rig with its port open on virtual time, a record of what
// one call wrote (each text with its time from the start of the call, and how long the call
// took), and a snapshot of the cache fields the operations touch, so that a refusal can be
// checked to store nothing.
//
// Times are exact. Ordinary commands go out at the first 5 ms sleep step at which the
// single-precision time of day shows 0.1 s since the last write; at the rig's time of day
// (1000 s) that is 100 or 105 ms, always the same for the same sequence.
#pragma once

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro::testing {

struct Sent {
  std::int64_t ms;
  std::string text;
  friend bool operator==(const Sent&, const Sent&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Sent& s) {
    return os << "{" << s.ms << ", \"" << s.text << "\"}";
  }
};

struct Recorded {
  std::vector<Sent> sent;
  std::int64_t took_ms = 0;
};

class EncoderRig : public VirtualRig {
 public:
  EncoderRig() { OpenPort(); }

  // Runs `call` and returns what it wrote; earlier writes are forgotten first.
  template <typename F>
  Recorded Record(F&& call) {
    serial().ClearWrites();
    const std::int64_t start = vp.NowMs();
    std::forward<F>(call)();
    Recorded r;
    r.took_ms = vp.NowMs() - start;
    for (const auto& w : serial().Writes()) r.sent.push_back({w.ms - start, w.text});
    serial().ClearWrites();
    return r;
  }

  // The cache fields and module values the tuning, mode, tone and memory operations write.
  std::string Snapshot() {
    const auto& s = state();
    const auto& m = module();
    std::ostringstream os;
    os.precision(17);
    os << "Freq=" << s.Freq << " A=" << s.VFOA_Freq << " B=" << s.VFOB_Freq << " VFO=" << s.VFO
       << " Mode=" << s.Mode << " AMode=" << s.VFOA_Mode << " BMode=" << s.VFOB_Mode
       << " Rev=" << s.Reverse << " Data=" << s.DataMode << " Split=" << s.Split
       << " TXVFO=" << s.TXVFO << " TXF=" << s.TX_Freq << " TXM=" << s.TX_Mode << " Band=" << s.Band
       << " Step=" << s.TuningStep << " RIT=" << s.RITStatus << "/" << s.RITOffset
       << " Mem=" << s.MemMode << " Ch=" << s.Channel << " RPT=" << s.RPT << " Shift=" << s.Shift
       << " CTCSS=" << s.CTCSS << " DCS=" << s.DCS << " Enc=" << s.Enc << " Dec=" << s.Dec
       << " Tones=" << s.ToneCTCSS << "/" << s.ToneDCS << " VFOStep=" << m.VFOPollStep
       << " VFOPoll=" << lib.Panel().tmrPollVFO->Enabled() << " Suspended=" << m.SendSuspended;
    return os.str();
  }
};

}  // namespace veltro::testing
