#include "server/protocol.h"

namespace veltro::server {

const std::vector<CommandInfo>& Commands() {
  static const std::vector<CommandInfo> table = {
      {'f', "get_freq", 0, {"Frequency"}, false},
      {'F', "set_freq", 1, {}, true},
      {'m', "get_mode", 0, {"Mode", "Passband"}, false},
      {'M', "set_mode", 2, {}, true},
      {'v', "get_vfo", 0, {"VFO"}, false},
      {'V', "set_vfo", 1, {}, true},
      {'s', "get_split_vfo", 0, {"Split", "TX VFO"}, false},
      {'S', "set_split_vfo", 2, {}, true},
      {'i', "get_split_freq", 0, {"TX Frequency"}, false},
      {'I', "set_split_freq", 1, {}, true},
      {'x', "get_split_mode", 0, {"TX Mode", "TX Passband"}, false},
      {'X', "set_split_mode", 2, {}, true},
      {'t', "get_ptt", 0, {"PTT"}, false},
      {'T', "set_ptt", 1, {}, true},
      {'j', "get_rit", 0, {"RIT"}, false},
      {'J', "set_rit", 1, {}, true},
      {'l', "get_level", 1, {"Level Value"}, false},
      {'L', "set_level", 2, {}, true},
      {'u', "get_func", 1, {"Func Status"}, false},
      {'U', "set_func", 2, {}, true},
      {'c', "get_ctcss_tone", 0, {"CTCSS Tone"}, false},
      {'C', "set_ctcss_tone", 1, {}, true},
      {'d', "get_dcs_code", 0, {"DCS Code"}, false},
      {'D', "set_dcs_code", 1, {}, true},
      {'r', "get_rptr_shift", 0, {"Rptr Shift"}, false},
      {'R', "set_rptr_shift", 1, {}, true},
      {'o', "get_rptr_offs", 0, {"Rptr Offset"}, false},
      {'O', "set_rptr_offs", 1, {}, true},
      {'e', "get_mem", 0, {"Memory#"}, false},
      {'E', "set_mem", 1, {}, true},
      {'b', "send_morse", -1, {}, true},
      {'G', "vfo_op", 1, {}, true},
      {0, "get_powerstat", 0, {"Power Status"}, false},
      {0, "set_powerstat", 1, {}, true},
      {0, "get_lock_mode", 0, {"Locked"}, false},
      {0, "get_vfo_info", 1, {"Freq", "Mode", "Width", "Split", "SatMode"}, false},
      {0, "chk_vfo", 0, {"ChkVFO"}, false},
      {0, "dump_state", 0, {}, false},
      {0, "dump_caps", 0, {}, false},
      {'q', "quit", 0, {}, true},
  };
  return table;
}

const CommandInfo* FindCommand(char short_name) {
  for (const CommandInfo& c : Commands()) {
    if (c.short_name != 0 && c.short_name == short_name) return &c;
  }
  return nullptr;
}

const CommandInfo* FindCommand(std::string_view long_name) {
  for (const CommandInfo& c : Commands()) {
    if (c.name == long_name) return &c;
  }
  return nullptr;
}

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Walks a line word by word, keeping the position so a text argument can take the rest.
class Words {
 public:
  explicit Words(std::string_view line) : line_(line) {}
  bool Next(std::string_view& word) {
    while (at_ < line_.size() && Blank(line_[at_])) ++at_;
    if (at_ >= line_.size()) return false;
    std::size_t start = at_;
    while (at_ < line_.size() && !Blank(line_[at_])) ++at_;
    word = line_.substr(start, at_ - start);
    return true;
  }
  std::string_view Rest() {
    if (at_ < line_.size() && Blank(line_[at_])) ++at_;  // the one blank after the command
    std::string_view rest = line_.substr(at_);
    at_ = line_.size();
    return rest;
  }

 private:
  std::string_view line_;
  std::size_t at_ = 0;
};

// Fills the request's arguments: `first` (what followed the command letter in its word) and the
// next words; false when some are missing.
bool TakeArguments(Request& r, std::string_view first, Words& words) {
  int want = r.command->arguments;
  if (want < 0) {
    std::string text(first);
    std::string_view rest = words.Rest();
    if (!text.empty() && !rest.empty()) text += ' ';
    text += rest;
    r.args.push_back(text);
    return !text.empty();
  }
  if (!first.empty()) r.args.emplace_back(first);
  std::string_view w;
  while (static_cast<int>(r.args.size()) < want && words.Next(w)) r.args.emplace_back(w);
  return static_cast<int>(r.args.size()) == want;
}

// An unknown or incomplete command ends the line: what follows cannot be told apart safely.
std::vector<Request>& Fail(std::vector<Request>& out, Request r) {
  r.error = true;
  out.push_back(std::move(r));
  return out;
}

}  // namespace

std::vector<Request> ParseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<Request> out;
  char prefix = 0;
  if (!line.empty() && std::string_view("+;|,").find(line[0]) != std::string_view::npos) {
    prefix = line[0];
    line.remove_prefix(1);
  }
  Words words(line);
  std::string_view word;
  while (words.Next(word)) {
    if (word[0] == '\\') {
      Request r{FindCommand(word.substr(1)), {}, prefix, false, std::string(word)};
      if (!r.command || !TakeArguments(r, {}, words)) return Fail(out, std::move(r));
      out.push_back(std::move(r));
      continue;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
      Request r{FindCommand(word[i]), {}, prefix, false, std::string(1, word[i])};
      if (!r.command) return Fail(out, std::move(r));
      if (r.command->arguments != 0) {
        if (!TakeArguments(r, word.substr(i + 1), words)) return Fail(out, std::move(r));
        out.push_back(std::move(r));
        break;
      }
      out.push_back(std::move(r));
    }
  }
  return out;
}

std::string Format(const Request& request, const Reply& reply) {
  const int code = -static_cast<int>(reply.status);
  const std::string rprt = "RPRT " + std::to_string(code);
  if (request.prefix == 0 || !request.command) {
    if (reply.status != Status::kOk || !request.command) return rprt + "\n";
    if (request.command->is_set) return "RPRT 0\n";
    std::string out;
    for (const std::string& v : reply.values) out += v + "\n";
    if (reply.always_status) out += "RPRT 0\n";
    return out;
  }
  // Extended: a header with the long name and the arguments, a record per value, the status.
  std::vector<std::string> records;
  std::string header = std::string(request.command->name) + ":";
  for (const std::string& a : request.args) header += " " + a;
  records.push_back(header);
  if (reply.status == Status::kOk) {
    const auto& keys = request.command->keys;
    for (std::size_t i = 0; i < reply.values.size(); ++i) {
      if (reply.block || i >= keys.size()) {
        records.push_back(reply.values[i]);
      } else {
        records.push_back(std::string(keys[i]) + ": " + reply.values[i]);
      }
    }
  }
  records.push_back(rprt);
  const char sep = request.prefix == '+' ? '\n' : request.prefix;
  std::string out;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i) out += sep;
    out += records[i];
  }
  return out + "\n";
}

}  // namespace veltro::server
