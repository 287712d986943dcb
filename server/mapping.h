// The protocol's commands carried out on the library: a get reads the cache and never waits for
// the radio, a set calls the operation at once and answers by what the operation returned.
#pragma once

#include <string>
#include <vector>

#include "server/protocol.h"
#include "veltro/ftdx10.h"

namespace veltro::server {

struct Policy {
  bool read_only = false;  // every set answers "rejected"
};

// Runs one request (a parse error included) and says what to answer.
Reply Execute(FTDX10_Protocol& radio, const Request& request, const Policy& policy);

// The lines of \dump_state for the radio in use, ending with "done".
std::vector<std::string> DumpState(const FTDX10_Protocol& radio);
// A readable summary of the same tables, for \dump_caps.
std::vector<std::string> DumpCaps(const FTDX10_Protocol& radio);

}  // namespace veltro::server
