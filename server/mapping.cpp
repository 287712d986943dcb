#include "server/mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "veltro/capabilities.h"

namespace veltro::server {

namespace {

// ---- Values
// --------------------------------------------------------------------------------------

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A whole number within 16 bits (a client may write "1.000000").
std::optional<std::int16_t> Int16(const std::string& text) {
  auto v = Number(text);
  if (!v || *v != std::floor(*v) || *v < -32768 || *v > 32767) return std::nullopt;
  return static_cast<std::int16_t>(*v);
}

// A client's number as a 16-bit value, rounded; out of range it stops at the ends, where every
// setter refuses it.
std::int16_t Clamp16(double v) {
  return static_cast<std::int16_t>(std::clamp(std::round(v), -32768.0, 32767.0));
}

std::string Whole(double v) { return std::to_string(std::llround(v)); }
std::string Fraction(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%f", v);
  return buf;
}
std::string Flag(bool on) { return on ? "1" : "0"; }
bool On(VBool v) { return v != kFalse; }

Reply Ok(std::vector<std::string> values = {}) { return Reply{Status::kOk, std::move(values)}; }
Reply Fail(Status s) { return Reply{s, {}}; }
// A set answers by the operation's own result: accepted, or refused as out of range.
Reply ByResult(VBool accepted) { return On(accepted) ? Ok() : Fail(Status::kInvalid); }

double Hz(double mhz) { return mhz * 1e6; }

// ---- Modes
// ---------------------------------------------------------------------------------------

// The protocol's mode tokens against the library's modes (0 LSB, 1 USB, 2 CW, 3 AM, 4 FM, 5 RTTY),
// with the bit each has in the radio description.
struct ModeToken {
  std::string_view token;
  std::int16_t mode, reverse, data;
  unsigned bit;
};
constexpr ModeToken kModes[] = {
    {"AM", 3, 0, 0, 0x1},       {"CW", 2, 0, 0, 0x2},       {"USB", 1, 0, 0, 0x4},
    {"LSB", 0, 0, 0, 0x8},      {"RTTY", 5, 0, 0, 0x10},    {"FM", 4, 0, 0, 0x20},
    {"CWR", 2, 1, 0, 0x80},     {"RTTYR", 5, 1, 0, 0x100},  {"PKTLSB", 0, 0, 1, 0x400},
    {"PKTUSB", 1, 0, 1, 0x800}, {"PKTFM", 4, 0, 1, 0x1000},
};
constexpr std::int16_t kPskMode = 6;  // a data mode of the radio; clients know it as PKTUSB

const ModeToken* FindMode(std::string_view token) {
  for (const ModeToken& m : kModes) {
    if (m.token == token) return &m;
  }
  return nullptr;
}

std::string ModeName(std::int16_t mode, std::int16_t reverse, std::int16_t data) {
  if (mode == kPskMode) return "PKTUSB";
  for (const ModeToken& m : kModes) {
    if (m.mode == mode && m.reverse == (reverse != 0 ? 1 : 0) && m.data == (data != 0 ? 1 : 0))
      return std::string(m.token);
  }
  for (const ModeToken& m : kModes) {
    if (m.mode == mode) return std::string(m.token);
  }
  return "None";
}

unsigned ModeBits(std::int16_t mode) {
  unsigned bits = 0;
  for (const ModeToken& m : kModes) {
    if (m.mode == mode) bits |= m.bit;
  }
  return bits;
}

unsigned AllModeBits() {
  unsigned bits = 0;
  for (const ModeToken& m : kModes) bits |= m.bit;
  return bits;
}

constexpr std::int32_t kPassbandCentreHz = 1500;

// Mode, then the passband as a filter of that width centred as the library centres filters.
Reply SetModeAndPassband(FTDX10_Protocol& radio, const ModeToken& m, std::int32_t passband) {
  std::int16_t mode = m.mode;
  // The plain mode first, also for a data variant, so that both VFO records hold the new mode.
  if (!On(radio.SetMode(mode, m.reverse))) return Fail(Status::kInvalid);
  if (m.data && !On(radio.SetDataMode(mode, 1, 0, 0))) return Fail(Status::kInvalid);
  if (passband > 0 && mode != 3 && mode != 4) {
    const std::int16_t half = static_cast<std::int16_t>(std::min(passband, 20000) / 2);
    radio.SetCutFilter(static_cast<std::int16_t>(kPassbandCentreHz - half),
                       static_cast<std::int16_t>(kPassbandCentreHz + half), 0, mode);
    radio.SetFilter(0, mode, m.reverse);
  }
  return Ok();
}

// ---- VFOs
// ----------------------------------------------------------------------------------------

// 0 VFO A, 1 VFO B, -1 the current one; nothing for a token that names no VFO of this radio.
std::optional<int> VfoOf(std::string_view token) {
  if (token == "VFOA" || token == "Main" || token == "A") return 0;
  if (token == "VFOB" || token == "Sub" || token == "B") return 1;
  if (token == "currVFO" || token == "VFO") return -1;
  return std::nullopt;
}
const char* VfoName(int vfo) { return vfo == 0 ? "VFOA" : "VFOB"; }
int CurrentVfo(const FTDX10_Protocol& radio) { return radio.VFO() == 0 ? 0 : 1; }

// ---- Levels and functions
// ------------------------------------------------------------------------

constexpr double kHostFull = 255.0;  // the library's level scale
const Variant kMain = std::int16_t{0};

// The S-meter's 0..255 against dB relative to S9: S9 at 130, 6 dB per S-unit below it, and the
// top of the scale at S9+60.
constexpr double kS9Raw = 130, kRawPerSUnit = 130.0 / 9, kRawPerDbOver = (255.0 - 130) / 60;
int StrengthDb(std::int16_t raw) {
  if (raw <= kS9Raw) return static_cast<int>(std::lround((raw - kS9Raw) / kRawPerSUnit * 6));
  return static_cast<int>(std::lround((raw - kS9Raw) / kRawPerDbOver));
}

// The library's AGC codes (0 off, 1 fast, 2 mid, 3 slow, 4 auto) as the protocol numbers them.
constexpr int kAgcLevels[] = {0, 2, 3, 4, 5};
constexpr const char* kAgcLine = "agc_levels=0=OFF 2=FAST 3=MEDIUM 4=SLOW 5=AUTO";

std::int16_t Scaled(double fraction, double full) {
  return static_cast<std::int16_t>(std::lround(std::clamp(fraction, 0.0, 1.0) * full));
}

// A noise-reduction style value: the level while on, 1000 + the kept level while off.
std::int16_t KeptLevel(std::int16_t v) { return v >= 1000 ? v - 1000 : v; }

struct Level {
  std::string_view name;
  std::string (*get)(FTDX10_Protocol&);
  VBool (*set)(FTDX10_Protocol&, double);  // null: read-only
};

const Level kLevels[] = {
    {"STRENGTH", [](FTDX10_Protocol& r) { return std::to_string(StrengthDb(r.SMeter())); },
     nullptr},
    {"RAWSTR", [](FTDX10_Protocol& r) { return std::to_string(r.SMeter()); }, nullptr},
    {"METER", [](FTDX10_Protocol& r) { return std::to_string(r.Meter()); }, nullptr},
    {"AF", [](FTDX10_Protocol& r) { return Fraction(r.AFLevel(kMain) / kHostFull); },
     [](FTDX10_Protocol& r, double v) { return r.SetAFLevel(0, Scaled(v, kHostFull)); }},
    {"RF", [](FTDX10_Protocol& r) { return Fraction(r.RFLevel(kMain) / kHostFull); },
     [](FTDX10_Protocol& r, double v) { return r.SetRFLevel(0, Scaled(v, kHostFull)); }},
    {"SQL", [](FTDX10_Protocol& r) { return Fraction(r.SQLevel(kMain) / kHostFull); },
     [](FTDX10_Protocol& r, double v) { return r.SetSQLevel(0, Scaled(v, kHostFull)); }},
    {"RFPOWER", [](FTDX10_Protocol& r) { return Fraction(r.RFPower() / 100.0); },
     [](FTDX10_Protocol& r, double v) { return r.SetRFPower(Scaled(v, 100)); }},
    {"MICGAIN", [](FTDX10_Protocol& r) { return Fraction(r.MicGain() / kHostFull); },
     [](FTDX10_Protocol& r, double v) { return r.SetMicGain(Scaled(v, kHostFull)); }},
    {"COMP", [](FTDX10_Protocol& r) { return Fraction(r.ProcLevel() / kHostFull); }, nullptr},
    {"NR",
     [](FTDX10_Protocol& r) {
       std::int16_t top = std::max<std::int16_t>(r.Property(19), 1);
       return Fraction(r.NR() < 1000 ? r.NR() / static_cast<double>(top) : 0.0);
     },
     [](FTDX10_Protocol& r, double v) { return ToVBool(On(r.SetNR(Scaled(v, r.Property(19))))); }},
    {"KEYSPD", [](FTDX10_Protocol& r) { return std::to_string(r.KeyerWPM()); },
     [](FTDX10_Protocol& r, double wpm) {
       // The keyer's 4..60 words per minute lie on the library's 1..255.
       if (wpm < 4 || wpm > 60) return kFalse;
       return r.SetKeyerSpeed(Scaled((wpm - 4) / 56, kHostFull));
     }},
    {"CWPITCH", [](FTDX10_Protocol& r) { return std::to_string(r.Pitch()); },
     [](FTDX10_Protocol& r, double hz) { return r.SetPitch(Clamp16(hz)); }},
    {"AGC",
     [](FTDX10_Protocol& r) {
       int code = std::clamp<int>(r.AGC(), 0, 4);
       return std::to_string(kAgcLevels[code]);
     },
     [](FTDX10_Protocol& r, double v) {
       for (std::int16_t code = 0; code < 5; ++code) {
         if (kAgcLevels[code] == v) return r.SetAGC(code);
       }
       return kFalse;
     }},
    {"ATT", [](FTDX10_Protocol& r) { return std::to_string(r.Att() * 6); },
     [](FTDX10_Protocol& r, double db) {
       return std::fmod(db, 6) == 0 ? r.SetAtt(Clamp16(db / 6)) : kFalse;
     }},
    {"PREAMP", [](FTDX10_Protocol& r) { return std::to_string(r.PreAmp() * 6); },
     [](FTDX10_Protocol& r, double db) {
       return std::fmod(db, 6) == 0 ? r.SetPreAmp(Clamp16(db / 6)) : kFalse;
     }},
    {"IF", [](FTDX10_Protocol& r) { return Whole(r.IFShift() * double{kMaxIfShiftHz} / 128); },
     [](FTDX10_Protocol& r, double hz) {
       if (std::fabs(hz) > kMaxIfShiftHz) return kFalse;
       return r.SetIFShift(static_cast<std::int16_t>(std::lround(hz * 128 / kMaxIfShiftHz)));
     }},
    {"NOTCHF", [](FTDX10_Protocol& r) { return std::to_string(r.FNotch()); },
     [](FTDX10_Protocol& r, double hz) { return r.SetNF(Clamp16(hz / 10)); }},
};

struct Function {
  std::string_view name;
  bool (*get)(FTDX10_Protocol&);
  VBool (*set)(FTDX10_Protocol&, std::int16_t on);
};

const Function kFunctions[] = {
    {"NB", [](FTDX10_Protocol& r) { return r.NBType() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetNBType(on); }},
    {"NR", [](FTDX10_Protocol& r) { return r.NR() > 0 && r.NR() < 1000; },
     [](FTDX10_Protocol& r, std::int16_t on) {
       std::int16_t level = std::max<std::int16_t>(KeptLevel(r.NR()), 1);
       return ToVBool(On(r.SetNR(on ? level : 0)));
     }},
    {"ANF", [](FTDX10_Protocol& r) { return r.AutoNF().ToInt16() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetAutoNF(on); }},
    {"COMP", [](FTDX10_Protocol& r) { return r.Comp() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetComp(on); }},
    {"VOX", [](FTDX10_Protocol& r) { return r.Vox() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetVox(on); }},
    {"TONE", [](FTDX10_Protocol& r) { return r.Enc() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetTone(r.CTCSS(), 0, on, 0); }},
    {"TSQL", [](FTDX10_Protocol& r) { return r.Dec() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetTone(r.CTCSS(), 0, on, on); }},
    {"LOCK", [](FTDX10_Protocol& r) { return r.LockDial() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetLockDial(on); }},
    {"MON", [](FTDX10_Protocol& r) { return r.Monitor() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetMonitor(0, on); }},
    {"TUNER", [](FTDX10_Protocol& r) { return r.Tuner() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetTuner(on); }},
    // Break-in delay 0 is full break-in; 1 the shortest semi break-in.
    {"FBKIN", [](FTDX10_Protocol& r) { return r.FullBK() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetBKIn(on ? 0 : 1); }},
    {"SBKIN", [](FTDX10_Protocol& r) { return r.BK() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetBK(on); }},
    {"APF", [](FTDX10_Protocol& r) { return r.APFState() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetAPF(0, on); }},
    {"RIT", [](FTDX10_Protocol& r) { return r.RITStatus() != 0; },
     [](FTDX10_Protocol& r, std::int16_t on) { return r.SetRIT(on, r.RITOffset()); }},
};

template <typename Table>
auto FindNamed(const Table& table, std::string_view name) -> decltype(&table[0]) {
  for (const auto& e : table) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

// ---- Commands
// ------------------------------------------------------------------------------------

using Args = std::vector<std::string>;
using Handler = Reply (*)(FTDX10_Protocol&, const Args&);

Reply GetMode(FTDX10_Protocol& r, const Args&) {
  return Ok({ModeName(r.Mode(), r.Reverse(), r.DataMode()), std::to_string(r.BW())});
}

Reply SetMode(FTDX10_Protocol& r, const Args& a) {
  const ModeToken* m = FindMode(a[0]);
  auto passband = Number(a[1]);
  if (!m || !passband) return Fail(Status::kInvalid);
  return SetModeAndPassband(r, *m, Clamp16(*passband));
}

Reply SetFreq(FTDX10_Protocol& r, const Args& a) {
  auto hz = Number(a[0]);
  if (!hz) return Fail(Status::kInvalid);
  return ByResult(r.SetFreq(std::round(*hz) / 1e6));
}

Reply SetVfo(FTDX10_Protocol& r, const Args& a) {
  auto vfo = VfoOf(a[0]);
  if (!vfo) return Fail(Status::kInvalidVfo);
  if (*vfo < 0) return Ok();
  return ByResult(r.SetVFO(static_cast<std::int16_t>(*vfo)));
}

Reply GetSplit(FTDX10_Protocol& r, const Args&) {
  bool split = r.Split() != 0;
  int current = CurrentVfo(r);
  return Ok({Flag(split), VfoName(split ? 1 - current : current)});
}

Reply SetSplit(FTDX10_Protocol& r, const Args& a) {
  auto on = Int16(a[0]);
  if (!on) return Fail(Status::kInvalid);
  if (!VfoOf(a[1])) return Fail(Status::kInvalidVfo);
  return ByResult(r.SetSplit(*on != 0 ? 1 : 0));
}

Reply SetSplitFreq(FTDX10_Protocol& r, const Args& a) {
  auto hz = Number(a[0]);
  if (!hz) return Fail(Status::kInvalid);
  // The radio transmits on VFO B while split from A; from B there is no separate write.
  if (CurrentVfo(r) != 0) return Fail(Status::kNotAvailable);
  return ByResult(r.SetVFOB(std::round(*hz) / 1e6));
}

Reply SetSplitMode(FTDX10_Protocol& r, const Args& a) {
  const ModeToken* m = FindMode(a[0]);
  if (!m || !Number(a[1])) return Fail(Status::kInvalid);
  std::int16_t mode = m->mode;
  double other = CurrentVfo(r) == 0 ? r.VFOB_Freq() : r.VFOA_Freq();
  return ByResult(r.SetTX(other, mode));
}

Reply SetPtt(FTDX10_Protocol& r, const Args& a) {
  auto v = Int16(a[0]);
  if (!v || *v < 0 || *v > 3) return Fail(Status::kInvalid);
  return ByResult(r.SetPTT(*v != 0 ? 1 : 0));
}

Reply SetRit(FTDX10_Protocol& r, const Args& a) {
  auto hz = Int16(a[0]);
  if (!hz || std::abs(*hz) > kMaxRitHz) return Fail(Status::kInvalid);
  return ByResult(r.SetRIT(*hz != 0 ? 1 : 0, *hz / 1000.0));
}

Reply GetLevel(FTDX10_Protocol& r, const Args& a) {
  const Level* l = FindNamed(kLevels, a[0]);
  if (!l) return Fail(Status::kNotAvailable);
  return Ok({l->get(r)});
}

Reply SetLevel(FTDX10_Protocol& r, const Args& a) {
  const Level* l = FindNamed(kLevels, a[0]);
  auto v = Number(a[1]);
  if (!l || !l->set) return Fail(Status::kNotAvailable);
  if (!v) return Fail(Status::kInvalid);
  return ByResult(l->set(r, *v));
}

Reply GetFunc(FTDX10_Protocol& r, const Args& a) {
  const Function* f = FindNamed(kFunctions, a[0]);
  if (!f) return Fail(Status::kNotAvailable);
  return Ok({Flag(f->get(r))});
}

Reply SetFunc(FTDX10_Protocol& r, const Args& a) {
  const Function* f = FindNamed(kFunctions, a[0]);
  auto v = Int16(a[1]);
  if (!f) return Fail(Status::kNotAvailable);
  if (!v) return Fail(Status::kInvalid);
  return ByResult(f->set(r, *v != 0 ? 1 : 0));
}

// While DCS is in use the library's CTCSS holds minus the code.
Reply GetCtcss(FTDX10_Protocol& r, const Args&) {
  return Ok({r.DCS() != 0 ? "0" : Whole(r.CTCSS() * 10.0)});
}

Reply GetDcs(FTDX10_Protocol& r, const Args&) {
  return Ok({r.DCS() != 0 ? Whole(-r.CTCSS()) : "0"});
}

// A tone (CTCSS tenths of Hz, or a DCS code) on, or 0 for off; a kind of tone the radio does not
// take is not available.
Reply SetToneOf(FTDX10_Protocol& r, const Args& a, bool dcs) {
  auto value = Int16(a[0]);
  if (!value || *value < 0) return Fail(Status::kInvalid);
  if (*value == 0) return ByResult(r.SetTone(0, 0, 0, 0));
  const RadioCapabilities caps = Capabilities(r);
  if (dcs ? caps.dcs_codes.empty() : caps.ctcss_hz.empty()) return Fail(Status::kNotAvailable);
  const std::int16_t dec = r.Dec() != 0 ? 1 : 0;
  return ByResult(dcs ? r.SetTone(0, *value, 1, dec) : r.SetTone(*value / 10.0f, 0, 1, dec));
}

Reply GetShift(FTDX10_Protocol& r, const Args&) {
  std::int16_t d = r.RPT();
  return Ok({d < 0 ? "-" : d > 0 ? "+" : "None"});
}

Reply SetShiftDirection(FTDX10_Protocol& r, const Args& a) {
  const std::string& s = a[0];
  std::int16_t d = s == "+" ? 1 : s == "-" ? -1 : 0;
  if (d == 0 && s != "None" && s != "0") return Fail(Status::kInvalid);
  return ByResult(r.SetRPT(d));
}

Reply SetOffset(FTDX10_Protocol& r, const Args& a) {
  auto hz = Number(a[0]);
  if (!hz || *hz < 0 || *hz > 1e8) return Fail(Status::kInvalid);
  return ByResult(r.SetShift(static_cast<float>(*hz)));
}

Reply SetMem(FTDX10_Protocol& r, const Args& a) {
  auto ch = Int16(a[0]);
  if (!ch) return Fail(Status::kInvalid);
  return ByResult(r.SetChannel(*ch));
}

Reply SendMorse(FTDX10_Protocol& r, const Args& a) {
  // The text goes into the last keyer memory, which is then played.
  std::int16_t slot = std::max<std::int16_t>(r.Property(66), 1);
  if (!On(r.SetKeyerMessage(1, slot, a[0]))) return Fail(Status::kInvalid);
  return ByResult(r.SetKeyerMessage(0, slot, ""));
}

constexpr double kDialStepMHz = 10 / 1e6;

Reply VfoOp(FTDX10_Protocol& r, const Args& a) {
  const std::string& op = a[0];
  if (op == "CPY") return ByResult(r.SetAeqB());
  if (op == "XCHG") return ByResult(r.SetAexcB());
  if (op == "UP") return ByResult(r.SetFreq(r.Freq() + kDialStepMHz));
  if (op == "DOWN") return ByResult(r.SetFreq(r.Freq() - kDialStepMHz));
  if (op == "BAND_UP") return ByResult(r.SetBand(static_cast<std::int16_t>(r.Band() + 1)));
  if (op == "BAND_DOWN") return ByResult(r.SetBand(static_cast<std::int16_t>(r.Band() - 1)));
  if (op == "TUNE") return ByResult(r.SetStartTuner());
  return Fail(Status::kNotAvailable);
}

Reply SetPower(FTDX10_Protocol& r, const Args& a) {
  auto on = Int16(a[0]);
  if (!on) return Fail(Status::kInvalid);
  return ByResult(r.SetPowerON(*on != 0 ? 1 : 0));
}

Reply GetVfoInfo(FTDX10_Protocol& r, const Args& a) {
  auto vfo = VfoOf(a[0]);
  if (!vfo) return Fail(Status::kInvalidVfo);
  int which = *vfo < 0 ? CurrentVfo(r) : *vfo;
  bool current = which == CurrentVfo(r);
  double mhz = which == 0 ? r.VFOA_Freq() : r.VFOB_Freq();
  std::string mode = current ? ModeName(r.Mode(), r.Reverse(), r.DataMode())
                             : ModeName(which == 0 ? r.VFOA_Mode() : r.VFOB_Mode(), 0, 0);
  return Ok({Whole(Hz(mhz)), mode, std::to_string(r.BW()), Flag(r.Split() != 0), "0"});
}

struct Route {
  std::string_view name;
  Handler run;
};

const Route kRoutes[] = {
    {"get_freq", [](FTDX10_Protocol& r, const Args&) { return Ok({Whole(Hz(r.Freq()))}); }},
    {"set_freq", SetFreq},
    {"get_mode", GetMode},
    {"set_mode", SetMode},
    {"get_vfo", [](FTDX10_Protocol& r, const Args&) { return Ok({VfoName(CurrentVfo(r))}); }},
    {"set_vfo", SetVfo},
    {"get_split_vfo", GetSplit},
    {"set_split_vfo", SetSplit},
    {"get_split_freq",
     [](FTDX10_Protocol& r, const Args&) { return Ok({Whole(Hz(r.TX_Freq()))}); }},
    {"set_split_freq", SetSplitFreq},
    {"get_split_mode",
     [](FTDX10_Protocol& r, const Args&) {
       return Ok({ModeName(r.TX_Mode(), 0, 0), std::to_string(r.BW())});
     }},
    {"set_split_mode", SetSplitMode},
    {"get_ptt", [](FTDX10_Protocol& r, const Args&) { return Ok({Flag(r.PTT() != 0)}); }},
    {"set_ptt", SetPtt},
    {"get_rit", [](FTDX10_Protocol& r, const Args&) { return Ok({Whole(r.RITOffset() * 1000)}); }},
    {"set_rit", SetRit},
    {"get_level", GetLevel},
    {"set_level", SetLevel},
    {"get_func", GetFunc},
    {"set_func", SetFunc},
    {"get_ctcss_tone", GetCtcss},
    {"set_ctcss_tone", [](FTDX10_Protocol& r, const Args& a) { return SetToneOf(r, a, false); }},
    {"get_dcs_code", GetDcs},
    {"set_dcs_code", [](FTDX10_Protocol& r, const Args& a) { return SetToneOf(r, a, true); }},
    {"get_rptr_shift", GetShift},
    {"set_rptr_shift", SetShiftDirection},
    {"get_rptr_offs",
     [](FTDX10_Protocol& r, const Args&) { return Ok({Whole(r.Shift() * 1000.0)}); }},
    {"set_rptr_offs", SetOffset},
    {"get_mem", [](FTDX10_Protocol& r, const Args&) { return Ok({std::to_string(r.Channel())}); }},
    {"set_mem", SetMem},
    {"send_morse", SendMorse},
    {"vfo_op", VfoOp},
    // Past the answering check the radio is on.
    {"get_powerstat", [](FTDX10_Protocol&, const Args&) { return Ok({"1"}); }},
    {"set_powerstat", SetPower},
    {"get_vfo_info", GetVfoInfo},
};

// Commands that describe the server or the radio's tables and need no answer from the radio.
bool Static(std::string_view name) {
  return name == "chk_vfo" || name == "dump_state" || name == "dump_caps" || name == "quit" ||
         name == "get_lock_mode";
}

std::string Hex(unsigned long long v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llx", v);
  return buf;
}

std::string Joined(const std::vector<int>& values, const char* after) {
  std::string out;
  for (int v : values) out += std::to_string(v) + after;
  return out;
}

// The normal width first, then the others: the middle step counts as normal (of AM's and FM's
// narrow and normal pair, the second).
std::vector<std::int32_t> NormalFirst(std::vector<std::int32_t> widths) {
  if (widths.size() > 1) {
    auto normal = widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2);
    std::rotate(widths.begin(), normal, normal + 1);
  }
  return widths;
}

constexpr int kModelNumber = 1;
constexpr int kPowerMinMw = 5000, kPowerMaxMw = 100000;

}  // namespace

Reply Execute(FTDX10_Protocol& radio, const Request& request, const Policy& policy) {
  if (request.error || !request.command) return Fail(Status::kInvalid);
  const CommandInfo& c = *request.command;
  if (c.name == "quit") return Ok();
  if (c.is_set && policy.read_only) return Fail(Status::kRejected);
  if (c.name == "chk_vfo") return Ok({"0"});
  if (c.name == "get_lock_mode") {
    Reply r = Ok({"0"});
    r.always_status = true;
    return r;
  }
  if (c.name == "dump_state" || c.name == "dump_caps") {
    Reply r = Ok(c.name == "dump_state" ? DumpState(radio) : DumpCaps(radio));
    r.block = true;
    return r;
  }
  if (!Static(c.name) && !On(radio.RadioAnswering())) return Fail(Status::kTimeout);
  for (const Route& route : kRoutes) {
    if (route.name != c.name) continue;
    try {
      return route.run(radio, request.args);
    } catch (const AutomationError&) {
      return Fail(Status::kInvalid);
    }
  }
  return Fail(Status::kNotImplemented);
}

std::vector<std::string> DumpState(const FTDX10_Protocol& radio) {
  const RadioCapabilities caps = Capabilities(radio);
  const std::string modes = Hex(AllModeBits());
  char range[160];
  std::vector<std::string> out = {"1", std::to_string(kModelNumber), "0"};
  std::snprintf(range, sizeof range, "%f %f %s -1 -1 0xf 0x1", caps.range_min_hz, caps.range_max_hz,
                modes.c_str());
  out.insert(out.end(), {range, "0 0 0 0 0 0 0"});
  std::snprintf(range, sizeof range, "%f %f %s %d %d 0xf 0x1", caps.range_min_hz, caps.range_max_hz,
                modes.c_str(), kPowerMinMw, kPowerMaxMw);
  out.insert(out.end(), {range, "0 0 0 0 0 0 0"});
  out.insert(out.end(), {modes + " 10", "0 0"});
  for (const auto& f : caps.filters) {
    if (f.mode == kPskMode) continue;  // PKTUSB: USB's filters
    for (std::int32_t w : NormalFirst(f.widths_hz)) {
      out.push_back(Hex(ModeBits(f.mode)) + " " + std::to_string(w));
    }
  }
  out.push_back("0 0");
  out.insert(out.end(),
             {std::to_string(caps.max_rit_hz), "0", std::to_string(caps.max_if_shift_hz), "0"});
  out.push_back(Joined(caps.preamp_db, " "));
  out.push_back(Joined(caps.attenuator_db, " "));
  // Everything may be asked; what the radio lacks answers "not available".
  const std::string all = "0xffffffffffffffff";
  out.insert(out.end(), {all, all, all, all, "0", "0"});
  out.insert(out.end(), {"vfo_ops=0x7ffffff", "ptt_type=0x1", "targetable_vfo=0x0", "has_set_vfo=1",
                         "has_get_vfo=1", "has_set_freq=1", "has_get_freq=1", "timeout=0",
                         "rig_model=" + std::to_string(kModelNumber), kAgcLine});
  std::string ctcss = "ctcss_list=";
  for (float hz : caps.ctcss_hz) {
    char tone[16];
    std::snprintf(tone, sizeof tone, " %.1f", hz);
    ctcss += tone;
  }
  out.push_back(ctcss);
  out.push_back("dcs_list= " + Joined(caps.dcs_codes, " "));
  out.back().pop_back();
  out.push_back("done");
  return out;
}

std::vector<std::string> DumpCaps(const FTDX10_Protocol& radio) {
  const RadioCapabilities caps = Capabilities(radio);
  std::vector<std::string> out = {
      "Model name:\t" + caps.transceiver,
      "Frequency range:\t" + Whole(caps.range_min_hz) + " - " + Whole(caps.range_max_hz) + " Hz"};
  std::string modes = "Mode list:";
  for (const ModeToken& m : kModes) modes += " " + std::string(m.token);
  out.push_back(modes);
  for (const auto& f : caps.filters) {
    if (f.mode == kPskMode) continue;
    std::string line = "Filters " + ModeName(f.mode, 0, 0) + ":";
    for (std::int32_t w : f.widths_hz) line += " " + std::to_string(w);
    out.push_back(line + " Hz");
  }
  out.push_back("Preamp:\t" + Joined(caps.preamp_db, "dB "));
  out.push_back("Attenuator:\t" + Joined(caps.attenuator_db, "dB "));
  out.push_back("Memory channels:\t" + std::to_string(caps.channel_min) + " - " +
                std::to_string(caps.channel_max));
  std::string levels = "Levels:", funcs = "Functions:";
  for (const Level& l : kLevels) levels += " " + std::string(l.name);
  for (const Function& f : kFunctions) funcs += " " + std::string(f.name);
  out.insert(out.end(), {levels, funcs});
  return out;
}

}  // namespace veltro::server
