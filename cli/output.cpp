// Values as text and JSON, the trace lines, and the grouping `status` shows.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "cli.h"

namespace veltro::cli {

namespace {

bool IsNumber(const Variant& v) {
  return std::holds_alternative<std::int16_t>(v.value()) ||
         std::holds_alternative<std::int32_t>(v.value()) ||
         std::holds_alternative<double>(v.value());
}

// Singles are widened to double on the way out; show the digits a single holds.
std::string NumberText(const Variant& v, ValueType type) {
  if (const double* d = std::get_if<double>(&v.value())) {
    if (std::isnan(*d)) return "nan";
    if (std::isinf(*d)) return *d > 0 ? "inf" : "-inf";
    char buf[40];
    std::snprintf(buf, sizeof buf, type == ValueType::kSingle ? "%.7g" : "%.15g", *d);
    return buf;
  }
  return v.ToText();
}

std::string Printable(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  return out;
}

}  // namespace

std::string HumanValue(const Variant& v, ValueType type) {
  if (type == ValueType::kBoolean && IsNumber(v)) {
    try {
      return v.ToInt32() != 0 ? "true" : "false";
    } catch (const AutomationError&) {
    }
  }
  if (const bool* b = std::get_if<bool>(&v.value())) return *b ? "true" : "false";
  if (v.IsObject()) return "(object)";
  if (v.IsEmpty()) return "(empty)";
  if (IsNumber(v)) return NumberText(v, type);
  const std::string& s = std::get<std::string>(v.value());
  return "\"" + Printable(s) + "\"";
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of `s`, or 0 when it is not one
// (a stray continuation byte, a truncated or overlong sequence, a surrogate, beyond U+10FFFF).
std::size_t Utf8Length(std::string_view s) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char c = byte(0);
  std::size_t n = c < 0x80             ? 1
                  : (c & 0xe0) == 0xc0 ? 2
                  : (c & 0xf0) == 0xe0 ? 3
                  : (c & 0xf8) == 0xf0 ? 4
                                       : 0;
  if (n == 0 || n > s.size()) return 0;
  std::uint32_t code = n == 1 ? c : c & (0x7f >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3f);
  }
  static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[n] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
  return n;
}

}  // namespace

// Text is written as it is where it is UTF-8; a byte that is not part of a UTF-8 sequence (the
// line carries bytes, not text) is kept as the code point of its value, escaped.
std::string JsonString(std::string_view s) {
  std::string out = "\"";
  while (!s.empty()) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t n = Utf8Length(s);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (n == 0 || c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
      n = 1;
    } else {
      out.append(s.substr(0, n));
    }
    s.remove_prefix(n);
  }
  return out + "\"";
}

std::string JsonValue(const Variant& v, ValueType type) {
  if (v.IsEmpty() || v.IsObject()) return "null";
  if (const bool* b = std::get_if<bool>(&v.value())) return *b ? "true" : "false";
  if (const std::string* s = std::get_if<std::string>(&v.value())) return JsonString(*s);
  if (type == ValueType::kBoolean) return v.ToInt32() != 0 ? "true" : "false";
  if (const double* d = std::get_if<double>(&v.value())) {
    if (!std::isfinite(*d)) return "null";
  }
  return NumberText(v, type);
}

std::string TraceLine(const TraceEntry& e) {
  char head[32];
  std::snprintf(head, sizeof head, "%11.6f %s ", e.time,
                e.direction == Direction::kOut ? ">" : "<");
  return head + Printable(e.bytes);
}

std::string TimeText(double seconds) {
  char t[32];
  std::snprintf(t, sizeof t, "%.6f", seconds);
  return t;
}

std::string TraceJson(const TraceEntry& e) {
  return "{\"time\":" + TimeText(e.time) + ",\"dir\":\"" +
         (e.direction == Direction::kOut ? "out" : "in") + "\",\"bytes\":" + JsonString(e.bytes) +
         "}";
}

const std::vector<const char*>& Groups() {
  static const std::vector<const char*> groups = {
      "tuning", "mode", "receiver", "transmit", "keyer", "meters", "tones", "memory", "link"};
  return groups;
}

const char* GroupOf(std::string_view property) {
  static const std::map<std::string_view, const char*, std::less<>> kGroup = [] {
    std::map<std::string_view, const char*, std::less<>> m;
    auto put = [&](const char* group, std::initializer_list<std::string_view> names) {
      for (std::string_view n : names) m[n] = group;
    };
    put("tuning",
        {"Freq", "TX_Freq", "VFOA_Freq", "VFOB_Freq", "Sub_Freq", "VFO", "Split", "Band", "Range",
         "RangeMin", "RangeMax", "RITStatus", "RITOffset", "TuningStep", "Fast", "LockDial"});
    put("mode", {"Mode", "Reverse", "DataMode", "VFOA_Mode", "VFOB_Mode", "Sub_Mode", "TX_Mode",
                 "Filter", "BW", "IFShift", "IFS", "ContourState", "FContour", "APFState",
                 "LowCutFilter", "HighCutFilter"});
    put("receiver", {"AFLevel", "SQLevel", "RFLevel", "RFT", "AGC", "Att", "PreAmp", "Antenna",
                     "NB", "NBType", "NR", "NF", "FNotch", "AutoNF", "Dual", "Busy", "DimLevel"});
    put("transmit", {"PTT", "RFPower", "MicGain", "Comp", "ProcLevel", "TXEQ", "Vox", "Tuner",
                     "Monitor", "MonitorLevel"});
    put("keyer", {"KeyerSpeed", "KeyerWPM", "Pitch", "BK", "BKIn", "FullBK"});
    put("meters", {"SMeter", "Meter", "MeterSW", "MeterCaption"});
    put("tones", {"RPT", "Shift", "Enc", "Dec", "CTCSS", "DCS", "CTCSSTone"});
    put("memory", {"MemMode", "Channel", "ChannelMin", "ChannelMax", "CHLabel"});
    return m;
  }();
  auto it = kGroup.find(property);
  return it == kGroup.end() ? "link" : it->second;
}

const std::vector<Reading>& Readings() {
  static const std::vector<Reading> readings = [] {
    std::vector<Reading> out;
    for (const Member& m : Members()) {
      if (m.Kind() != MemberKind::kProperty) continue;
      if (m.Params().empty()) {
        out.push_back({m.Name(), &m, {}});
      } else if (m.Params().size() == 1 && m.Params()[0].name == "Receiver") {
        out.push_back({m.Name() + "(0)", &m, {Variant(std::int16_t{0})}});
      }
    }
    return out;
  }();
  return readings;
}

Variant Read(FTDX10_Protocol& radio, const Reading& r) {
  std::vector<Variant> args = r.indices;
  try {
    return r.member->Get(radio, args);
  } catch (const std::exception& e) {
    return Variant(std::string("(error: ") + e.what() + ")");
  }
}

}  // namespace veltro::cli
