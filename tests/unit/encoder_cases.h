// Shared by the tuning, mode, tone and memory tests: one table row is one call on a rig with its
// port open on virtual time. The row gives the cache fields to start from ("Name=value ..."),
// the call, its result, every text it wrote with its time from the start of the call
// ("ms:TEXT ..."), how long it took, and every watched field that changed, in the order of the
// field list below. A change the row does not list fails it, so a refusal row (nothing written,
// nothing changed) also proves that nothing was stored.
//
// Times are exact. Ordinary commands go out at the first 5 ms sleep step at which the
// single-precision time of day shows 0.1 s since the last write; at the rig's time of day
// (1000 s) that is 100 or 105 ms, always the same for the same sequence.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro::testing {

using Call = std::function<VBool(FTDX10_Protocol&)>;

// `r.expr` as a row's call.
#define VELTRO_CALL(expr) [](FTDX10_Protocol& r) { return r.expr; }
// kTrue when `r.expr` throws the overflow error.
#define VELTRO_OVERFLOWS(expr)                 \
  [](FTDX10_Protocol& r) {                     \
    try {                                      \
      r.expr;                                  \
    } catch (const AutomationError& e) {       \
      return e.Number() == 6 ? kTrue : kFalse; \
    }                                          \
    return kFalse;                             \
  }

// `r.expr` on a mode `m` that starts as `from` and must come back as `to`.
#define VELTRO_REWRITES(from, to, expr) \
  [](FTDX10_Protocol& r) {              \
    std::int16_t m = from;              \
    const VBool ok = r.expr;            \
    EXPECT_EQ(m, to);                   \
    return ok;                          \
  }

struct Row {
  const char* name;
  const char* given;
  Call call;
  VBool result;
  const char* sent;
  std::int64_t took_ms;
  const char* changed;
};

class EncoderRig : public VirtualRig {
 public:
  EncoderRig() { OpenPort(); }

  // Sets the fields of "Name=value ..."; "P<n>" is capability entry n. "TEXT>ANSWER" makes the
  // radio answer ANSWER each time TEXT is written.
  void Given(const std::string& fields) {
    std::istringstream in(fields);
    for (std::string item; in >> item;) {
      if (const auto gt = item.find('>'); gt != std::string::npos) {
        serial().OnWrite([this, item, gt](const std::string& text) {
          if (text == item.substr(0, gt)) serial().Feed(item.substr(gt + 1));
        });
        continue;
      }
      const auto eq = item.find('=');
      const std::string name = item.substr(0, eq), value = item.substr(eq + 1);
      bool found = name[0] == 'P' && std::isdigit(static_cast<unsigned char>(name[1]));
      if (found) state().Property.at(std::stoul(name.substr(1))) = Parse<std::int16_t>(value);
      for (auto& f : Fields()) {
        if (name == f.name) f.set(*this, value), found = true;
      }
      if (!found) ADD_FAILURE() << "no field " << name;
    }
  }

  // The watched fields, each as "Name=value".
  std::vector<std::string> Snapshot() {
    std::vector<std::string> out;
    for (auto& f : Fields()) out.push_back(f.name + "=" + f.get(*this));
    return out;
  }

 private:
  // Fields read and print as numbers; a VBool as its 16-bit value.
  template <typename T>
  using Number = std::conditional_t<std::is_same_v<T, VBool>, std::int16_t, T>;
  template <typename T>
  static T Parse(const std::string& text) {
    T v{};
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
  }
  template <typename T>
  static std::string Text(T v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  }
  static std::string Text(VBool v) { return Text(v.value()); }

  struct Field {
    std::string name;
    std::function<std::string(EncoderRig&)> get;
    std::function<void(EncoderRig&, const std::string&)> set;
  };
  template <typename O, typename T>
  static Field Of(const char* name, T O::*member) {
    auto owner = [](EncoderRig& r) -> O& {
      if constexpr (std::is_same_v<O, detail::Module>)
        return r.module();
      else
        return r.state();
    };
    return {name, [=](EncoderRig& r) { return Text(owner(r).*member); },
            [=](EncoderRig& r, const std::string& v) { owner(r).*member = Parse<Number<T>>(v); }};
  }

  // Everything the tuning, mode, tone and memory operations write, then what rows only set.
  static const std::vector<Field>& Fields() {
    using S = detail::RadioState;
    using M = detail::Module;
    // clang-format off
    static const std::vector<Field> fields = {
        Of("Freq", &S::Freq), Of("FA", &S::VFOA_Freq), Of("FB", &S::VFOB_Freq),
        Of("VFO", &S::VFO), Of("Mode", &S::Mode), Of("ModeA", &S::VFOA_Mode),
        Of("ModeB", &S::VFOB_Mode), Of("Rev", &S::Reverse), Of("Data", &S::DataMode),
        Of("Split", &S::Split), Of("TXVFO", &S::TXVFO), Of("TXFreq", &S::TX_Freq),
        Of("TXMode", &S::TX_Mode), Of("Band", &S::Band), Of("Step", &S::TuningStep),
        Of("RIT", &S::RITStatus), Of("RITOff", &S::RITOffset), Of("Mem", &S::MemMode),
        Of("Ch", &S::Channel), Of("RPT", &S::RPT), Of("Shift", &S::Shift),
        Of("CTCSS", &S::CTCSS), Of("DCS", &S::DCS), Of("Enc", &S::Enc), Of("Dec", &S::Dec),
        Of("ToneCT", &S::ToneCTCSS), Of("ToneDCS", &S::ToneDCS),
        Of("VFOStep", &M::VFOPollStep), Of("Suspend", &M::SendSuspended),
        {"VFOPoll", [](EncoderRig& r) { return Text(int{r.lib.Panel().tmrPollVFO->Enabled()}); },
         [](EncoderRig& r, const std::string& v) { r.lib.Panel().tmrPollVFO->Enabled(v == "1"); }},
        Of("TXW", &S::TXW), Of("CK", &S::CKBuffer), Of("ChMax", &S::ChannelMax)};
    // clang-format on
    return fields;
  }
};

// Runs each row on a fresh rig that starts from `base`, then the row's own fields: what the call
// wrote ("ms:TEXT ..." from its start), its result, how long it took, and the watched fields
// that changed ("Name=value ...").
inline void RunRows(const char* base, std::span<const Row> rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EncoderRig rig;
    rig.Given(std::string(base) + " " + row.given);
    const auto before = rig.Snapshot();
    rig.serial().ClearWrites();
    const std::int64_t start = rig.vp.NowMs();
    EXPECT_EQ(row.call(*rig.radio), row.result);
    EXPECT_EQ(rig.vp.NowMs() - start, row.took_ms);
    std::string sent, changed;
    for (const auto& w : rig.serial().Writes()) {
      sent += (sent.empty() ? "" : " ") + std::to_string(w.ms - start) + ":" + w.text;
    }
    EXPECT_EQ(sent, row.sent);
    const auto after = rig.Snapshot();
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (after[i] != before[i]) changed += (changed.empty() ? "" : " ") + after[i];
    }
    EXPECT_EQ(changed, row.changed);
  }
}

}  // namespace veltro::testing
