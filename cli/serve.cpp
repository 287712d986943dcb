// veltro-ftdx10 serve: the radio on the network, for every program that speaks the rig-control
// protocol. One thread: the sockets and the library's events share one poll().
#include <csignal>
#include <cstdio>
#include <ctime>

#include "cli.h"
#include "server/server.h"

namespace veltro::cli {

namespace {

volatile std::sig_atomic_t g_serve_stop = 0;
void OnServeSignal(int) { g_serve_stop = 1; }

void LogLine(const std::string& line) {
  std::time_t now = std::time(nullptr);
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%H:%M:%S", std::localtime(&now));
  std::fprintf(stderr, "%s %s\n", stamp, line.c_str());
}

struct ServeCommandLine {
  server::ServerOptions server;
  bool quiet = false;
};

ServeCommandLine ParseServe(const std::vector<std::string>& words) {
  // "--name=value" reads as "--name value".
  std::vector<std::string> args;
  for (const std::string& w : words) {
    std::size_t eq = w.find('=');
    args.push_back(w.substr(0, eq));
    if (eq != std::string::npos) args.push_back(w.substr(eq + 1));
  }
  ServeCommandLine cl;
  std::vector<std::string> listen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string a = args[i];
    auto need = [&]() -> std::string {
      if (i + 1 >= args.size()) throw CliError(kExitUsage, a + " needs a value");
      return args[++i];
    };
    if (a == "--listen") {
      listen.push_back(need());
    } else if (a == "--allow") {
      std::string block = need();
      auto b = server::ParseBlock(block);
      if (!b) throw CliError(kExitUsage, "--allow needs an address or ADDRESS/BITS, not " + block);
      cl.server.allow.push_back(*b);
    } else if (a == "--read-only") {
      cl.server.read_only = true;
    } else if (a == "--max-clients") {
      std::string v = need();
      char* end = nullptr;
      long n = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || n < 1 || n > 10000)
        throw CliError(kExitUsage, "--max-clients needs a number from 1 to 10000, not " + v);
      cl.server.max_clients = static_cast<int>(n);
    } else if (a == "--quiet") {
      cl.quiet = true;
    } else {
      throw CliError(kExitUsage, "serve: unknown argument " + a);
    }
  }
  if (!listen.empty()) cl.server.listen = listen;
  return cl;
}

}  // namespace

const char kServeHelp[] =
    "usage: veltro-ftdx10 [OPTIONS] serve [--listen ADDR:PORT]... [--allow CIDR]... [--read-only]\n"
    "                                     [--max-clients N] [--quiet]\n\n"
    "Opens the radio, switches CAT on and serves the network rig-control protocol (the one\n"
    "digital-mode, logging and contest programs use as their network radio) until SIGINT or\n"
    "SIGTERM; then switches CAT off, closes the port and exits 0. A --port that goes away (USB\n"
    "adapter unplugged, radio off) is opened again by its path once it is back.\n\n"
    "  --listen ADDR:PORT  where to listen, repeatable (default 127.0.0.1:4532; IPv6 [::1]:4532)\n"
    "  --allow CIDR        admit clients from these addresses too (loopback always); repeatable\n"
    "  --read-only         every set answers RPRT -9: clients can read but never transmit\n"
    "  --max-clients N     connections beyond N are refused with RPRT -6 (default 64)\n"
    "  --quiet             no log lines (connects, disconnects, radio lost and back)\n"
    "  --trace             also log each request and reply (and, with the built-in simulator,\n"
    "                      every byte on the serial line)\n";

int Serve(const Options& global, const std::vector<std::string>& words) {
  ServeCommandLine cl = ParseServe(words);
  Options o = global;
  // The library opens a real port itself, so that it can open it again after a hang-up.
  if (!o.port.empty()) o.direct = true;
  if (!cl.quiet) cl.server.log = LogLine;
  if (o.trace) cl.server.trace = LogLine;

  Session session(o);
  session.Open();
  FTDX10_Protocol& radio = session.radio();
  radio.AutoReconnect(kTrue);
  // The radio reports a turn of its knob at once; the library still polls the S-meter and the
  // rest, so every client follows the radio within milliseconds.
  radio.ReportChanges(kTrue);
  std::int16_t cat = 1;
  radio.SetCAT(cat);
  cl.server.idle = [&session] { session.Discard(); };
  server::Server srv(radio, cl.server);
  try {
    srv.Listen();
  } catch (const std::exception& e) {
    throw CliError(kExitFailure, e.what());
  }
  if (!cl.quiet) {
    std::string where;
    for (const std::string& a : srv.Addresses()) where += " " + a;
    LogLine("serving " + radio.Transceiver() + " on " + session.Description() + " at" + where +
            (cl.server.read_only ? " (read-only)" : ""));
  }
  struct sigaction sa {};
  sa.sa_handler = OnServeSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
  srv.Run(g_serve_stop);
  cat = 0;
  radio.SetCAT(cat);
  session.Run(100);  // let the CAT-off command reach the radio
  if (!cl.quiet) LogLine("stopped");
  return kExitOk;
}

}  // namespace veltro::cli
