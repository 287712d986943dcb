// The simulated radio: its CAT command parser and the state those commands change.
//
// RadioModel is plain and single-threaded: bytes in, bytes out. The Simulator puts it on a
// pty; tests drive it directly.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::sim {

enum class Model { kFtdx10, kFt891 };

// The four digits the radio answers to "ID;": "0761" or "0650".
std::string_view IdentityOf(Model model);

// One stored memory channel, field by field as "MW" writes it.
struct MemoryChannel {
  std::int64_t freq_hz = 0;
  int clarifier_hz = 0;  // -9999 to 9999
  bool rx_clarifier = false;
  bool tx_clarifier = false;
  char mode = '2';    // mode character, as in "MD0"
  int tone_mode = 0;  // 0 off, 1 tone encode and decode, 2 tone encode, 3 DCS
  int shift = 0;      // 0 simplex, 1 plus, 2 minus

  bool operator==(const MemoryChannel&) const = default;
};

class RadioModel {
 public:
  explicit RadioModel(Model model = Model::kFtdx10);

  // Takes bytes as they arrive on the line and returns every byte the radio sends back:
  // answers to queries, "?;" for refused commands and, with AI1, the reports of what changed.
  // Carriage returns and line feeds are ignored; a command longer than 128 bytes is refused.
  std::string Receive(std::string_view bytes);

  // Runs one command (the text before ";") and returns what the radio sends for it.
  std::string Execute(std::string_view command);

  // Applies a set command as if made on the front panel: returns the auto-information
  // reports it causes (empty with AI0), or nothing when the radio refuses it.
  std::optional<std::string> Operate(std::string_view command);

  // Front-panel events. Each returns the auto-information reports it causes.
  std::string TurnKnob(std::int64_t delta_hz);        // receive side, limited to the tuning range
  std::string SetSMeter(int value);                   // 0 to 255
  std::string SetMeterReading(int index, int value);  // "RM" index 0-8; value -1 = computed

  Model model() const { return model_; }
  std::int64_t VfoFreqHz(char vfo) const;  // 'A' or 'B'
  char ModeChar(char vfo) const;           // 'A' or 'B'; the "MD0" mode character
  char ReceiveVfo() const { return rx_ == 0 ? 'A' : 'B'; }
  char TransmitVfo() const;
  bool Split() const { return split_; }
  bool Ptt() const;
  bool MemoryMode() const { return memory_mode_; }
  int Channel() const { return channel_; }
  // The channel as recalled and possibly retuned (memory mode only).
  const MemoryChannel& WorkingChannel() const { return working_; }
  std::optional<MemoryChannel> Memory(int channel) const;
  // Value of a plain setting, by its command letters and selectors: "AG0", "PC", "EX020113".
  std::optional<int> Setting(std::string_view key) const;
  bool AutoInformation() const;
  bool PowerOn() const { return power_; }
  int SMeter() const { return smeter_; }
  int RitOffsetHz() const { return rit_offset_hz_; }
  std::array<int, 4> Dimmer() const { return dimmer_; }
  std::string KeyerMessage(int number) const;  // 1 to 5
  // Every CW text sent, in order: played keyer messages and "KY" texts.
  const std::vector<std::string>& KeyerSent() const { return keyer_sent_; }

 private:
  struct Tuning {
    std::int64_t freq_hz;
    char mode;
  };

  std::optional<std::string> Answer(std::string_view query) const;
  bool Apply(std::string_view command);
  bool ApplyMemoryWrite(std::string_view fields);
  bool ApplyBand(int band);
  bool ApplyDimmer(std::string_view fields);
  std::string StatusLayout(std::string_view code, bool receive_side) const;
  std::vector<std::string> Snapshot() const;
  std::string ReportsSince(const std::vector<std::string>& before) const;
  bool InRange(std::int64_t hz) const;
  bool ValidModeChar(char c) const;
  std::int64_t& ReceiveFreq();
  int MeterReading(int index) const;

  Model model_;
  std::array<Tuning, 2> vfo_;
  int rx_ = 0;
  bool split_ = false;
  bool memory_mode_ = false;
  int channel_ = 1;
  MemoryChannel working_;
  std::array<std::optional<MemoryChannel>, 100> memories_;  // index 1-99
  std::array<Tuning, 12> band_stack_;
  std::map<std::string, int, std::less<>> settings_;
  std::vector<std::string> report_queries_;
  int rit_offset_hz_ = 0;
  int smeter_ = 0;
  std::array<int, 9> meter_override_;
  std::array<int, 4> dimmer_;
  std::array<std::string, 6> keyer_messages_;  // index 1-5
  std::vector<std::string> keyer_sent_;
  bool power_ = true;
  std::string pending_;
  bool overlong_ = false;
};

}  // namespace veltro::sim
