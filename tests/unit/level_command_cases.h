// Shared by the tests of the filter, front-end, noise, transmit and keyer operations: a table row
// is one call on a rig with its port open, the result it must give, the texts it must write (no
// ";") and what the cache must then hold. A row that returns 0 and writes nothing also proves
// that nothing was stored, by comparing a print of every property before and after the call.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/profile.h"
#include "support/virtual_rig.h"
#include "veltro/members.h"

namespace veltro::testing {

class CommandRig : public VirtualRig {
 public:
  CommandRig() { OpenPort(); }

  // The profile the radio's identity answer selects, through the library's own switch.
  void UseFt891() { detail::ApplyModelIdentity(impl(), 650); }
  void UseFtdx10() { detail::ApplyModelIdentity(impl(), 761); }

  // Texts written since the last call, without the terminator.
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    for (auto& t : TakeWrites()) out.push_back(t.substr(0, t.size() - (t.ends_with(';') ? 1 : 0)));
    return out;
  }

  // Every property a host can read, each index of the indexed ones (up to 200), and the fields no
  // property shows, as one line.
  std::string Print() {
    std::ostringstream os;
    auto get = [&](const Member& m, std::vector<Variant> args) {
      try {
        os << m.Name() << "=" << m.Get(*radio, args).ToText() << " ";
        return true;
      } catch (const AutomationError&) {
        return false;  // past the last index
      }
    };
    for (const Member& m : Members()) {
      const std::size_t n = m.Kind() == MemberKind::kProperty ? m.Params().size() : 3;
      if (n == 0) get(m, {});
      for (std::int16_t i = 0; i < 200 && n == 1 && get(m, {i}); ++i) {
      }
      for (std::int16_t i = 0; i < 200 && n == 2 && get(m, {i, std::int16_t{0}}); ++i) {
        for (std::int16_t j = 1; j < 200 && get(m, {i, j}); ++j) {
        }
      }
    }
    const auto& s = state();
    for (const auto& r : s.NBRecord) os << r.On << "/" << r.Level << " ";
    os << s.TXW << " " << s.AIState << " " << s.MeterIndex << " " << module().SendSuspended;
    return os.str();
  }
};

// A check that the properties read as given: Reads("AFLevel(0)=5 NR=1007").
inline std::function<void(CommandRig&)> Reads(std::string expected) {
  return [expected](CommandRig& rig) { EXPECT_EQ(rig.Read(expected), expected); };
}

// Answers from the radio, as they arrive on the line.
inline void Feed(CommandRig& rig, std::string text) { rig.radio->ReadBuffer(text, kFalse); }

// Set-ups and checks the rows share.
using Step = std::function<void(CommandRig&)>;
inline Step Entry(int i, std::int16_t v) {
  return [=](CommandRig& r) { r.state().Property[i] = v; };
}
inline Step Both(Step a, Step b) {
  return [=](CommandRig& r) { a(r), b(r); };
}
// In `mode` (VFO A's too) on `vfo` with the narrow setting `narrow`, in a profile: 10 the
// FTDX10, 891 the FT-891, 0 before any identity.
inline Step In(std::int16_t mode, int profile = 10, std::int16_t vfo = 0, std::int16_t narrow = 0) {
  return [=](CommandRig& r) {
    if (profile == 10) r.UseFtdx10();
    if (profile == 891) r.UseFt891();
    r.state().Mode = mode;
    r.state().VFO = vfo;
    r.state().Property[57] = narrow;
  };
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
// A row's call that must throw: its result is the error number (0 when nothing is thrown).
#define VELTRO_ERROR(expr)                          \
  [](FTDX10_Protocol& r) -> std::int16_t {          \
    try {                                           \
      r.expr;                                       \
    } catch (const AutomationError& e) {            \
      return static_cast<std::int16_t>(e.Number()); \
    }                                               \
    return 0;                                       \
  }

// What a row's call gives, as its 16-bit value: a boolean result, SetNR's number, an error number.
struct RowResult {
  RowResult(VBool b) : value(b.value()) {}  // NOLINT: implicit on purpose
  RowResult(std::int16_t v) : value(v) {}   // NOLINT
  std::int16_t value;
};

// One row: set-up, the call, its result and what must follow. A row that returns 0 and writes
// nothing (a refusal) must also store nothing.
struct CommandCase {
  const char* name;
  std::function<void(CommandRig&)> setup;
  std::function<RowResult(FTDX10_Protocol&)> call;
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
    const std::string before = rig.Print();
    EXPECT_EQ(c.call(*rig.radio).value, c.result);
    EXPECT_EQ(rig.Sent(), c.sent);
    if (c.result == 0 && c.sent.empty()) {
      EXPECT_EQ(rig.Print(), before);
    }
    if (c.check) c.check(rig);
  }
}

}  // namespace veltro::testing
