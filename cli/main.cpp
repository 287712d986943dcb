// veltro-ftdx10: drives one radio through the library from the command line.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "cli.h"
#include "veltro/events.h"

namespace veltro::cli {

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

// ---- Help ---------------------------------------------------------------------------------------

const char kMainHelp[] =
    "usage: veltro-ftdx10 [OPTIONS] COMMAND [ARGS...]\n"
    "\n"
    "Drives an FTDX10 (or FT-891) through the library. Without --port it starts the built-in\n"
    "radio simulator on a pty and opens that.\n"
    "\n"
    "commands:\n"
    "  status              switch CAT on, read the whole state, print it grouped\n"
    "  watch               print each Change event with what changed, until interrupted\n"
    "  get NAME [INDEX...] read one property\n"
    "  let NAME VALUE      store one settable property\n"
    "  call NAME [ARG...]  run one operation; prints its result and what it sent\n"
    "  raw TEXT            send a raw CAT text and show the answer\n"
    "  script FILE|-       run get/let/call/raw/wait lines in one session, printing events\n"
    "  members             list every member with its kind and parameter types\n"
    "  ports               list the serial ports found\n"
    "  serve               share the radio with network programs (rig-control protocol, TCP 4532)\n"
    "  help [COMMAND]      this text, or a command's\n";

const char kExitHelp[] =
    "\nexit status: 0 done; 1 the port, the radio or a member failed (a silent or refusing\n"
    "radio, an operation that returned false); 2 wrong command line.\n";

// Every option once, in the order the help lists them.
const std::vector<std::pair<std::string_view, const char*>>& OptionHelp() {
  static const std::vector<std::pair<std::string_view, const char*>> lines = {
      {"--port",
       "  --port PATH|N       the radio's serial port (/dev/ttyUSB0, or N for /dev/ttyS<N-1>)\n"},
      {"--speed", "  --speed BAUD        line speed, the radio's CAT rate (default 38400)\n"},
      {"--direct",
       "  --direct            let the library open --port itself (no trace, fixed waits)\n"},
      {"--model", "  --model ftdx10|ft891  the built-in simulator's model (default ftdx10)\n"},
      {"--no-poll",
       "  --no-poll           let the radio report changes itself (AutoPolling false)\n"},
      {"--refresh",
       "  --refresh none|status|full  how much state to read first (each command has a default)\n"},
      {"--for", "  --for SECONDS       watch: stop after SECONDS\n"},
      {"--json", "  --json              machine-readable output (errors too)\n"},
      {"--trace",
       "  --trace             print every byte to (>) and from (<) the radio, time-stamped\n"},
      {"--version", "  --version           the tool's and the library's versions\n"},
      {"--help", "  --help, -h          help (after a command: that command's help)\n"},
  };
  return lines;
}

// The options a command takes; "radio" stands for those of every command that opens one.
std::string OptionsOf(std::initializer_list<std::string_view> names) {
  std::string out = "\noptions:\n";
  for (std::string_view n : names) {
    for (const auto& [option, line] : OptionHelp()) {
      bool radio =
          n == "radio" && (option == "--port" || option == "--speed" || option == "--direct" ||
                           option == "--model" || option == "--no-poll" || option == "--refresh" ||
                           option == "--json" || option == "--trace");
      if (radio || option == n) out += line;
    }
  }
  return out;
}

std::string MainHelp() {
  std::string out = kMainHelp;
  out += "\noptions:\n";
  for (const auto& entry : OptionHelp()) out += entry.second;
  return out + kExitHelp;
}

const std::map<std::string, std::string, std::less<>>& CommandHelp() {
  static const std::map<std::string, std::string, std::less<>> help = [] {
    std::map<std::string, std::string, std::less<>> texts = {
        {"status",
         "usage: veltro-ftdx10 [OPTIONS] status\n\n"
         "Switches CAT on, waits for the first full status cycle, reads the levels once (as a "
         "host\n"
         "does with PollLevels) and prints every property, grouped: tuning, mode, receiver,\n"
         "transmit, keyer, meters, tones, memory, link. Ends by itself (about 12 s).\n"
         "--refresh status skips the levels (about 2 s).\n"},
        {"watch",
         "usage: veltro-ftdx10 [OPTIONS] watch [--for SECONDS]\n\n"
         "Switches CAT on and prints each Change event: its State (1 split or mode, 3 S-meter,\n"
         "4 level or function) and every property that changed since the last event. Runs until\n"
         "SIGINT or SIGTERM, or for SECONDS. With --json, one JSON object per line.\n"},
        {"get",
         "usage: veltro-ftdx10 [OPTIONS] get NAME [INDEX...]\n\n"
         "Reads property NAME (indices for Property, AFLevel, LowCutFilter...). The status cycle "
         "is\n"
         "read first; for a level, meter or transmit property the level sequence as well.\n"
         "Example: get Freq; get AFLevel 0; get Property 3\n"},
        {"let",
         "usage: veltro-ftdx10 [OPTIONS] let NAME VALUE\n\n"
         "Stores VALUE in settable property NAME (see members) and reads it back.\n"
         "Example: let ChannelMax 50\n"},
        {"call",
         "usage: veltro-ftdx10 [OPTIONS] call NAME [ARG...]\n\n"
         "Reads the status cycle, then runs operation NAME with one ARG per parameter (numbers as\n"
         "decimals, Booleans as -1/0 or true/false, texts as one argument). Prints the result, "
         "the\n"
         "arguments the operation rewrote, the texts it sent and the properties that changed.\n"
         "Exits 1 when the operation returns false (nothing was sent).\n"
         "Example: call SetFreq 14.25; call SetMode 2 0; call SetKeyerMessage 1 1 \"CQ TEST\"\n"},
        {"raw",
         "usage: veltro-ftdx10 [OPTIONS] raw TEXT\n\n"
         "Sends TEXT as it is (SetCommand; \";\" is added when missing), waits for the answer and\n"
         "prints both. CAT stays off, so nothing else is on the line. Example: raw FA\n"},
        {"script",
         "usage: veltro-ftdx10 [OPTIONS] script FILE|-\n\n"
         "Runs one session with the lines of FILE (or standard input): get, let, call and raw as\n"
         "on the command line, \"wait SECONDS\" to let the library run, \"status\" to print the\n"
         "state; # starts a comment. Change events are printed as they come.\n"},
        {"members",
         "usage: veltro-ftdx10 [--json] members\n\n"
         "Lists every member of the protocol object: properties (with their indices and whether\n"
         "they can be stored) and methods with their parameter types; \"ref\" marks a parameter\n"
         "the call may rewrite. Needs no radio.\n"},
        {"ports",
         "usage: veltro-ftdx10 [--json] ports\n\n"
         "Lists /dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM* and /dev/serial/by-id/*, with the USB "
         "maker\n"
         "and product where the system knows them. Needs no radio.\n"},
        {"help", "usage: veltro-ftdx10 help [COMMAND]\n"},
        {"serve", kServeHelp},
    };
    const std::string radio = OptionsOf({"radio"}) + kExitHelp;
    for (auto& [command, text] : texts) {
      if (command == "watch") {
        text += OptionsOf({"radio", "--for"}) + kExitHelp;
      } else if (command == "members" || command == "ports") {
        text += OptionsOf({"--json"});
      } else if (command != "help") {
        text += radio;
      }
    }
    return texts;
  }();
  return help;
}

// ---- Command line -------------------------------------------------------------------------------

struct CommandLine {
  Options options;
  bool help = false;
  bool version = false;
  std::vector<std::string> words;  // the command and its arguments
};

CommandLine Parse(int argc, char** argv) {
  CommandLine cl;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (options_done || a.size() < 2 || a[0] != '-' || (a[1] != '-' && a != "-h")) {
      cl.words.push_back(a);
      continue;
    }
    if (a == "--") {
      options_done = true;
      continue;
    }
    std::string value;
    bool has_value = false;
    if (std::size_t eq = a.find('='); eq != std::string::npos) {
      value = a.substr(eq + 1);
      a = a.substr(0, eq);
      has_value = true;
    }
    auto need = [&]() -> std::string {
      if (has_value) return value;
      if (i + 1 >= argc) throw CliError(kExitUsage, a + " needs a value");
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (a == "--port") {
      cl.options.port = need();
      if (cl.options.port.empty()) throw CliError(kExitUsage, "--port needs a path or a number");
    } else if (a == "--speed") {
      cl.options.speed = need();
    } else if (a == "--model") {
      std::string m = need();
      if (m == "ftdx10") {
        cl.options.model = sim::Model::kFtdx10;
      } else if (m == "ft891") {
        cl.options.model = sim::Model::kFt891;
      } else {
        throw CliError(kExitUsage, "--model is ftdx10 or ft891, not " + m);
      }
    } else if (a == "--sim") {
      cl.options.port.clear();
    } else if (a == "--no-poll") {
      cl.options.poll = false;
    } else if (a == "--json") {
      cl.options.json = true;
    } else if (a == "--trace") {
      cl.options.trace = true;
    } else if (a == "--direct") {
      cl.options.direct = true;
    } else if (a == "--refresh") {
      std::string r = need();
      if (r == "none") {
        cl.options.refresh = Refresh::kNone;
      } else if (r == "status") {
        cl.options.refresh = Refresh::kStatus;
      } else if (r == "full") {
        cl.options.refresh = Refresh::kFull;
      } else {
        throw CliError(kExitUsage, "--refresh is none, status or full, not " + r);
      }
    } else if (a == "--for") {
      std::string v = need();
      char* end = nullptr;
      double s = std::strtod(v.c_str(), &end);
      if (v.empty() || *end != '\0' || !(s >= 0)) {
        throw CliError(kExitUsage, "--for needs a number of seconds, not " + v);
      }
      cl.options.for_seconds = s;
    } else if (!cl.words.empty() && cl.words[0] == "serve") {
      cl.words.push_back(argv[i]);  // serve's own options
    } else {
      throw CliError(kExitUsage, "unknown option " + a + " (see veltro-ftdx10 --help)");
    }
  }
  return cl;
}

// ---- Members and arguments ----------------------------------------------------------------------

std::string Signature(const Member& m) {
  std::string s = m.Name();
  if (!m.Params().empty() || m.Kind() == MemberKind::kMethod) {
    s += "(";
    for (std::size_t i = 0; i < m.Params().size(); ++i) {
      const MemberParam& p = m.Params()[i];
      if (i) s += ", ";
      if (p.rewritten) s += "ref ";
      s += p.name + " As " + TypeName(p.type);
    }
    s += ")";
  }
  if (m.Type() != ValueType::kVoid) s += std::string(" As ") + TypeName(m.Type());
  return s;
}

const Member& Lookup(std::string_view name, MemberKind kind) {
  const Member* m = FindMember(name);
  if (!m) {
    std::string hint;
    for (const Member& c : Members()) {
      if (strcasecmp(c.Name().c_str(), std::string(name).c_str()) == 0) hint = c.Name();
    }
    throw CliError(kExitUsage, "unknown member \"" + std::string(name) + "\"" +
                                   (hint.empty() ? "" : " (did you mean " + hint + "?)") +
                                   "; veltro-ftdx10 members lists them");
  }
  if (m->Kind() != kind) {
    throw CliError(kExitUsage,
                   m->Name() + (kind == MemberKind::kMethod ? " is a property: use get"
                                                            : " is a method: use call"));
  }
  return *m;
}

// One command-line word as the parameter's type wants it; a word that does not convert is a
// command-line error, reported before anything reaches the radio.
Variant Argument(const std::string& word, const MemberParam& p, std::size_t position) {
  auto fail = [&](const std::string& why) {
    return CliError(kExitUsage, "argument " + std::to_string(position) + " (" + p.name + " As " +
                                    TypeName(p.type) + "): \"" + word + "\" " + why);
  };
  try {
    switch (p.type) {
      case ValueType::kString:
        return Variant(word);
      case ValueType::kBoolean:
      case ValueType::kInteger:
      case ValueType::kLong:
        if (word == "true" || word == "True") return Variant(std::int16_t{-1});
        if (word == "false" || word == "False") return Variant(std::int16_t{0});
        if (p.type == ValueType::kLong) return Variant(Variant(word).ToInt32());
        return Variant(Variant(word).ToInt16());
      case ValueType::kSingle:
      case ValueType::kDouble:
        return Variant(Variant(word).ToDouble());
      case ValueType::kVariant:
      case ValueType::kVoid:
        try {
          return Variant(Variant(word).ToInt16());
        } catch (const AutomationError&) {
          return Variant(word);
        }
    }
  } catch (const AutomationError& e) {
    throw fail(e.Number() == 6 ? "is out of range" : "is not a number of that type");
  }
  return Variant(word);
}

std::vector<Variant> Arguments(const Member& m, const std::vector<std::string>& words) {
  if (words.size() != m.Params().size()) {
    std::size_t n = m.Params().size();
    throw CliError(kExitUsage, m.Name() + " takes " + std::to_string(n) + " argument" +
                                   (n == 1 ? "" : "s") + ", not " + std::to_string(words.size()) +
                                   ": " + Signature(m));
  }
  std::vector<Variant> args;
  for (std::size_t i = 0; i < words.size(); ++i) {
    args.push_back(Argument(words[i], m.Params()[i], i + 1));
  }
  return args;
}

// ---- Output helpers -----------------------------------------------------------------------------

void Out(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string s = "[";
  for (std::size_t i = 0; i < items.size(); ++i) s += (i ? "," : "") + JsonString(items[i]);
  return s + "]";
}

std::string Joined(const std::vector<std::string>& items) {
  std::string s;
  for (const std::string& i : items) s += i;
  return s.empty() ? "(nothing)" : s;
}

// The trace entries kept for a JSON document, as its "trace" member (empty without --trace).
std::string JsonTrace(Session& s, const Options& o) {
  if (!o.trace) return "";
  std::string t = ",\"trace\":[";
  bool first = true;
  for (const TraceEntry& e : s.TakePrinted()) {
    t += (first ? "" : ",") + TraceJson(e);
    first = false;
  }
  return t + "]";
}

// The state every reading shows, for finding what changed.
class Snapshot {
 public:
  explicit Snapshot(FTDX10_Protocol& radio) {
    for (const Reading& r : Readings()) values_.push_back(Read(radio, r));
  }
  struct Change {
    const Reading* reading;
    Variant from;
    Variant to;
  };
  // Readings that differ in `now`; this snapshot takes the new values.
  std::vector<Change> Update(const Snapshot& now) {
    std::vector<Change> out;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (!(values_[i] == now.values_[i])) {
        out.push_back({&Readings()[i], values_[i], now.values_[i]});
        values_[i] = now.values_[i];
      }
    }
    return out;
  }

 private:
  std::vector<Variant> values_;
};

std::string ChangesHuman(const std::vector<Snapshot::Change>& changes) {
  std::string s;
  for (const auto& c : changes) {
    ValueType t = c.reading->member->Type();
    s += (s.empty() ? "" : ", ") + c.reading->label + " " + HumanValue(c.from, t) + " -> " +
         HumanValue(c.to, t);
  }
  return s.empty() ? "(no property changed)" : s;
}

std::string ChangesJson(const std::vector<Snapshot::Change>& changes) {
  std::string s = "{";
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const auto& c = changes[i];
    ValueType t = c.reading->member->Type();
    s += (i ? "," : "") + JsonString(c.reading->label) + ":{\"from\":" + JsonValue(c.from, t) +
         ",\"to\":" + JsonValue(c.to, t) + "}";
  }
  return s + "}";
}

// Prints each Change event while it lives.
class EventPrinter {
 public:
  EventPrinter(Session& session, const Options& options)
      : session_(session), options_(options), last_(session.radio()) {
    id_ = session.radio().AddChangeHandler([this](std::int16_t& state) { OnChange(state); });
  }
  ~EventPrinter() { session_.radio().RemoveChangeHandler(id_); }
  EventPrinter(const EventPrinter&) = delete;
  EventPrinter& operator=(const EventPrinter&) = delete;
  int Count() const { return count_; }
  // Events that changed no property (with split on, one per answer) are counted rather than
  // printed one by one; this prints the count so far.
  void Flush() {
    if (quiet_ == 0) return;
    Out("           (" + std::to_string(quiet_) + " Change event" + (quiet_ == 1 ? "" : "s") +
        " changed no property)\n");
    quiet_ = 0;
  }
  // Takes the present state as the base for the next event's changes.
  void Rebase() { last_.Update(Snapshot(session_.radio())); }

 private:
  void OnChange(std::int16_t state) {
    ++count_;
    session_.Collect();  // the answer that raised the event is traced first
    auto changes = last_.Update(Snapshot(session_.radio()));
    const std::string t = TimeText(Now());
    if (options_.json) {
      std::string line = "{\"event\":\"Change\",\"time\":" + t +
                         ",\"state\":" + std::to_string(state) +
                         ",\"changes\":" + ChangesJson(changes) + "}\n";
      for (const TraceEntry& e : session_.TakePrinted()) Out(TraceJson(e) + "\n");
      Out(line);
    } else if (changes.empty()) {
      ++quiet_;
    } else {
      Flush();
      Out(t + " Change(" + std::to_string(state) + ") " + ChangesHuman(changes) + "\n");
    }
  }

  Session& session_;
  const Options& options_;
  Snapshot last_;
  ChangeHandlerId id_ = 0;
  int count_ = 0;
  int quiet_ = 0;
};

// Writes the trace kept for JSON as lines of their own (commands that print lines, not one
// document).
void FlushJsonTrace(Session& s, const Options& o) {
  if (!o.json || !o.trace) return;
  for (const TraceEntry& e : s.TakePrinted()) Out(TraceJson(e) + "\n");
}

// ---- Sub-commands -------------------------------------------------------------------------------

int Members(const Options& o) {
  if (o.json) {
    std::string s = "{\"connector\":" + JsonList(ConnectorMembers()) + ",\"members\":[";
    bool first = true;
    for (const Member& m : veltro::Members()) {
      s += first ? "" : ",";
      first = false;
      s += "{\"name\":" + JsonString(m.Name()) + ",\"kind\":\"" +
           (m.Kind() == MemberKind::kProperty ? "property" : "method") +
           "\",\"type\":" + JsonString(TypeName(m.Type())) +
           ",\"settable\":" + (m.Settable() ? "true" : "false") + ",\"params\":[";
      for (std::size_t i = 0; i < m.Params().size(); ++i) {
        const MemberParam& p = m.Params()[i];
        s += (i ? "," : "") + std::string("{\"name\":") + JsonString(p.name) +
             ",\"type\":" + JsonString(TypeName(p.type)) +
             ",\"rewritten\":" + (p.rewritten ? "true" : "false") + "}";
      }
      s += "]}";
    }
    Out(s + "]}\n");
    return kExitOk;
  }
  for (const std::string& c : ConnectorMembers()) {
    Out("connector  " + c + " As FTDX10_Protocol\n");
  }
  for (const Member& m : veltro::Members()) {
    std::string kind = m.Kind() == MemberKind::kProperty ? "property " : "method   ";
    Out(kind + "  " + Signature(m) + (m.Settable() ? "  (get/let)" : "") + "\n");
  }
  return kExitOk;
}

int Ports(const Options& o) {
  auto ports = ScanPorts();
  if (o.json) {
    std::string s = "[";
    for (std::size_t i = 0; i < ports.size(); ++i) {
      s += (i ? "," : "") + std::string("{\"path\":") + JsonString(ports[i].path) +
           ",\"target\":" + (ports[i].target.empty() ? "null" : JsonString(ports[i].target)) +
           ",\"description\":" +
           (ports[i].description.empty() ? "null" : JsonString(ports[i].description)) + "}";
    }
    Out(s + "]\n");
    return kExitOk;
  }
  if (ports.empty()) Out("no serial ports found\n");
  for (const PortInfo& p : ports) {
    std::string line = p.path;
    if (!p.target.empty()) line += " -> " + p.target;
    if (!p.description.empty()) line += "  " + p.description;
    Out(line + "\n");
  }
  return kExitOk;
}

Refresh Chosen(const Options& o, Refresh fallback) {
  return o.refresh == Refresh::kAuto ? fallback : o.refresh;
}

std::string Seconds(double s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", s);
  return buf;
}

void PrintStatus(Session& session, const Options& o, const Session::Timing& timing) {
  FTDX10_Protocol& radio = session.radio();
  std::map<std::string, std::vector<std::pair<const Reading*, Variant>>> by_group;
  for (const Reading& r : Readings()) {
    by_group[GroupOf(r.member->Name())].push_back({&r, Read(radio, r)});
  }
  if (o.json) {
    std::string s = "{\"transceiver\":" + JsonString(radio.Transceiver()) +
                    ",\"port\":" + JsonString(session.Description()) + ",\"timing\":{";
    s += "\"status_cycle_s\":" + (timing.status_cycle < 0 ? "null" : Seconds(timing.status_cycle));
    s += ",\"levels_s\":" + (timing.levels < 0 ? "null" : Seconds(timing.levels)) + "}";
    s += ",\"groups\":{";
    bool first_group = true;
    for (const char* g : Groups()) {
      s += (first_group ? "" : ",") + JsonString(g) + ":{";
      first_group = false;
      bool first = true;
      for (const auto& [r, v] : by_group[g]) {
        s += (first ? "" : ",") + JsonString(r->label) + ":" + JsonValue(v, r->member->Type());
        first = false;
      }
      s += "}";
    }
    Out(s + "}" + JsonTrace(session, o) + "}\n");
    return;
  }
  std::string head = radio.Transceiver() + " on " + session.Description();
  if (timing.status_cycle >= 0) head += "; status cycle " + Seconds(timing.status_cycle) + " s";
  if (timing.levels >= 0) head += ", levels " + Seconds(timing.levels) + " s";
  Out(head + "\n");
  for (const char* g : Groups()) {
    Out(std::string("\n") + g + "\n");
    for (const auto& [r, v] : by_group[g]) {
      char line[160];
      std::snprintf(line, sizeof line, "  %-14s %s\n", r->label.c_str(),
                    HumanValue(v, r->member->Type()).c_str());
      Out(line);
    }
  }
}

// The status-cycle answer after which property `name` is known: most need the last one ("VS",
// which says which VFO is in use); a VFO's own frequency needs only its query.
std::string_view LastAnswerFor(std::string_view name) {
  if (name == "VFOA_Freq") return "FA";
  if (name == "VFOB_Freq") return "FB";
  return "VS";
}

// A property that only the level sequence reads.
bool NeedsLevels(const Member& m) {
  std::string_view g = GroupOf(m.Name());
  return g == "receiver" || g == "transmit" || g == "keyer" || g == "meters";
}

int Get(Session& session, const Options& o, const std::vector<std::string>& words) {
  if (words.empty()) throw CliError(kExitUsage, "get needs a property name");
  const Member& m = Lookup(words[0], MemberKind::kProperty);
  std::vector<std::string> rest(words.begin() + 1, words.end());
  std::vector<Variant> args = Arguments(m, rest);
  Variant v;
  try {
    v = m.Get(session.radio(), args);
  } catch (const AutomationError& e) {
    throw CliError(kExitFailure,
                   m.Name() + ": error " + std::to_string(e.Number()) + ", " + e.Description());
  }
  std::string label = m.Name();
  if (!rest.empty()) {
    label += "(";
    for (std::size_t i = 0; i < rest.size(); ++i) label += (i ? "," : "") + rest[i];
    label += ")";
  }
  if (o.json) {
    std::string idx = "[";
    for (std::size_t i = 0; i < args.size(); ++i) {
      idx += (i ? "," : "") + JsonValue(args[i], m.Params()[i].type);
    }
    Out("{\"name\":" + JsonString(m.Name()) + ",\"indices\":" + idx +
        "],\"type\":" + JsonString(TypeName(m.Type())) + ",\"value\":" + JsonValue(v, m.Type()) +
        JsonTrace(session, o) + "}\n");
  } else {
    Out(label + " = " + HumanValue(v, m.Type()) + "\n");
  }
  return kExitOk;
}

int Let(Session& session, const Options& o, const std::vector<std::string>& words) {
  if (words.size() != 2) throw CliError(kExitUsage, "let needs a property name and one value");
  const Member& m = Lookup(words[0], MemberKind::kProperty);
  if (!m.Settable()) throw CliError(kExitUsage, m.Name() + " is read-only");
  Variant value = Argument(words[1], {"value", m.Type(), false}, 1);
  try {
    m.Let(session.radio(), value);
  } catch (const AutomationError& e) {
    throw CliError(kExitFailure,
                   m.Name() + ": error " + std::to_string(e.Number()) + ", " + e.Description());
  }
  return Get(session, o, {m.Name()});
}

// A Set operation's result says whether it was done: Boolean false, or 0 from the two that
// return a 16-bit flag.
bool Refused(const Member& m, const Variant& result) {
  if (m.Type() != ValueType::kBoolean &&
      !(m.Type() == ValueType::kInteger && m.Name().starts_with("Set"))) {
    return false;
  }
  try {
    return result.ToInt32() == 0;
  } catch (const AutomationError&) {
    return false;
  }
}

// Runs one operation; prints the result, rewritten arguments, what it sent and what changed.
int Call(Session& session, const Options& o, const std::vector<std::string>& words,
         EventPrinter* events) {
  if (words.empty()) throw CliError(kExitUsage, "call needs an operation name");
  const Member& m = Lookup(words[0], MemberKind::kMethod);
  std::vector<Variant> args = Arguments(m, {words.begin() + 1, words.end()});
  std::vector<Variant> before = args;
  // Bytes already on their way reach the record first, so the mark below separates what the
  // call writes. No event runs during the call, so nothing else writes meanwhile.
  if (session.RanSinceSettle()) session.Settle();
  std::size_t mark = session.Mark();
  Snapshot state(session.radio());
  Variant result;
  std::string error;
  int error_number = 0;
  try {
    result = m.Call(session.radio(), args);
  } catch (const AutomationError& e) {
    error = e.Description();
    error_number = e.Number();
  }
  session.Settle();
  std::vector<std::string> sent = session.SentSince(mark);
  const bool refused = !error_number && Refused(m, result);
  if (!o.json) {
    if (error_number) {
      Out(m.Name() + " failed: error " + std::to_string(error_number) + ", " + error + "\n");
    } else if (m.Type() == ValueType::kVoid) {
      Out(m.Name() + " done\n");
    } else {
      Out(m.Name() + " = " + HumanValue(result, m.Type()) + "\n");
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
      const MemberParam& p = m.Params()[i];
      if (p.rewritten && !(args[i] == before[i])) {
        Out("  " + p.name + " rewritten: " + HumanValue(before[i], p.type) + " -> " +
            HumanValue(args[i], p.type) + "\n");
      }
    }
    Out("  sent: " + Joined(sent) + "\n");
  }
  // The operation has stored what it sent; the radio's own report follows on the next poll
  // (in a script, when the library's events next run).
  if (events) events->Rebase();
  auto changes = state.Update(Snapshot(session.radio()));

  if (o.json) {
    std::string s = "{\"name\":" + JsonString(m.Name());
    if (error_number) {
      s += ",\"error\":{\"number\":" + std::to_string(error_number) +
           ",\"description\":" + JsonString(error) + "}";
    } else {
      s += ",\"result\":" + JsonValue(result, m.Type());
    }
    s += ",\"arguments\":[";
    for (std::size_t i = 0; i < args.size(); ++i) {
      const MemberParam& p = m.Params()[i];
      s += (i ? "," : "") + std::string("{\"name\":") + JsonString(p.name) +
           ",\"value\":" + JsonValue(args[i], p.type) +
           ",\"rewritten\":" + (p.rewritten && !(args[i] == before[i]) ? "true" : "false") + "}";
    }
    s += "],\"sent\":" + JsonList(sent) + ",\"changes\":" + ChangesJson(changes);
    Out(s + JsonTrace(session, o) + "}\n");
  } else {
    Out("  changed: " + ChangesHuman(changes) + "\n");
  }
  if (refused) {
    std::fprintf(stderr,
                 "veltro-ftdx10: %s returned false: the library refused it (an argument out of "
                 "range, or not possible in the radio's present state) and sent nothing\n",
                 m.Name().c_str());
  }
  return error_number || refused ? kExitFailure : kExitOk;
}

int Raw(Session& session, const Options& o, const std::vector<std::string>& words) {
  if (words.size() != 1) throw CliError(kExitUsage, "raw needs one TEXT (quote it)");
  session.Settle();
  std::size_t mark = session.Mark();
  std::int16_t format = 0;
  session.radio().SetCommand(format, words[0]);  // waits 0.25 s for the answer itself
  session.Run(200);
  std::vector<std::string> sent = session.SentSince(mark);
  std::vector<std::string> received = session.ReceivedSince(mark);
  if (o.json) {
    Out("{\"sent\":" + JsonList(sent) + ",\"received\":" + JsonList(received) +
        JsonTrace(session, o) + "}\n");
  } else {
    Out("sent:     " + Joined(sent) + "\nreceived: " + Joined(received) + "\n");
  }
  return kExitOk;
}

// A line (or JSON object) for the radio going away or coming back.
void LinkEvent(const Session& session, const Options& o, bool answering) {
  const std::string t = TimeText(Now());
  std::string text = answering ? "the radio is back" : "the radio went away";
  if (!answering) text += " (" + session.SilentMessage() + ")";
  if (o.json) {
    Out(std::string("{\"event\":\"") + (answering ? "Back" : "Lost") + "\",\"time\":" + t +
        ",\"message\":" + JsonString(text) + "}\n");
  } else {
    Out(t + " " + text + "\n");
  }
}

// Ends with status 1 when the radio is away at the end.
int Watch(Session& session, const Options& o) {
  EventPrinter events(session, o);
  if (!o.json) Out(session.radio().Transceiver() + " on " + session.Description() + "\n");
  session.ReadState(Refresh::kStatus);
  bool answering = true;
  double end = o.for_seconds >= 0 ? Now() + o.for_seconds : -1;
  for (int i = 1; !g_stop && (end < 0 || Now() < end); ++i) {
    session.Run(100);
    FlushJsonTrace(session, o);
    if (i % 10 == 0) events.Flush();
    if (session.Answering() != answering) {
      answering = !answering;
      events.Flush();
      LinkEvent(session, o, answering);
    }
  }
  events.Flush();
  if (!o.json) Out(std::to_string(events.Count()) + " events\n");
  if (!answering) {
    std::fprintf(stderr, "veltro-ftdx10: the radio went away\n");
    return kExitFailure;
  }
  return kExitOk;
}

// Splits a script line into words; "double quotes" keep blanks inside one word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  bool quoted = false, have = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      have = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
      if (have) out.push_back(cur);
      cur.clear();
      have = false;
    } else if (!quoted && c == '#') {
      break;
    } else {
      cur += c;
      have = true;
    }
  }
  if (quoted) throw CliError(kExitUsage, "unclosed quote");
  if (have) out.push_back(cur);
  return out;
}

int Script(Session& session, const Options& o, const std::vector<std::string>& words) {
  if (words.size() != 1) throw CliError(kExitUsage, "script needs one FILE, or - for stdin");
  std::ifstream file;
  std::istream* in = &std::cin;
  if (words[0] != "-") {
    file.open(words[0]);
    if (!file) throw CliError(kExitUsage, "cannot read " + words[0]);
    in = &file;
  }
  EventPrinter events(session, o);
  if (!o.json) Out(session.radio().Transceiver() + " on " + session.Description() + "\n");
  session.ReadState(Chosen(o, Refresh::kStatus));
  events.Flush();
  events.Rebase();
  std::string line;
  int number = 0, status = kExitOk;
  while (!g_stop && std::getline(*in, line)) {
    ++number;
    // A radio gone ends the script: every line after would fail the same way.
    if (!session.Answering()) {
      throw CliError(kExitFailure, "line " + std::to_string(number) + ": the radio went away (" +
                                       session.SilentMessage() + ")");
    }
    std::vector<std::string> w;
    try {
      w = Words(line);
      if (w.empty()) continue;
      events.Flush();
      if (!o.json) Out("> " + line + "\n");
      std::vector<std::string> rest(w.begin() + 1, w.end());
      if (w[0] == "get") {
        Get(session, o, rest);
      } else if (w[0] == "let") {
        Let(session, o, rest);
      } else if (w[0] == "call") {
        if (Call(session, o, rest, &events) != kExitOk) status = kExitFailure;
      } else if (w[0] == "raw") {
        Raw(session, o, rest);
      } else if (w[0] == "status") {
        PrintStatus(session, o, {});
      } else if (w[0] == "wait") {
        double s = rest.size() == 1 ? std::atof(rest[0].c_str()) : -1;
        if (!(s >= 0) || s > 3600) throw CliError(kExitUsage, "wait needs SECONDS");
        session.Run(static_cast<int>(s * 1000));
        events.Flush();
      } else {
        throw CliError(kExitUsage, "unknown script command \"" + w[0] + "\"");
      }
      FlushJsonTrace(session, o);
    } catch (const CliError& e) {
      std::fprintf(stderr, "veltro-ftdx10: line %d: %s\n", number, e.what());
      if (o.json)
        Out("{\"line\":" + std::to_string(number) + ",\"error\":" + JsonString(e.what()) + "}\n");
      status = e.Status();
    }
  }
  events.Flush();
  return status;
}

int Run(const CommandLine& cl) {
  const Options& o = cl.options;
  if (cl.version) {
    FTDX10_Connector connector;
    Out(std::string("veltro-ftdx10 ") + VELTRO_TOOL_VERSION +
        "\nlibrary: " + connector.FTDX10_Protocol()->About() + "\n");
    return kExitOk;
  }
  std::string command = cl.words.empty() ? "" : cl.words[0];
  std::vector<std::string> rest;
  if (!cl.words.empty()) rest.assign(cl.words.begin() + 1, cl.words.end());

  if (command == "help" || command.empty()) {
    if (command.empty() && !cl.help) {
      std::fputs(MainHelp().c_str(), stderr);
      return kExitUsage;
    }
    if (!rest.empty()) {
      auto it = CommandHelp().find(rest[0]);
      if (it == CommandHelp().end()) throw CliError(kExitUsage, "no command " + rest[0]);
      Out(it->second);
    } else {
      Out(MainHelp());
    }
    return kExitOk;
  }
  auto help = CommandHelp().find(command);
  if (help == CommandHelp().end()) {
    throw CliError(kExitUsage, "unknown command \"" + command + "\" (see veltro-ftdx10 --help)");
  }
  if (cl.help) {
    Out(help->second);
    return kExitOk;
  }
  if (command == "members") return Members(o);
  if (command == "ports") return Ports(o);
  if (command == "serve") return Serve(o, rest);

  // Check what needs no radio before opening one: names, argument counts and types, and the
  // fixed index ranges, which the cached state checks without the radio.
  if (command == "get" || command == "call") {
    if (rest.empty()) throw CliError(kExitUsage, command + " needs a member name");
    const Member& m =
        Lookup(rest[0], command == "get" ? MemberKind::kProperty : MemberKind::kMethod);
    std::vector<Variant> args = Arguments(m, {rest.begin() + 1, rest.end()});
    if (command == "get" && !args.empty()) {
      FTDX10_Connector connector;
      try {
        m.Get(*connector.FTDX10_Protocol(), args);
      } catch (const AutomationError& e) {
        throw CliError(kExitUsage, m.Name() + ": index out of range: " + Signature(m) + " (error " +
                                       std::to_string(e.Number()) + ", " + e.Description() + ")");
      }
    }
  }

  Session session(o);
  session.Open();
  int status = kExitOk;
  if (command == "status") {
    Session::Timing timing = session.ReadState(Chosen(o, Refresh::kFull));
    PrintStatus(session, o, timing);
  } else if (command == "watch") {
    status = Watch(session, o);
  } else if (command == "get") {
    const Member& m = *FindMember(rest[0]);
    Refresh r = NeedsLevels(m) ? Refresh::kFull : Refresh::kStatus;
    session.ReadState(Chosen(o, r), LastAnswerFor(m.Name()));
    status = Get(session, o, rest);
  } else if (command == "let") {
    session.ReadState(Chosen(o, Refresh::kNone));
    status = Let(session, o, rest);
  } else if (command == "call") {
    session.ReadState(Chosen(o, Refresh::kStatus));
    status = Call(session, o, rest, nullptr);
  } else if (command == "raw") {
    session.ReadState(Chosen(o, Refresh::kNone));
    status = Raw(session, o, rest);
  } else if (command == "script") {
    status = Script(session, o, rest);
  }
  return status;
}

}  // namespace

}  // namespace veltro::cli

int main(int argc, char** argv) {
  using namespace veltro::cli;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  // Errors are JSON too once --json is anywhere on the line, even before it is parsed.
  bool json = false;
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) json = true;
  }
  try {
    return Run(Parse(argc, argv));
  } catch (const CliError& e) {
    std::fprintf(stderr, "veltro-ftdx10: %s\n", e.what());
    if (json) std::printf("{\"error\":%s}\n", JsonString(e.what()).c_str());
    return e.Status();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veltro-ftdx10: %s\n", e.what());
    if (json) std::printf("{\"error\":%s}\n", JsonString(e.what()).c_str());
    return kExitFailure;
  }
}
