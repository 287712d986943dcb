#include "ftdx10sim/radio_model.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <utility>

namespace veltro::sim {
namespace {

constexpr unsigned kDx10 = 1;
constexpr unsigned k891 = 2;
constexpr unsigned kBoth = kDx10 | k891;

constexpr std::int64_t kMinHz = 30'000;
constexpr std::size_t kMaxCommandLength = 128;
constexpr std::size_t kMaxKeyerText = 50;

enum class Field { kDigits, kSigned, kHexDigit };

// A setting that is nothing but a number behind fixed command letters: the set form is the key
// followed by the value field, the query the read form (usually the key itself), and the answer
// the key followed by the value field.
struct SettingDef {
  std::string_view key;
  std::string_view query;
  int width;
  int min;
  int max;
  int initial;
  Field field;
  unsigned models;
};

constexpr SettingDef S(std::string_view key, int width, int min, int max, int initial,
                       unsigned models = kBoth) {
  return {key, key, width, min, max, initial, Field::kDigits, models};
}
constexpr SettingDef Signed(std::string_view key, std::string_view query, int width, int min,
                            int max, int initial, unsigned models) {
  return {key, query, width, min, max, initial, Field::kSigned, models};
}

constexpr SettingDef kSettings[] = {
    S("AI", 1, 0, 1, 0),
    S("AG0", 3, 0, 255, 128),
    S("RG0", 3, 0, 255, 255, kDx10),
    S("RG0", 3, 0, 30, 30, k891),
    S("SQ0", 3, 0, 255, 0),
    S("PC", 3, 5, 100, 100),
    S("NR0", 1, 0, 1, 0),
    S("RL0", 2, 1, 15, 8),
    S("BP00", 3, 0, 1, 0),
    S("BP01", 3, 1, 320, 100),
    S("BC0", 1, 0, 1, 0),
    S("NB0", 1, 0, 1, 0),
    S("NL0", 3, 0, 10, 5),
    S("NA0", 1, 0, 1, 0),
    // The digit after the receiver selects the filter set: 0 on the FTDX10, 1 on the FT-891.
    Signed("IS00", "IS0", 4, -1200, 1200, 0, kDx10),
    Signed("IS01", "IS0", 4, -1200, 1200, 0, k891),
    {"SH00", "SH0", 2, 0, 23, 13, Field::kDigits, kDx10},
    {"SH01", "SH0", 2, 0, 21, 14, Field::kDigits, k891},
    S("CO00", 4, 0, 1, 0),
    S("CO01", 4, 10, 3200, 1000),
    S("CO02", 4, 0, 1, 0),
    S("CO03", 4, 0, 50, 25),
    {"RF0", "RF0", 1, 1, 10, 1, Field::kHexDigit, kDx10},
    S("GT0", 1, 0, 4, 3),
    S("RA0", 1, 0, 3, 0, kDx10),
    S("RA0", 1, 0, 1, 0, k891),
    S("PA0", 1, 0, 2, 0, kDx10),
    S("PA0", 1, 0, 1, 0, k891),
    S("AN0", 1, 1, 1, 1),
    S("VX", 1, 0, 1, 0),
    S("PR0", 1, 0, 1, 0),
    S("PR1", 1, 0, 1, 0),
    S("MG", 3, 0, 100, 50),
    S("ML0", 3, 0, 1, 0),
    S("ML1", 3, 0, 100, 50),
    {"AC00", "AC", 1, 0, 2, 0, Field::kDigits, kBoth},
    S("TX", 1, 0, 1, 0),
    S("TS", 1, 0, 1, 0),
    S("MS", 1, 0, 5, 0, kDx10),
    S("MS", 1, 0, 4, 0, k891),
    S("BI", 1, 0, 1, 0),
    S("SD", 2, 0, 30, 6, kDx10),
    S("SD", 4, 0, 3000, 200, k891),
    S("KR", 1, 0, 1, 1),
    S("KS", 3, 4, 60, 20),
    S("KP", 2, 0, 75, 30),
    S("CS", 1, 0, 1, 0),
    S("PB0", 1, 0, 5, 0),
    S("SC", 1, 0, 2, 0),
    S("LK", 1, 0, 3, 0),
    S("FN", 1, 0, 1, 0, kDx10),
    S("FS", 1, 0, 3, 0, k891),
    S("RT", 1, 0, 1, 0),
    S("OS0", 1, 0, 2, 0),
    S("OS1", 1, 0, 2, 0),
    S("CT0", 1, 0, 3, 0),
    S("CT1", 1, 0, 3, 0),
    S("CN00", 3, 0, 49, 8),
    S("CN01", 3, 0, 103, 0),
    S("CN10", 3, 0, 49, 8),
    S("CN11", 3, 0, 103, 0),
    // Menu items: repeater shift below 50 MHz and for 50-60 MHz (kHz), full break-in,
    // contour level and contour width.
    S("EX010317", 4, 0, 9999, 100, kDx10),
    S("EX010318", 4, 0, 9999, 1000, kDx10),
    S("EX020113", 1, 0, 1, 0, kDx10),
    Signed("EX030202", "EX030202", 2, -40, 20, 0, kDx10),
    S("EX030203", 2, 1, 11, 10, kDx10),
    S("EX0904", 4, 0, 9999, 100, k891),
    S("EX0905", 4, 0, 9999, 1000, k891),
    S("EX0708", 1, 0, 1, 0, k891),
    Signed("EX1202", "EX1202", 2, -40, 20, 0, k891),
    S("EX1203", 2, 1, 11, 10, k891),
};

// Edges of the bands that "BS" selects; anything else belongs to band 11, general coverage.
struct BandEdge {
  std::int64_t low_hz;
  std::int64_t high_hz;
};
constexpr BandEdge kBands[] = {
    {1'800'000, 2'000'000},   {3'500'000, 4'000'000},   {5'250'000, 5'450'000},
    {7'000'000, 7'300'000},   {10'100'000, 10'150'000}, {14'000'000, 14'350'000},
    {18'068'000, 18'168'000}, {21'000'000, 21'450'000}, {24'890'000, 24'990'000},
    {28'000'000, 29'700'000}, {50'000'000, 54'000'000},
};
constexpr int kGeneralBand = 11;

int BandOf(std::int64_t hz) {
  for (int b = 0; b < static_cast<int>(std::size(kBands)); ++b) {
    if (hz >= kBands[b].low_hz && hz <= kBands[b].high_hz) return b;
  }
  return kGeneralBand;
}

unsigned MaskOf(Model m) { return m == Model::kFt891 ? k891 : kDx10; }

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whole-field decimal number, or nothing when the field holds anything but digits.
std::optional<std::int64_t> Number(std::string_view s) {
  if (!AllDigits(s)) return std::nullopt;
  std::int64_t v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

std::string Pad(std::int64_t v, std::size_t width) {
  std::string s = std::to_string(v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

std::string SignedField(int v, std::size_t width) {
  return (v < 0 ? "-" : "+") + Pad(std::abs(v), width);
}

std::string FormatValue(const SettingDef& d, int v) {
  switch (d.field) {
    case Field::kHexDigit:
      return std::string(1, "0123456789ABCDEF"[v & 0xF]);
    case Field::kSigned:
      return SignedField(v, d.width);
    case Field::kDigits:
      break;
  }
  return Pad(v, d.width);
}

std::optional<int> ParseValue(const SettingDef& d, std::string_view s) {
  std::optional<std::int64_t> v;
  switch (d.field) {
    case Field::kHexDigit:
      if (s.size() == 1 && s[0] >= '0' && s[0] <= '9') v = s[0] - '0';
      if (s.size() == 1 && s[0] >= 'A' && s[0] <= 'F') v = s[0] - 'A' + 10;
      break;
    case Field::kSigned:
      if (s.size() == static_cast<std::size_t>(d.width) + 1 && (s[0] == '+' || s[0] == '-')) {
        v = Number(s.substr(1));
        if (v && s[0] == '-') v = -*v;
      }
      break;
    case Field::kDigits:
      if (s.size() == static_cast<std::size_t>(d.width)) v = Number(s);
      break;
  }
  if (!v || *v < d.min || *v > d.max) return std::nullopt;
  return static_cast<int>(*v);
}

// Keyer texts: upper-case letters, digits, blank and the printable signs.
bool ValidKeyerText(std::string_view s) {
  return !s.empty() && s.size() <= kMaxKeyerText && std::all_of(s.begin(), s.end(), [](char c) {
    return c >= ' ' && c <= '~' && !(c >= 'a' && c <= 'z');
  });
}

}  // namespace

std::string_view IdentityOf(Model model) { return model == Model::kFt891 ? "0650" : "0761"; }

RadioModel::RadioModel(Model model) : model_(model), vfo_{{{14'250'000, '2'}, {7'100'000, '1'}}} {
  meter_override_.fill(-1);
  dimmer_.fill(model == Model::kFt891 ? 8 : 10);
  for (int b = 0; b < static_cast<int>(std::size(kBands)); ++b) {
    band_stack_[b] = {kBands[b].low_hz, kBands[b].low_hz < 10'000'000 ? '1' : '2'};
  }
  band_stack_[2] = {5'357'000, '2'};
  band_stack_[kGeneralBand] = {9'500'000, '5'};

  report_queries_ = {"FA", "FB", "VS", "FT", "ST", "MD0", "IF", "OI", "MC", "SM0", "BY", "DA"};
  for (const SettingDef& d : kSettings) {
    if (!(d.models & MaskOf(model_))) continue;
    settings_.emplace(std::string(d.key), d.initial);
    // Switching auto-information is not itself reported.
    if (d.key != "AI") report_queries_.emplace_back(d.query);
  }
  for (int n = 1; n <= 5; ++n) report_queries_.push_back("KM" + std::to_string(n));
  for (int ch = 1; ch <= 99; ++ch) report_queries_.push_back("MW" + Pad(ch, 3));
}

std::string RadioModel::Receive(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\r' || c == '\n') continue;
    if (c != ';') {
      if (overlong_) continue;
      pending_ += c;
      if (pending_.size() > kMaxCommandLength) {
        pending_.clear();
        overlong_ = true;
      }
      continue;
    }
    if (overlong_) {
      if (power_) out += "?;";
      overlong_ = false;
    } else if (!pending_.empty()) {
      out += Execute(pending_);
    }
    pending_.clear();
  }
  return out;
}

std::string RadioModel::Execute(std::string_view command) {
  // Switched off, the radio hears only the command that switches it on.
  if (!power_) {
    if (command == "PS1") power_ = true;
    return {};
  }
  if (auto answer = Answer(command)) return *answer + ";";
  auto reports = Operate(command);
  return reports ? *reports : "?;";
}

std::optional<std::string> RadioModel::Operate(std::string_view command) {
  if (!power_) return std::nullopt;
  const bool watching = AutoInformation();
  std::vector<std::string> before;
  if (watching) before = Snapshot();
  if (!Apply(command)) return std::nullopt;
  // AI1 itself starts reporting with the next change; AI0 silences its own.
  if (!watching || !AutoInformation()) return std::string();
  return ReportsSince(before);
}

std::string RadioModel::TurnKnob(std::int64_t delta_hz) {
  if (!power_) return {};
  const bool watching = AutoInformation();
  std::vector<std::string> before;
  if (watching) before = Snapshot();
  std::int64_t& f = ReceiveFreq();
  const std::int64_t max_hz = model_ == Model::kFt891 ? 54'000'000 : 75'000'000;
  f = std::clamp<std::int64_t>(f + delta_hz, kMinHz, max_hz);
  return watching ? ReportsSince(before) : std::string();
}

std::string RadioModel::SetSMeter(int value) {
  const bool watching = power_ && AutoInformation();
  std::vector<std::string> before;
  if (watching) before = Snapshot();
  smeter_ = std::clamp(value, 0, 255);
  return watching ? ReportsSince(before) : std::string();
}

std::string RadioModel::SetMeterReading(int index, int value) {
  if (index >= 0 && index < static_cast<int>(meter_override_.size())) {
    meter_override_[index] = value < 0 ? -1 : std::min(value, 255);
  }
  // Meter readings other than the S-meter are read on request only, never reported.
  return {};
}

std::int64_t RadioModel::VfoFreqHz(char vfo) const { return vfo_[vfo == 'B'].freq_hz; }
char RadioModel::ModeChar(char vfo) const { return vfo_[vfo == 'B'].mode; }
char RadioModel::TransmitVfo() const { return (split_ ? 1 - rx_ : rx_) == 0 ? 'A' : 'B'; }
bool RadioModel::Ptt() const { return settings_.at("TX") != 0; }
bool RadioModel::AutoInformation() const { return settings_.at("AI") != 0; }

std::optional<MemoryChannel> RadioModel::Memory(int channel) const {
  if (channel < 1 || channel > 99) return std::nullopt;
  return memories_[channel];
}

std::optional<int> RadioModel::Setting(std::string_view key) const {
  auto it = settings_.find(key);
  if (it == settings_.end()) return std::nullopt;
  return it->second;
}

std::string RadioModel::KeyerMessage(int number) const {
  return number >= 1 && number <= 5 ? keyer_messages_[number] : std::string();
}

bool RadioModel::InRange(std::int64_t hz) const {
  return hz >= kMinHz && hz <= (model_ == Model::kFt891 ? 54'000'000 : 75'000'000);
}

bool RadioModel::ValidModeChar(char c) const {
  const std::string_view modes = model_ == Model::kFt891 ? "123456789ABCD" : "123456789ABCDEF";
  return modes.find(c) != std::string_view::npos;
}

std::int64_t& RadioModel::ReceiveFreq() {
  return memory_mode_ ? working_.freq_hz : vfo_[rx_].freq_hz;
}

int RadioModel::MeterReading(int index) const {
  if (meter_override_[index] >= 0) return meter_override_[index];
  switch (index) {
    case 0:
    case 1:
      return smeter_;
    case 5:  // output power, full scale at 100 W
      return Ptt() ? settings_.at("PC") * 255 / 100 : 0;
    case 8:  // supply voltage, steady
      return 190;
    default:
      return 0;
  }
}

// The 27-character status layout shared by "IF", "OI" and "MW":
// code, channel(3), frequency(9), clarifier sign+4, RX clarifier, TX clarifier, mode,
// VFO/memory, tone mode, "00", shift.
static std::string Layout(std::string_view code, int channel, const MemoryChannel& c, char state) {
  std::string s(code);
  s += Pad(channel, 3);
  s += Pad(c.freq_hz, 9);
  s += SignedField(c.clarifier_hz, 4);
  s += c.rx_clarifier ? '1' : '0';
  s += c.tx_clarifier ? '1' : '0';
  s += c.mode;
  s += state;
  s += static_cast<char>('0' + c.tone_mode);
  s += "00";
  s += static_cast<char>('0' + c.shift);
  return s;
}

std::string RadioModel::StatusLayout(std::string_view code, bool receive_side) const {
  if (receive_side && memory_mode_) {
    MemoryChannel c = working_;
    c.clarifier_hz = rit_offset_hz_;
    c.rx_clarifier = settings_.at("RT") != 0;
    return Layout(code, channel_, c, '1');
  }
  const int v = receive_side ? rx_ : 1 - rx_;
  MemoryChannel c;
  c.freq_hz = vfo_[v].freq_hz;
  c.mode = vfo_[v].mode;
  // The clarifier belongs to the receive side; the other side shows none.
  if (receive_side) {
    c.clarifier_hz = rit_offset_hz_;
    c.rx_clarifier = settings_.at("RT") != 0;
  }
  c.tone_mode = settings_.at(v == 0 ? "CT0" : "CT1");
  c.shift = settings_.at(v == 0 ? "OS0" : "OS1");
  return Layout(code, channel_, c, '0');
}

std::optional<std::string> RadioModel::Answer(std::string_view query) const {
  if (query.size() < 2) return std::nullopt;
  const std::string code(query.substr(0, 2));
  const std::string_view rest = query.substr(2);
  const bool bare = rest.empty();

  if ((code == "FA" || code == "FB") && bare) return code + Pad(vfo_[code == "FB"].freq_hz, 9);
  if (query == "MD0") return "MD0" + std::string(1, memory_mode_ ? working_.mode : vfo_[rx_].mode);
  if (query == "VS") return "VS" + std::to_string(rx_);
  if (query == "FT") return "FT" + std::string(1, TransmitVfo() == 'A' ? '0' : '1');
  if (query == "ST") return "ST" + std::to_string(split_ ? 1 : 0);
  if (query == "IF") return StatusLayout("IF", true);
  if (query == "OI") return StatusLayout("OI", false);
  if (query == "MC") return "MC" + Pad(channel_, 3);
  if (code == "MW" && rest.size() == 3) {
    auto ch = Number(rest);
    if (!ch || *ch < 1 || *ch > 99 || !memories_[*ch]) return std::nullopt;
    return Layout("MW", static_cast<int>(*ch), *memories_[*ch], '0');
  }
  if (query == "SM0") return "SM0" + Pad(smeter_, 3);
  if (code == "RM" && rest.size() == 1 && rest[0] >= '0' && rest[0] <= '8') {
    return "RM" + std::string(rest) + Pad(MeterReading(rest[0] - '0'), 3);
  }
  if (query == "BY") return std::string("BY") + (smeter_ > settings_.at("SQ0") ? '1' : '0') + '0';
  if (query == "ID") return "ID" + std::string(IdentityOf(model_));
  if (query == "PS") return "PS1";
  if (query == "DA") {
    std::string s = model_ == Model::kFt891 ? "DA" + Pad(dimmer_[0], 2) : "DA00";
    for (int i = 1; i < 4; ++i) s += Pad(dimmer_[i], 2);
    return s;
  }
  if (code == "KM" && rest.size() == 1 && rest[0] >= '1' && rest[0] <= '5') {
    return "KM" + std::string(rest) + keyer_messages_[rest[0] - '0'];
  }
  if (query == "KY") return "KY0";  // keyer buffer ready

  for (const SettingDef& d : kSettings) {
    if ((d.models & MaskOf(model_)) && d.query == query) {
      return std::string(d.key) + FormatValue(d, settings_.find(d.key)->second);
    }
  }
  return std::nullopt;
}

bool RadioModel::Apply(std::string_view command) {
  if (command.size() < 2) return false;
  const std::string code(command.substr(0, 2));
  const std::string_view rest = command.substr(2);

  if (code == "FA" || code == "FB") {
    auto hz = rest.size() == 9 ? Number(rest) : std::nullopt;
    if (!hz || !InRange(*hz)) return false;
    vfo_[code == "FB"].freq_hz = *hz;
    return true;
  }
  if (code == "MD") {
    if (rest.size() != 2 || rest[0] != '0' || !ValidModeChar(rest[1])) return false;
    (memory_mode_ ? working_.mode : vfo_[rx_].mode) = rest[1];
    return true;
  }
  if (code == "VS" || code == "FT" || code == "ST") {
    if (rest != "0" && rest != "1") return false;
    const int v = rest[0] - '0';
    if (code == "VS") rx_ = v;  // split, if on, stays on: transmit follows to the other VFO
    if (code == "FT") split_ = v != rx_;
    if (code == "ST") split_ = v == 1;
    return true;
  }
  if (code == "MW") return ApplyMemoryWrite(rest);
  if (code == "MC") {
    auto ch = rest.size() == 3 ? Number(rest) : std::nullopt;
    if (!ch || *ch < 1 || *ch > 99 || !memories_[*ch]) return false;
    channel_ = static_cast<int>(*ch);
    memory_mode_ = true;
    working_ = *memories_[*ch];
    return true;
  }
  if (command == "VM") {
    memory_mode_ = false;
    return true;
  }
  if (command == "AB" || command == "BA" || command == "SV") {
    if (command == "AB") vfo_[1] = vfo_[0];
    if (command == "BA") vfo_[0] = vfo_[1];
    if (command == "SV") std::swap(vfo_[0], vfo_[1]);
    return true;
  }
  if (code == "BS") {
    auto band = rest.size() == 2 ? Number(rest) : std::nullopt;
    return band && *band <= kGeneralBand && ApplyBand(static_cast<int>(*band));
  }
  if (command == "RC") {
    rit_offset_hz_ = 0;
    return true;
  }
  if (code == "RU" || code == "RD") {
    auto hz = rest.size() == 4 ? Number(rest) : std::nullopt;
    if (!hz) return false;
    const int step = static_cast<int>(code == "RU" ? *hz : -*hz);
    rit_offset_hz_ = std::clamp(rit_offset_hz_ + step, -9999, 9999);
    return true;
  }
  if (command == "PS0") {
    power_ = false;
    return true;
  }
  if (command == "PS1") return true;
  if (code == "DA") return ApplyDimmer(rest);
  if (code == "KM") {
    if (rest.size() < 2 || rest[0] < '1' || rest[0] > '5' || !ValidKeyerText(rest.substr(1))) {
      return false;
    }
    keyer_messages_[rest[0] - '0'] = std::string(rest.substr(1));
    return true;
  }
  if (code == "KY") {
    const std::string_view messages = "6789A";  // play messages 1 to 5
    if (rest.size() == 1 && messages.find(rest[0]) != std::string_view::npos) {
      keyer_sent_.push_back(keyer_messages_[messages.find(rest[0]) + 1]);
      return true;
    }
    if (rest.size() > 1 && rest[0] == ' ' && ValidKeyerText(rest.substr(1))) {
      keyer_sent_.emplace_back(rest.substr(1));
      return true;
    }
    return false;
  }
  if (command == "ZI") return true;  // zero-in is momentary; nothing stays changed

  for (const SettingDef& d : kSettings) {
    if (!(d.models & MaskOf(model_)) || command.size() <= d.key.size() ||
        command.substr(0, d.key.size()) != d.key) {
      continue;
    }
    if (auto v = ParseValue(d, command.substr(d.key.size()))) {
      int& stored = settings_.find(d.key)->second;
      stored = *v;
      if (d.key == "AC00" && stored == 2) stored = 1;  // a tuning cycle leaves the tuner on
      return true;
    }
  }
  return false;
}

bool RadioModel::ApplyMemoryWrite(std::string_view f) {
  // channel(3) freq(9) sign+4 rx tx mode "0" tone "00" shift
  if (f.size() != 25) return false;
  auto ch = Number(f.substr(0, 3));
  auto hz = Number(f.substr(3, 9));
  auto clar = Number(f.substr(13, 4));
  const char sign = f[12];
  if (!ch || *ch < 1 || *ch > 99 || !hz || !InRange(*hz) || !clar) return false;
  if ((sign != '+' && sign != '-') || (f[17] != '0' && f[17] != '1') ||
      (f[18] != '0' && f[18] != '1') || !ValidModeChar(f[19]) || f[20] != '0' || f[21] < '0' ||
      f[21] > '3' || f.substr(22, 2) != "00" || f[24] < '0' || f[24] > '2') {
    return false;
  }
  MemoryChannel c;
  c.freq_hz = *hz;
  c.clarifier_hz = static_cast<int>(sign == '-' ? -*clar : *clar);
  c.rx_clarifier = f[17] == '1';
  c.tx_clarifier = f[18] == '1';
  c.mode = f[19];
  c.tone_mode = f[21] - '0';
  c.shift = f[24] - '0';
  memories_[*ch] = c;
  if (memory_mode_ && channel_ == *ch) working_ = c;
  return true;
}

bool RadioModel::ApplyBand(int band) {
  // Band select works on the VFO: it leaves memory mode, keeps the band being left in its
  // stack slot and recalls the last frequency and mode of the band chosen.
  memory_mode_ = false;
  Tuning& vfo = vfo_[rx_];
  band_stack_[BandOf(vfo.freq_hz)] = vfo;
  vfo = band_stack_[band];
  return true;
}

bool RadioModel::ApplyDimmer(std::string_view f) {
  // FTDX10: "00" and three levels 0-20; FT-891: four levels 0-15.
  if (f.size() != 8) return false;
  const bool ft891 = model_ == Model::kFt891;
  if (!ft891 && f.substr(0, 2) != "00") return false;
  std::array<int, 4> levels = dimmer_;
  for (int i = ft891 ? 0 : 1; i < 4; ++i) {
    auto v = Number(f.substr(2 * i, 2));
    if (!v || *v > (ft891 ? 15 : 20)) return false;
    levels[i] = static_cast<int>(*v);
  }
  dimmer_ = levels;
  return true;
}

std::vector<std::string> RadioModel::Snapshot() const {
  std::vector<std::string> answers;
  answers.reserve(report_queries_.size());
  for (const std::string& q : report_queries_) answers.push_back(Answer(q).value_or(""));
  return answers;
}

std::string RadioModel::ReportsSince(const std::vector<std::string>& before) const {
  std::string out;
  const std::vector<std::string> after = Snapshot();
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i] && !after[i].empty()) out += after[i] + ";";
  }
  return out;
}

}  // namespace veltro::sim
