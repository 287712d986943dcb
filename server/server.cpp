#include "server/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "veltro/events.h"

namespace veltro::server {

namespace {

constexpr std::size_t kMaxLine = 1024;           // longer lines are answered RPRT -1 and dropped
constexpr std::size_t kMaxPending = 256 * 1024;  // replies a client has not read: then it goes
constexpr int kMaxWaitMs = 1000;

std::string AddressText(const sockaddr_storage& a) {
  char host[INET6_ADDRSTRLEN] = "?";
  int port = 0;
  if (a.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
    inet_ntop(AF_INET, &v4->sin_addr, host, sizeof host);
    port = ntohs(v4->sin_port);
    return std::string(host) + ":" + std::to_string(port);
  }
  const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
  inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof host);
  port = ntohs(v6->sin6_port);
  return "[" + std::string(host) + "]:" + std::to_string(port);
}

bool PrefixMatches(const unsigned char* a, const unsigned char* b, int bits) {
  for (int i = 0; bits > 0; ++i, bits -= 8) {
    unsigned mask = bits >= 8 ? 0xff : (0xff << (8 - bits)) & 0xff;
    if ((a[i] & mask) != (b[i] & mask)) return false;
  }
  return true;
}

// Splits "host:port" and "[v6]:port"; a bare port listens on loopback.
std::pair<std::string, std::string> HostAndPort(const std::string& text) {
  if (!text.empty() && text[0] == '[') {
    std::size_t close = text.find("]:");
    if (close == std::string::npos) throw std::runtime_error("cannot read address " + text);
    return {text.substr(1, close - 1), text.substr(close + 2)};
  }
  std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return {"127.0.0.1", text};
  return {text.substr(0, colon), text.substr(colon + 1)};
}

int ListenOn(const std::string& where) {
  auto [host, port] = HostAndPort(where);
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (int e = getaddrinfo(host.c_str(), port.c_str(), &hints, &found); e != 0) {
    throw std::runtime_error("cannot listen on " + where + ": " + gai_strerror(e));
  }
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> hold(found, freeaddrinfo);
  int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int one = 1;
  if (fd >= 0) {
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    // [::] and 0.0.0.0 may both be given; each socket keeps to its own family.
    if (found->ai_family == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
  }
  if (fd < 0 || bind(fd, found->ai_addr, found->ai_addrlen) != 0 || listen(fd, 64) != 0) {
    std::string why = std::strerror(errno);
    if (fd >= 0) close(fd);
    throw std::runtime_error("cannot listen on " + where + ": " + why);
  }
  return fd;
}

}  // namespace

std::optional<AddressBlock> ParseBlock(std::string_view text) {
  AddressBlock b;
  std::string addr(text.substr(0, text.find('/')));
  if (inet_pton(AF_INET, addr.c_str(), b.bytes) == 1) {
    b.family = AF_INET;
    b.prefix = 32;
  } else if (inet_pton(AF_INET6, addr.c_str(), b.bytes) == 1) {
    b.family = AF_INET6;
    b.prefix = 128;
  } else {
    return std::nullopt;
  }
  if (std::size_t slash = text.find('/'); slash != std::string_view::npos) {
    std::string bits(text.substr(slash + 1));
    char* end = nullptr;
    long n = std::strtol(bits.c_str(), &end, 10);
    if (bits.empty() || *end != '\0' || n < 0 || n > b.prefix) return std::nullopt;
    b.prefix = static_cast<int>(n);
  }
  return b;
}

bool Admitted(const sockaddr_storage& peer, const std::vector<AddressBlock>& allowed) {
  unsigned char v4[4];
  const unsigned char* v6 = nullptr;
  bool is_v4 = peer.ss_family == AF_INET;
  if (is_v4) {
    std::memcpy(v4, &reinterpret_cast<const sockaddr_in*>(&peer)->sin_addr, 4);
  } else {
    const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_addr;
    v6 = a.s6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&a)) return true;
    if (IN6_IS_ADDR_V4MAPPED(&a)) {
      std::memcpy(v4, v6 + 12, 4);
      is_v4 = true;
    }
  }
  if (is_v4 && v4[0] == 127) return true;
  for (const AddressBlock& b : allowed) {
    if (is_v4 && b.family == AF_INET && PrefixMatches(v4, b.bytes, b.prefix)) return true;
    if (!is_v4 && b.family == AF_INET6 && PrefixMatches(v6, b.bytes, b.prefix)) return true;
  }
  return false;
}

struct Server::Client {
  int fd = -1;
  std::uint64_t id = 0;
  std::string peer;
  std::string in, out;
  bool skipping = false;  // inside an over-long line: drop up to its end
  bool closing = false;   // close once `out` is sent (after "q")
};

Server::Server(FTDX10_Protocol& radio, ServerOptions options)
    : radio_(radio), options_(std::move(options)) {
  policy_.read_only = options_.read_only;
}

Server::~Server() {
  for (auto& c : clients_) close(c->fd);
  for (int fd : listeners_) close(fd);
}

void Server::Log(const std::string& line) const {
  if (options_.log) options_.log(line);
}

void Server::Listen() {
  for (const std::string& where : options_.listen) listeners_.push_back(ListenOn(where));
}

std::vector<std::string> Server::Addresses() const {
  std::vector<std::string> out;
  for (int fd : listeners_) {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    out.push_back(AddressText(a));
  }
  return out;
}

void Server::Run(const volatile std::sig_atomic_t& stop) {
  sigset_t block, waiting;
  sigemptyset(&block);
  sigaddset(&block, SIGINT);
  sigaddset(&block, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &block, &waiting);
  sigdelset(&waiting, SIGINT);
  sigdelset(&waiting, SIGTERM);
  std::vector<pollfd> fds;
  while (!stop) {
    fds.clear();
    fds.push_back({EventFd(), POLLIN, 0});
    for (int fd : listeners_) fds.push_back({fd, POLLIN, 0});
    for (auto& c : clients_) {
      short events = c->closing ? 0 : POLLIN;
      if (!c->out.empty()) events |= POLLOUT;
      fds.push_back({c->fd, events, 0});
    }
    int ms = NextTimeoutMs(kMaxWaitMs);
    timespec wait{ms / 1000, (ms % 1000) * 1000000L};
    if (ppoll(fds.data(), fds.size(), &wait, &waiting) < 0 && errno != EINTR) break;
    DispatchEvents();
    if (options_.idle) options_.idle();
    WatchRadio();
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
      if (fds[1 + i].revents & POLLIN) Accept(listeners_[i]);
    }
    // Clients accepted just now have no entry in `fds`; they are polled next time round.
    const std::size_t first = 1 + listeners_.size();
    for (std::size_t i = 0; i + first < fds.size(); ++i) {
      Client& c = *clients_[i];
      short r = fds[first + i].revents;
      if (r & (POLLIN | POLLHUP | POLLERR)) Receive(c);
      if (c.fd >= 0 && (r & POLLOUT)) Flush(c);
    }
    std::erase_if(clients_, [](const std::unique_ptr<Client>& c) { return c->fd < 0; });
  }
  pthread_sigmask(SIG_SETMASK, &waiting, nullptr);
  for (auto& c : clients_) Close(*c, "server stopping");
  clients_.clear();
}

void Server::Accept(int listener) {
  for (;;) {
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    int fd =
        accept4(listener, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // nothing more waiting, or the peer left already
    std::string who = AddressText(peer);
    if (!Admitted(peer, options_.allow)) {
      Log("refused " + who + ": not in the allowed addresses");
      close(fd);
      continue;
    }
    if (static_cast<int>(clients_.size()) >= options_.max_clients) {
      static const char kBusy[] = "RPRT -6\n";
      [[maybe_unused]] ssize_t n = send(fd, kBusy, sizeof kBusy - 1, MSG_NOSIGNAL);
      Log("refused " + who + ": " + std::to_string(options_.max_clients) + " clients already");
      close(fd);
      continue;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto c = std::make_unique<Client>();
    c->fd = fd;
    c->id = next_id_++;
    c->peer = who;
    Log("client " + std::to_string(c->id) + " connected from " + who);
    clients_.push_back(std::move(c));
  }
}

void Server::Receive(Client& c) {
  char buf[4096];
  ssize_t n = recv(c.fd, buf, sizeof buf, 0);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
    Close(c, n == 0 ? "disconnected" : std::strerror(errno));
    return;
  }
  if (n < 0) return;
  c.in.append(buf, static_cast<std::size_t>(n));
  std::size_t at = 0;
  for (;;) {
    std::size_t end = c.in.find('\n', at);
    if (end == std::string::npos) break;
    if (!c.skipping) Answer(c, std::string_view(c.in).substr(at, end - at));
    c.skipping = false;
    at = end + 1;
    if (c.closing || c.fd < 0) return;
  }
  c.in.erase(0, at);
  if (c.in.size() > kMaxLine) {
    if (!c.skipping) c.out += "RPRT -1\n";
    c.skipping = true;
    c.in.clear();
  }
  Flush(c);
}

void Server::Answer(Client& c, std::string_view line) {
  if (line.size() > kMaxLine) {
    c.out += "RPRT -1\n";
    return;
  }
  const std::string tag = "client " + std::to_string(c.id);
  if (options_.trace) options_.trace(tag + " > " + std::string(line));
  for (const Request& r : ParseLine(line)) {
    std::string reply = Format(r, Execute(radio_, r, policy_));
    if (options_.trace) options_.trace(tag + " < " + reply.substr(0, reply.size() - 1));
    c.out += reply;
    if (r.command && r.command->name == "quit") {
      c.closing = true;
      break;
    }
  }
  Flush(c);
}

void Server::Flush(Client& c) {
  while (!c.out.empty()) {
    ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    if (n > 0) {
      c.out.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      break;
    } else {
      Close(c, "connection lost");
      return;
    }
  }
  if (c.out.size() > kMaxPending) {
    Close(c, "does not read its replies");
  } else if (c.out.empty() && c.closing) {
    Close(c, "quit");
  }
}

void Server::Close(Client& c, const char* why) {
  if (c.fd < 0) return;
  close(c.fd);
  c.fd = -1;
  Log("client " + std::to_string(c.id) + " (" + c.peer + ") closed: " + why);
}

void Server::WatchRadio() {
  bool now = radio_.RadioAnswering() != kFalse;
  if (now == answering_) return;
  answering_ = now;
  Log(now ? "radio answering again" : "radio not answering");
}

}  // namespace veltro::server
