// The network rig-control protocol as text: a client's line cut into requests, and a reply laid
// out in the default or an extended form. Pure functions, no sockets and no radio.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltro::server {

// Error numbers a reply carries (as RPRT -N).
enum class Status : int {
  kOk = 0,
  kInvalid = 1,  // unknown command, bad or missing argument
  kNotImplemented = 4,
  kTimeout = 5,  // the radio does not answer
  kIoError = 6,
  kRejected = 9,       // refused: read-only server
  kNotAvailable = 11,  // this radio has no such thing
  kInvalidVfo = 16,
};

// One command of the protocol. `keys` name the values a get answers, in order, for the extended
// form; a set has none.
struct CommandInfo {
  char short_name;  // 0 for long-only commands
  std::string_view name;
  int arguments;  // words it takes; -1 the rest of the line as one text
  std::vector<std::string_view> keys;
  bool is_set;
};

// Every command the server knows.
const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(char short_name);
const CommandInfo* FindCommand(std::string_view long_name);

// A request cut from a line. `command` is null when the word named nothing known; `error` is set
// then, or when arguments were missing.
struct Request {
  const CommandInfo* command = nullptr;
  std::vector<std::string> args;
  char prefix = 0;  // 0 default, '+' one record per line, or the separator ';', '|', ','
  bool error = false;
  std::string word;  // what the client wrote, for logs
};

// Cuts one line (without its "\n"; a "\r" at the end is ignored) into requests, in order. An
// empty line gives none.
std::vector<Request> ParseLine(std::string_view line);

// What executing a request gave: a status, and for a get its values (matching the command's
// keys), or a block of lines answered as they are (\dump_state).
struct Reply {
  Status status = Status::kOk;
  std::vector<std::string> values;
  bool block = false;
  // Answered after the values even in the default form (\get_lock_mode, as clients expect).
  bool always_status = false;
};

// The bytes answering `request` with `reply`, ending in "\n".
std::string Format(const Request& request, const Reply& reply);

}  // namespace veltro::server
