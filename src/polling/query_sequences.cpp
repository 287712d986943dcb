// The two stepwise query sequences and the FM status query. Each sequence is a table of steps; a
// timer tick advances the step counter and runs one step. Every text goes out as an ordinary
// command: paced, never dropped.
#include <string>

#include "host/convert.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

// The current-VFO sequence, steps 1..28. A step with no text is computed in PollCurrVFO.
constexpr const char* kCurrVFOSteps[] = {
    nullptr, "ST",  "MD0", "RG0", "NR0",  "RL0",  nullptr, "GT0",   "NB0",  "SQ0",
    "NA0",   "NL0", "AG0", "OI",  "LK",   "SH0",  "IS0",   "BC0",   "BP00", "BP01",
    "AN0",   "RA0", "PA0", "RF0", "CO00", "CO01", "OS0",   nullptr, "CT0",
};
constexpr std::int16_t kCurrVFOLastStep = 28;

// The level sequence, steps 1..47: each sends its texts while its capability test holds. A test
// is "Property(index) > threshold", or "== threshold" where `equal` is set.
struct LevelStep {
  std::int16_t index;  // -1: no test
  std::int16_t threshold;
  bool equal;
  const char* text;  // nullptr: the step's text comes from the state (see LevelStepText)
};

constexpr LevelStep kLevelSteps[] = {
    {-1, 0, false, ""},       // 0: starts the sequence
    {1, 0, false, "AG0"},     // 1
    {-1, 0, false, ""},       // 2
    {25, 0, false, "RG0"},    // 3
    {-1, 0, false, ""},       // 4
    {26, 0, false, "PC"},     // 5
    {19, 0, false, "NR0"},    // 6
    {19, 1, false, "RL0"},    // 7
    {14, 0, false, "KS"},     // 8
    {35, 0, false, "VX"},     // 9
    {8, 0, false, "PR0"},     // 10, then PR1 under its own test
    {5, 0, false, "SD"},      // 11
    {3, 0, false, "AN0"},     // 12
    {2, 0, false, "GT0"},     // 13
    {4, 0, false, "RA0"},     // 14
    {23, 0, false, "PA0"},    // 15
    {44, 0, false, "BC0"},    // 16
    {18, 0, false, "BP00"},   // 17
    {18, 1, false, "BP01"},   // 18
    {17, 0, false, "NB0"},    // 19
    {17, 0, false, "NL0"},    // 20
    {43, 0, false, "SH0"},    // 21
    {48, 0, false, "IS0"},    // 22
    {29, 0, false, "SQ0"},    // 23
    {86, 1, true, nullptr},   // 24: repeater-shift menu by frequency
    {-1, 0, false, nullptr},  // 25: contour level menu
    {50, 0, false, "CO00"},   // 26
    {50, 0, false, "CO01"},   // 27
    {52, 0, false, "KR"},     // 28
    {56, 0, false, "NA0"},    // 29
    {21, 0, false, "KP"},     // 30
    {27, 0, false, "OS0"},    // 31
    {58, 0, false, "RF0"},    // 32
    {60, 0, false, "BI"},     // 33
    {61, 0, false, nullptr},  // 34: noise-blanker record 1 query
    {61, 1, false, nullptr},  // 35: noise-blanker record 2 query
    {60, 0, false, nullptr},  // 36: full break-in menu
    {63, 0, false, "ML0"},    // 37
    {63, 0, false, "ML1"},    // 38
    {68, 0, false, "MG"},     // 39
    {71, 0, false, "MS"},     // 40, then the selected meter
    {-1, 0, false, "OI"},     // 41
    {62, 0, false, "PR1"},    // 42
    {73, 1, true, "BY"},      // 43
    {30, 0, false, "CT0"},    // 44
    {30, 0, false, "CN00"},   // 45, then CN01 under the same test
    {15, 0, false, "LK"},     // 46
    {50, 4, true, "CO02"},    // 47, then CO03
};
constexpr std::int16_t kLevelLastStep = 47;
static_assert(std::size(kLevelSteps) == kLevelLastStep + 1);
static_assert(std::size(kCurrVFOSteps) == kCurrVFOLastStep + 1);

bool Holds(const RadioState& s, std::int16_t index, std::int16_t threshold, bool equal) {
  if (index < 0) return true;
  std::int16_t v = s.Property[static_cast<std::size_t>(index)];
  return equal ? v == threshold : v > threshold;
}

}  // namespace

void ProtocolImpl::FMStatusQuery() {
  RadioState& s = state;
  std::string v = DecimalText(s.VFO);
  if (s.Mode != 4) return;
  Send("OS" + v);
  if (s.Enc == 1) {
    Send("CN00");
    Send("CT01");
  }
  if (s.Freq < 50) {
    Send(s.RptShiftMenu[0]);
  } else if (s.Freq <= 60) {
    Send(s.RptShiftMenu[1]);
  }
}

void ProtocolImpl::RestartLevelPoll() {
  module().LevelPollStep = 0;
  lib.Panel().tmrLevels->Enabled(false);
  self.PollLevels();
}

}  // namespace veltro::detail

namespace veltro {

void FTDX10_Protocol::PollCurrVFO() {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  std::int16_t step = m.VFOPollStep;
  if (step == 0) {
    p.lib.Panel().tmrPollVFO->Enabled(true);
  } else if (step == 6) {
    if (s.Freq >= 0 && s.Freq <= 30) {
      p.Send(s.RptShiftMenu[0]);
    } else if (s.Freq >= 50 && s.Freq <= 60) {
      p.Send(s.RptShiftMenu[1]);
    }
  } else if (step == 27) {
    p.Send("CN00");
    p.Send("CN01");
  } else if (step > 0 && step <= detail::kCurrVFOLastStep) {
    p.Send(detail::kCurrVFOSteps[step]);
  } else {
    m.VFOPollStep = 0;
    p.lib.Panel().tmrPollVFO->Enabled(false);
  }
}

void FTDX10_Protocol::PollLevels() {
  auto& p = *impl_;
  auto& s = p.state;
  auto& m = p.module();
  if (s.AIState == -1) return;
  std::int16_t step = m.LevelPollStep;
  if (step < 0 || step > detail::kLevelLastStep) {
    m.LevelPollStep = 0;
    p.lib.Panel().tmrLevels->Enabled(false);
    return;
  }
  if (step == 0) {
    p.lib.Panel().tmrLevels->Enabled(true);
    return;
  }
  const auto& e = detail::kLevelSteps[step];
  auto holds = [&](std::int16_t index, std::int16_t threshold, bool equal) {
    return detail::Holds(s, index, threshold, equal);
  };
  if (step == 10) {
    // Two texts under two tests.
    if (holds(8, 0, false)) p.Send("PR0");
    if (holds(62, 0, false)) p.Send("PR1");
    return;
  }
  if (!holds(e.index, e.threshold, e.equal)) return;
  switch (step) {
    case 24:
      if (s.Freq < 50) {
        p.Send(s.RptShiftMenu[0]);
      } else if (s.Freq <= 60) {
        p.Send(s.RptShiftMenu[1]);
      }
      return;
    case 25:
      p.Send(s.ContourLevelMenu);
      return;
    case 34:
      p.Send(s.NBRecord[1].Query);
      return;
    case 35:
      p.Send(s.NBRecord[2].Query);
      return;
    case 36:
      p.Send(s.FullBKMenu);
      return;
    case 40:
      p.Send("MS");
      p.Send("RM" + s.MeterIndex);
      return;
    case 45:
      p.Send("CN00");
      if (holds(30, 0, false)) p.Send("CN01");  // the table may change between the two texts
      return;
    case 47:
      p.Send("CO02");
      p.Send("CO03");
      return;
    default:
      if (e.text && *e.text) p.Send(e.text);
  }
}

}  // namespace veltro
