// Tuning: frequency of the VFO in use or of VFO B, VFO choice, split, a separate transmit
// frequency, VFO copy and swap, band, scanning and RIT. Each operation checks its capability
// entry, sends its commands and stores what it sent at once; the answers that follow overwrite
// the cache with what the radio reports.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "commands/encoding.h"
#include "host/convert.h"
#include "host/protocol_impl.h"
#include "host/scales.h"

namespace veltro::detail {

namespace {

struct BandEdges {
  std::int16_t band;
  double low, high;  // MHz, both included
};

// Tested in this order; the first match wins.
constexpr BandEdges kBands[] = {
    {0, 1.5, 2.0},    {1, 3.5, 4.0},      {2, 5.0, 5.5},      {3, 7.0, 7.5},   {4, 10.0, 10.5},
    {5, 14.0, 14.5},  {6, 18.0, 18.5},    {7, 21.0, 21.5},    {8, 24.5, 25.0}, {9, 28.0, 30.0},
    {10, 50.0, 54.0}, {15, 144.0, 148.0}, {16, 420.0, 450.0},
};
constexpr std::int16_t kGeneralCoverage = 11;

// The capability entries that gate the operations here.
enum Gate : std::size_t {
  kGateAeqB = 0,
  kGateFreq = 13,
  kGateSplit = 28,
  kGateTX = 32,
  kGateVFO = 33,
  kGateScan = 37,
  kGateRIT = 41,
  kGateRITClear = 42,
  kTuningSteps = 45,
  kGateBand = 74,
  kGateAexcB = 75,
  kGateVFOB = 83,
};

bool Gated(const RadioState& s, Gate g) { return s.Property[g] != 0; }

// Immediate: frequency commands skip every wait of the sender.
void SendImmediate(ProtocolImpl& p, const std::string& text) {
  VBool query = kFalse;
  p.SendCommand(text, query, kTrue);
}

}  // namespace

std::int16_t BandOfFreq(double f) {
  for (const auto& b : kBands) {
    if (f >= b.low && f <= b.high) return b.band;
  }
  return kGeneralCoverage;
}

std::string FreqDigits(double freq_mhz) {
  // The added 0.1 Hz absorbs representation error: 7.0741 MHz is 7074100 Hz, not 7074099.
  double hz = std::floor(std::fabs(freq_mhz) * 1000000.0 + 0.1);
  if (!(hz < 9.0e18)) throw AutomationError(ErrorNumber::kOverflow);  // NaN too
  return PadLeft(DecimalText(static_cast<long long>(hz)), 9);
}

}  // namespace veltro::detail

namespace veltro {

// A NaN frequency lies in no range: the bounds are tested as "at least min and at most max".
VBool FTDX10_Protocol::ValidFreq(double Freq) const {
  const detail::Module& m = impl_->lib.module();
  bool result = Freq != 0;
  if (m.FreqRangeCount == 0) result = false;
  bool matched = false;
  // The tables have six entries; a count beyond them is treated as their end.
  int count = std::min<int>(m.FreqRangeCount, static_cast<int>(m.FreqRangeMin.size()) - 1);
  for (int i = 1; i <= count; ++i) {
    if (Freq >= m.FreqRangeMin[i] && Freq <= m.FreqRangeMax[i]) matched = true;
  }
  if (!matched) result = false;
  return ToVBool(result);
}

VBool FTDX10_Protocol::SetFreq(double Freq) {
  auto& p = *impl_;
  auto& s = p.state;
  try {
    if (!detail::Gated(s, detail::kGateFreq)) return kFalse;
    if (!ValidFreq(Freq)) return kFalse;
    if (s.MemMode == 1) return kFalse;
    // Built before anything goes out, so a frequency that cannot be written sends no band either.
    std::string digits = detail::FreqDigits(Freq);
    std::string command;
    if (s.VFO == 0) {
      command = "FA";
      std::int16_t band = detail::BandOfFreq(Freq);
      if (band != detail::BandOfFreq(s.VFOA_Freq)) SetBand(band);
    } else if (s.VFO == 1) {
      command = "FB";
    }
    detail::SendImmediate(p, command + digits);
    s.Freq = Freq;
    if (s.MemMode == 0) {
      if (s.VFO == 0) s.VFOA_Freq = Freq;
      if (s.VFO == 1) s.VFOB_Freq = Freq;
    }
    return kTrue;
  } catch (...) {
    return kFalse;
  }
}

VBool FTDX10_Protocol::SetVFOB(double Freq) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateVFOB)) return kFalse;
  // With TX watch on, the radio's VFO B is heard on A: the frequency goes to A instead.
  bool to_a = s.TXW == 1;
  detail::SendImmediate(p, (to_a ? "FA" : "FB") + detail::FreqDigits(Freq));
  if (to_a) {
    s.VFOA_Freq = Freq;
  } else {
    s.VFOB_Freq = Freq;
  }
  return kTrue;
}

VBool FTDX10_Protocol::SetVFO(std::int16_t VFO) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateVFO)) return kFalse;
  if (s.MemMode == 1) {
    p.Send("VM");
    s.MemMode = 0;
    s.VFO = 0;
    return kTrue;
  }
  if (VFO == 0) {
    p.Send("VS0");
    s.VFO = 0;
    s.Freq = s.VFOA_Freq;
    s.Mode = s.VFOA_Mode;
  } else if (VFO == 1) {
    p.Send("VS1");
    s.VFO = 1;
    s.Freq = s.VFOB_Freq;
    s.Mode = s.VFOB_Mode;
  } else {
    s.VFO = 0;
  }
  // The transmit VFO is known only from SetSplit and the radio's "FT" answer; the next parsed
  // answer derives Split from VFO and TXVFO again.
  s.Split = static_cast<std::int16_t>(std::abs(s.TXVFO));
  s.MemMode = 0;
  for (const char* q : {"ST", "FA", "FB", "MD0"}) p.Send(q);
  p.clock().SleepMs(200);
  p.module().VFOPollStep = 0;
  p.lib.Panel().tmrPollVFO->Enabled(true);
  return kTrue;
}

VBool FTDX10_Protocol::SetSplit(std::int16_t Split) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateSplit)) return kFalse;
  bool was_on = s.Split == 1;
  p.Send("ST" + detail::DecimalText(Split));
  if (was_on) p.Send("OI");
  s.TXVFO = Split == 0 ? 0 : 1;
  s.Split = Split;
  return kTrue;
}

VBool FTDX10_Protocol::SetTX(double Freq, std::int16_t& Mode) {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  if (!detail::Gated(s, detail::kGateTX) || s.VFO > 1 || s.MemMode == 1) return kFalse;
  // A frequency that cannot be written as hertz fails before the copy overwrites the other VFO.
  detail::FreqDigits(Freq);
  const std::int16_t kept_vfo = s.VFO;
  const double kept_freq = s.Freq;
  if (s.Mode != Mode) SetMode(Mode, s.Reverse);
  const std::int16_t kept_mode = s.Mode;
  SetAeqB();
  {
    // While the VFO is flipped, an answer parsed inside a send's message pump would be stored
    // against the wrong VFO; the parser is held (as for a nested call) until the VFO is back, and
    // what arrived meanwhile is taken in below.
    struct Hold {
      bool& busy;
      bool was;
      ~Hold() { busy = was; }
    } hold{m.ParserBusy, m.ParserBusy};
    m.ParserBusy = true;
    struct Restore {
      detail::RadioState& s;
      std::int16_t vfo, mode;
      double freq;
      ~Restore() {
        s.Freq = freq;
        s.VFO = vfo;
        s.Mode = mode;
      }
    } restore{s, kept_vfo, kept_mode, kept_freq};
    s.VFO = kept_vfo == 0 ? 1 : 0;
    SetFreq(Freq);
  }
  p.clock().SleepMs(200);
  p.lib.loop().PumpOnce();
  ReadBuffer(m.ComBuffer, kTrue);
  SetSplit(1);
  s.TX_Freq = Freq;
  s.TX_Mode = Mode;
  return kTrue;
}

VBool FTDX10_Protocol::SetAeqB() {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateAeqB) || s.MemMode == 1) return kFalse;
  const std::int16_t vfo = s.VFO;
  if (vfo == 0) p.Send("AB");
  if (vfo == 1) p.Send("BA");
  if (vfo == 0 || vfo == 1) p.clock().SleepMs(250);
  p.Send("OI");
  if (vfo == 0) {
    s.VFOB_Freq = s.VFOA_Freq;
    s.VFOB_Mode = s.VFOA_Mode;
  } else if (vfo == 1) {
    s.VFOA_Freq = s.VFOB_Freq;
    s.VFOA_Mode = s.VFOB_Mode;
  }
  return kTrue;
}

VBool FTDX10_Protocol::SetAexcB() {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateAexcB) || s.MemMode == 1) return kFalse;
  p.clock().SleepMs(200);
  p.Send("SV");
  // The swap is read back by the current-VFO sequence rather than guessed here.
  p.lib.Panel().tmrPollVFO->Enabled(true);
  return kTrue;
}

VBool FTDX10_Protocol::SetBand(std::int16_t Band) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateBand)) return kFalse;
  p.Send("BS" + detail::PadLeft(detail::DecimalText(Band), 2));
  p.clock().SleepMs(200);
  s.Band = Band;
  return kTrue;
}

// The radio has no tuning-step table (its entry count is 0): only index 0 is accepted.
VBool FTDX10_Protocol::SetTuningStep(std::int16_t Index) {
  auto& s = impl_->state;
  if (Index > s.Property[detail::kTuningSteps]) return kFalse;
  s.TuningStep = 0;
  return kTrue;
}

VBool FTDX10_Protocol::SetScanning(std::int16_t UpDown, std::int16_t /*Step*/) {
  auto& p = *impl_;
  if (!detail::Gated(p.state, detail::kGateScan)) return kFalse;
  if (UpDown == 1) p.Send("SC1");
  if (UpDown == 0) p.Send("SC0");
  if (UpDown == -1) p.Send("SC2");
  return kTrue;
}

VBool FTDX10_Protocol::SetRIT(std::int16_t Status, double Offset) {
  auto& p = *impl_;
  auto& s = p.state;
  if (!detail::Gated(s, detail::kGateRIT)) return kTrue;
  double h = Offset * 1000.0 + 0.1;
  if (h > detail::kMaxRitHz) h = detail::kMaxRitHz;
  if (h < -detail::kMaxRitHz) h = -detail::kMaxRitHz;
  if (std::isnan(h)) throw AutomationError(ErrorNumber::kOverflow);
  std::string digits =
      detail::PadLeft(detail::DecimalText(static_cast<long long>(std::fabs(std::floor(h)))), 4);
  if (Status != s.RITStatus) p.Send("RT" + detail::DecimalText(Status));
  p.Send("RC");
  if (Offset < 0) p.Send("RD" + digits);
  if (Offset > 0) p.Send("RU" + digits);
  s.RITStatus = Status;
  s.RITOffset = Offset;
  return kTrue;
}

VBool FTDX10_Protocol::SetRITClear() {
  auto& p = *impl_;
  if (!detail::Gated(p.state, detail::kGateRITClear)) return kFalse;
  p.Send("RC");
  p.state.RITOffset = 0;
  return kTrue;
}

}  // namespace veltro
