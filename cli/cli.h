// veltro-ftdx10: the pieces the sub-commands share. A Session opens one radio through the
// library (the built-in simulator on a pty, or a real port behind a tracing relay), runs the
// library's events and keeps a time-stamped record of every byte on the line.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ftdx10sim/simulator.h"
#include "trace_window.h"
#include "veltro/ftdx10.h"
#include "veltro/members.h"

namespace veltro::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the radio, the port or a member failed
inline constexpr int kExitUsage = 2;    // the command line is wrong

// A failure the tool reports with a message and exits on.
class CliError : public std::runtime_error {
 public:
  CliError(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

// How much of the radio's state to read before a sub-command does its work.
enum class Refresh { kNone, kStatus, kFull, kAuto };

struct Options {
  std::string port;  // empty: the built-in simulator
  std::string speed = "38400";
  sim::Model model = sim::Model::kFtdx10;
  bool poll = true;         // AutoPolling
  bool json = false;        // machine-readable output
  bool trace = false;       // print every byte on the line
  bool direct = false;      // let the library open --port itself (no relay, no trace)
  double for_seconds = -1;  // watch: stop after this long (negative: until a signal)
  Refresh refresh = Refresh::kAuto;
};

// Filled from the simulator's or the relay's thread, emptied on the main thread.
class TraceLog {
 public:
  void Add(Direction direction, std::string_view bytes);
  std::vector<TraceEntry> Take();

 private:
  std::mutex mutex_;
  std::vector<TraceEntry> entries_;
};

// Seconds since the tool started, on the monotonic clock.
double Now();

class Relay;

// One radio opened through the library.
class Session {
 public:
  explicit Session(const Options& options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Starts the simulator or the relay, sets the port up and opens it. Throws CliError.
  void Open();
  FTDX10_Protocol& radio() { return *radio_; }
  // What the port is, for the heading of the output.
  std::string Description() const;
  bool Traced() const { return static_cast<bool>(log_); }

  // Runs the library's events for `ms` milliseconds, taking in the trace as it goes.
  void Run(int ms);
  // Takes waiting trace entries into the record (and prints them with --trace).
  void Collect();
  // Without running the library's events, waits until the line has been quiet for a few
  // milliseconds, so bytes already written are in the record: before and after a call, whose
  // texts are then exactly what the record gained in between.
  void Settle();
  // True when the library's events have run since the last Settle, so it may have written.
  bool RanSinceSettle() const { return ran_; }
  // A mark in the record, and the texts written to or received from the radio since one.
  std::size_t Mark() const { return window_.End(); }
  std::vector<std::string> SentSince(std::size_t mark) const;
  std::vector<std::string> ReceivedSince(std::size_t mark) const;

  // Switches CAT on and reads the state: kStatus waits for the status cycle up to the answer
  // `until` (the last answer that carries what the command needs; "VS" ends the cycle), kFull
  // also for one level sequence. Returns the seconds each took (negative when not waited for).
  // Throws CliError when the radio is silent or refuses every command.
  struct Timing {
    double status_cycle = -1;
    double levels = -1;
  };
  Timing ReadState(Refresh how, std::string_view until = "VS");

  // False while the radio does not answer: the library has heard nothing for its silence
  // limit, or the relay has lost the device.
  bool Answering() const;
  // Throws the CliError for a radio that does not answer or refuses everything.
  void CheckAnswering() const;
  std::string SilentMessage() const;

  // Prints waiting trace entries (with --trace) and forgets them, for commands that run for days.
  void Discard();

  // Trace lines are printed as they come (human output) or kept for the document (--json).
  std::vector<TraceEntry> TakePrinted();

 private:
  bool WaitForCommand(std::string_view command, double not_before, double timeout);
  bool WaitForQuiet(double quiet, double not_before, double timeout);
  void WaitForAnswer(std::string_view code, double timeout);
  void Take(TraceEntry& e);
  void PrintTrace(const TraceEntry& e);

  Options options_;
  std::unique_ptr<sim::Simulator> sim_;
  std::unique_ptr<Relay> relay_;
  std::shared_ptr<TraceLog> log_;
  std::unique_ptr<FTDX10_Connector> connector_;
  std::shared_ptr<FTDX10_Protocol> radio_;
  std::string device_;
  TraceWindow window_;
  std::vector<TraceEntry> json_trace_;
  double last_out_ = 0;
  double last_entry_ = 0;
  bool ran_ = true;
  // The radio's answers as they come: the unfinished one, how many came and how many were the
  // refusal "?;", and the number of the latest answer per two-letter code.
  std::string answer_;
  std::size_t answers_ = 0;
  std::size_t refusals_ = 0;
  std::map<std::string, std::size_t, std::less<>> last_answer_;
};

// ---- Values and output --------------------------------------------------------------------------

// A value as a person reads it: numbers in their shortest form, Booleans as true/false.
std::string HumanValue(const Variant& v, ValueType type);
// The same value as JSON.
std::string JsonValue(const Variant& v, ValueType type);
std::string JsonString(std::string_view s);
// A time in seconds with six decimals, as the event lines and JSON objects give it.
std::string TimeText(double seconds);
// A line of the trace: "  12.345678 > FA014250000;".
std::string TraceLine(const TraceEntry& e);
std::string TraceJson(const TraceEntry& e);

// The group a property is shown under by `status`: tuning, mode, receiver, transmit, keyer,
// meters, tones, memory, or link for the port and library properties.
const char* GroupOf(std::string_view property);
const std::vector<const char*>& Groups();

// One property reading: a property member with fixed indices ("AFLevel(0)").
struct Reading {
  std::string label;
  const Member* member;
  std::vector<Variant> indices;
};
// Every reading `status` shows and `watch` compares: each property without indices, and the
// per-receiver ones for the main receiver. The capability table and the cut-off tables are left
// out; `get` reads them.
const std::vector<Reading>& Readings();
Variant Read(FTDX10_Protocol& radio, const Reading& r);

// ---- serve ------------------------------------------------------------------------------------
extern const char kServeHelp[];
// Serves the radio on the network until SIGINT/SIGTERM; `words` are serve's own options.
int Serve(const Options& options, const std::vector<std::string>& words);

// ---- Serial ports ------------------------------------------------------------------------------
struct PortInfo {
  std::string path;
  std::string target;       // the device a /dev/serial/by-id link points to
  std::string description;  // "Maker Product (serial ...)" from sysfs, where known
};
std::vector<PortInfo> ScanPorts();

}  // namespace veltro::cli
