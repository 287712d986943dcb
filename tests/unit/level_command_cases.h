// Shared by the tests of the filter, front-end, noise, transmit and keyer operations: a table row
// is one call on a rig with its port open, the result it must give, the texts it must write (no
// ";") and what the cache must then hold. A refusal row also proves that nothing was stored, by
// comparing a print of every cache field these operations write before and after the call.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/profile.h"
#include "support/virtual_rig.h"

namespace veltro::testing {

// The profile the radio's identity answer selects, through the library's own switch.
inline void ApplyFt891Profile(VirtualRig& rig) { detail::ApplyModelIdentity(rig.impl(), 650); }
inline void ApplyFtdx10Profile(VirtualRig& rig) { detail::ApplyModelIdentity(rig.impl(), 761); }

class CommandRig : public VirtualRig {
 public:
  CommandRig() { OpenPort(); }

  void UseFt891() { ApplyFt891Profile(*this); }
  void UseFtdx10() { ApplyFtdx10Profile(*this); }

  // Texts written since the last call, without the terminator.
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    for (auto& t : TakeWrites()) out.push_back(t.substr(0, t.size() - (t.ends_with(';') ? 1 : 0)));
    return out;
  }

  // Every cache field and module value the operations under test may write.
  std::string Print() {
    const auto& s = state();
    std::ostringstream os;
    auto arr = [&](const auto& a) {
      for (auto v : a) os << v << ",";
      os << " ";
    };
    os << "AF=";
    arr(s.AFLevel);
    os << "RF=";
    arr(s.RFLevel);
    os << "SQ=";
    arr(s.SQLevel);
    os << "RFT=";
    arr(s.RFT);
    os << "P=";
    arr(s.Property);
    for (const auto& row : s.LowCutFilter) arr(row);
    for (const auto& row : s.HighCutFilter) arr(row);
    for (const auto& r : s.NBRecord) os << r.On << "/" << r.Level << " ";
    os << s.AGC << " " << s.Att << " " << s.PreAmp << " " << s.Antenna << " " << s.Dual << " "
       << s.Fast << " " << s.TuningStep << " " << s.LockDial << " " << s.DimLevel << " "
       << s.PowerON << " " << s.CAT << " " << s.AIState << " " << s.MeterSW << " " << s.MeterCaption
       << " " << s.MeterIndex << " | " << s.NBType << " " << s.NB << " " << s.NR << " " << s.NROn
       << " " << s.NRLevel << " " << s.NF << " " << s.NotchOn << " " << s.NotchLevel << " "
       << s.FNotch << " " << (s.AutoNF.IsEmpty() ? "empty" : "set") << " | " << s.PTT << " "
       << s.Tuner << " " << s.RFPower << " " << s.MicGain << " " << s.Comp << " " << s.TXEQ << " "
       << s.Vox << " " << s.Monitor << " " << s.MonitorLevel << " " << s.TXW << " | " << s.BK << " "
       << s.BKIn << " " << s.FullBK << " " << s.KeyerSpeed << " " << s.KeyerOn << " "
       << s.KeyerLevel << " " << s.KeyerWPM << " " << s.Pitch << " | " << s.Filter << " " << s.BW
       << " " << s.IFS << " " << s.IFShift << " " << s.WidthCode << " " << s.ContourState << " "
       << s.ContourLevel << " " << s.ContourSign << " " << s.FContour << " " << s.APFState << " "
       << s.APFLevel << " " << s.APFOffset << " " << s.StatusChange << " "
       << module().SendSuspended;
    return os.str();
  }
};

// A check that the properties read as given: Reads("AFLevel(0)=5 NR=1007").
inline std::function<void(CommandRig&)> Reads(std::string expected) {
  return [expected](CommandRig& rig) { EXPECT_EQ(rig.Read(expected), expected); };
}

// Set-ups and checks the rows share.
using Step = std::function<void(CommandRig&)>;
inline Step Entry(int i, std::int16_t v) {
  return [=](CommandRig& r) { r.state().Property[i] = v; };
}
inline Step Both(Step a, Step b) {
  return [=](CommandRig& r) { a(r), b(r); };
}
inline Step Ft891() {
  return [](CommandRig& r) { r.UseFt891(); };
}
// Calls made first, then StatusChange cleared when `clear`.
inline Step After(std::function<void(FTDX10_Protocol&)> call, bool clear = false) {
  return [=](CommandRig& r) {
    call(*r.radio);
    if (clear) r.radio->StatusChange(kFalse);
  };
}

// A row's call: VELTRO_CALL(SetNR(5)).
#define VELTRO_CALL(expr) [](FTDX10_Protocol& r) { return r.expr; }

// One row: set-up, the call (its result as a boolean), and what must follow.
struct CommandCase {
  const char* name;
  std::function<void(CommandRig&)> setup;
  std::function<VBool(FTDX10_Protocol&)> call;
  std::int16_t result;
  std::vector<std::string> sent;
  std::function<void(CommandRig&)> check = nullptr;
};

inline void RunCases(const std::vector<CommandCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRig rig;
    if (c.setup) c.setup(rig);
    rig.Sent();
    EXPECT_EQ(c.call(*rig.radio), c.result);
    EXPECT_EQ(rig.Sent(), c.sent);
    if (c.check) c.check(rig);
  }
}

// A refused call returns false, writes nothing and stores nothing.
struct RefusalCase {
  const char* name;
  std::function<void(CommandRig&)> setup;
  std::function<VBool(FTDX10_Protocol&)> call;
};

inline void RunRefusals(const std::vector<RefusalCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRig rig;
    if (c.setup) c.setup(rig);
    rig.Sent();
    std::string before = rig.Print();
    EXPECT_EQ(c.call(*rig.radio), 0);
    EXPECT_EQ(rig.Sent(), std::vector<std::string>{});
    EXPECT_EQ(rig.Print(), before);
  }
}

}  // namespace veltro::testing
