// The network server: listening sockets and clients, all watched by one poll() together with the
// library's event descriptor, so a client's command runs between two library events on the same
// thread. Each client is a small record (bytes in, bytes out); a slow or hostile one can only
// hurt itself.
#pragma once

#include <sys/socket.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/mapping.h"

namespace veltro::server {

// An address block such as 192.168.1.0/24 or fd00::/8; a bare address is a block of one.
struct AddressBlock {
  int family = 0;  // AF_INET or AF_INET6
  unsigned char bytes[16] = {};
  int prefix = 0;
};
std::optional<AddressBlock> ParseBlock(std::string_view text);
// Loopback always passes; other addresses when a block holds them (IPv4 also as ::ffff:a.b.c.d).
bool Admitted(const sockaddr_storage& peer, const std::vector<AddressBlock>& allowed);

struct ServerOptions {
  std::vector<std::string> listen = {"127.0.0.1:4532"};  // ADDR:PORT, [IPv6]:PORT
  std::vector<AddressBlock> allow;
  bool read_only = false;
  int max_clients = 64;
  // Human log lines (connect, disconnect, refusals, radio lost/back) and, when set, each
  // request and reply.
  std::function<void(const std::string&)> log;
  std::function<void(const std::string&)> trace;
  // Called once per turn of the loop, after the library's events.
  std::function<void()> idle;
};

class Server {
 public:
  Server(FTDX10_Protocol& radio, ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds every listening address; throws std::runtime_error saying which one failed and why.
  void Listen();
  // "127.0.0.1:4532" for each bound socket (the real port when 0 was asked for).
  std::vector<std::string> Addresses() const;
  // Serves clients and runs the library's events until `stop` turns non-zero. SIGINT and SIGTERM
  // are delivered only while it waits, so a signal never cuts a command in half.
  void Run(const volatile std::sig_atomic_t& stop);

 private:
  struct Client;
  void Accept(int listener);
  void Receive(Client& c);
  void Answer(Client& c, std::string_view line);
  void Flush(Client& c);
  void Close(Client& c, const char* why);
  void WatchRadio();
  void Log(const std::string& line) const;

  FTDX10_Protocol& radio_;
  ServerOptions options_;
  Policy policy_;
  std::vector<int> listeners_;
  std::vector<std::unique_ptr<Client>> clients_;
  std::uint64_t next_id_ = 1;
  bool answering_ = true;
};

}  // namespace veltro::server
