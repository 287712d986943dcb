// veltro-ftdx10 serve over real TCP, against the simulator on a pty reached through a symbolic
// link (as /dev/serial/by-id names are): sets that reach the radio and read back, many clients,
// hostile ones, the command-line policies, and a device that goes away and comes back. The
// protocol's forms and refusals are covered on virtual time in server_protocol_test.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ftdx10sim/simulator.h"
#include "support/real_rig.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p);
  return {std::istreambuf_iterator<char>(in), {}};
}

// This machine's first IPv4 address other than loopback; 0 when it has none.
in_addr_t OwnAddress() {
  ifaddrs* list = nullptr;
  in_addr_t found = 0;
  if (getifaddrs(&list) != 0) return 0;
  for (ifaddrs* i = list; i && !found; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
    in_addr_t a = reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr;
    if ((ntohl(a) >> 24) != 127) found = a;
  }
  freeifaddrs(list);
  return found;
}

class Client {
 public:
  // A client that cannot connect reads nothing.
  explicit Client(int port, in_addr_t host = htonl(INADDR_LOOPBACK))
      : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = host;
    connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  ~Client() { close(fd_); }
  void Send(const std::string& bytes) {
    [[maybe_unused]] auto n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
  // What arrives until `lines` line ends have come, the peer closes, or 5 s pass.
  std::string Read(int lines) {
    return veltro::testing::ReadUntil(
        fd_, [&](const std::string& s) { return std::count(s.begin(), s.end(), '\n') >= lines; },
        5000);
  }
  std::string Ask(const std::string& line, int lines = 1) {
    Send(line + "\n");
    return Read(lines);
  }
  // Asks until the reply of `lines` lines starts with `want` (the cache may still take an answer
  // the radio sent before the set).
  std::string AskUntil(const std::string& line, const std::string& want, int lines = 0) {
    auto give_up = std::chrono::steady_clock::now() + 10s;
    if (lines == 0) lines = static_cast<int>(std::count(want.begin(), want.end(), '\n'));
    std::string got;
    while (std::chrono::steady_clock::now() < give_up) {
      if ((got = Ask(line, lines)).rfind(want, 0) == 0) break;
      std::this_thread::sleep_for(50ms);
    }
    return got;
  }

 private:
  int fd_;
};

// The simulator behind a symbolic link, and the tool serving it.
class ServeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_);
    StartRadio();
  }
  void TearDown() override {
    if (pid_ > 0) Stop();
    sim_.reset();
    fs::remove_all(dir_);
  }
  void StartRadio() {
    sim_ = std::make_unique<veltro::sim::Simulator>();
    sim_->Start();
    fs::remove(link_);
    fs::create_symlink(sim_->SlavePath(), link_);
  }
  void StopRadio() {
    fs::remove(link_);
    sim_->Stop();
    sim_.reset();
  }
  // Starts serve with `options`; returns its port on 127.0.0.1, and in `any` the port of a
  // second --listen given in `options`.
  int Serve(const std::string& options = "", int* any = nullptr) {
    std::string cmd = "exec env XDG_CONFIG_HOME=" + (dir_ / "config").string() + " " +
                      VELTRO_CLI_PATH + " --port " + link_.string() +
                      " serve --listen 127.0.0.1:0 " + options + " 2>" + Log().string();
    fs::remove(Log());
    pid_ = fork();
    if (pid_ == 0) {
      execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
      std::string log = Slurp(Log());
      if (auto at = log.find(" at 127.0.0.1:"); at != std::string::npos) {
        if (any) *any = std::atoi(log.c_str() + log.find(':', log.find(' ', at + 14)) + 1);
        return std::atoi(log.c_str() + at + 14);
      }
      std::this_thread::sleep_for(100ms);
    }
    ADD_FAILURE() << "serve did not start: " << Slurp(Log());
    return 0;
  }
  int Stop() {
    int status = -1;
    kill(pid_, SIGTERM);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path Log() const { return dir_ / "log"; }

  fs::path dir_ = fs::temp_directory_path() / ("serve_test_" + std::to_string(getpid()));
  fs::path link_ = dir_ / "radio";
  std::unique_ptr<veltro::sim::Simulator> sim_;
  pid_t pid_ = -1;
};

TEST_F(ServeTest, SetsReadBackAndTheDeviceIsOpenedAgainByItsPath) {
  Client c(Serve());
  ASSERT_EQ(c.Ask("\\chk_vfo"), "0\n");
  ASSERT_TRUE(sim_->FrontPanel("MW005007074000+000000200000"));
  // Each set answers at once, and the get after it shows the value: set, get, value.
  const char* cases[][3] = {
      {"F 7074000", "f", "7074000\n"},
      {"V VFOB", "v", "VFOB\n"},
      {"V VFOA", "v", "VFOA\n"},
      {"S 1 VFOB", "s", "1\nVFOB\n"},
      {"I 7080000", "i", "7080000\n"},
      {"X USB 0", "x", "USB\n"},
      {"S 0 VFOA", "s", "0\nVFOA\n"},
      {"J 120", "j", "120\n"},
      {"L AF 0.5", "l AF", "0.501961\n"},
      {"L KEYSPD 20", "l KEYSPD", "20\n"},
      {"U NB 1", "u NB", "1\n"},
      {"U LOCK 0", "u LOCK", "0\n"},
      {"M FM 0", "m", "FM\n"},
      {"C 885", "c", "885\n"},
      {"R +", "r", "+\n"},
      {"O 600000", "o", "600000\n"},
      {"D 0", "d", "0\n"},
      {"G CPY", "\\get_powerstat", "1\n"},
      {"E 5", "e", "5\n"},  // a stored channel: the radio refuses to recall an empty one
  };
  for (const auto& [set, get, value] : cases) {
    SCOPED_TRACE(set);
    EXPECT_EQ(c.Ask(set), "RPRT 0\n");
    const std::string want = value;
    int lines = std::string("mx").find(get) != std::string::npos ? 2 : 0;
    EXPECT_EQ(c.AskUntil(get, want, lines).substr(0, want.size()), want);
  }
  EXPECT_EQ(c.Ask("\\get_vfo_info VFOA", 5).substr(0, 8), "7074000\n");

  // The device goes away and comes back at the same path: opened again, and asked to report
  // its changes again.
  StopRadio();
  EXPECT_EQ(c.AskUntil("f", "RPRT -5\n"), "RPRT -5\n");
  std::this_thread::sleep_for(3s);  // several attempts while the link is missing
  StartRadio();
  ASSERT_TRUE(sim_->FrontPanel("FA007100000"));
  EXPECT_EQ(c.AskUntil("f", "7100000\n"), "7100000\n");
  EXPECT_TRUE(sim_->AutoInformation());
  EXPECT_EQ(c.Ask("q"), "RPRT 0\n");
  EXPECT_EQ(c.Read(1), "");  // closed
  EXPECT_EQ(Stop(), 0);
  const std::string log = Slurp(Log());
  for (const char* line : {"radio not answering", "radio answering again", "stopped"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

TEST_F(ServeTest, ManyPipeliningClientsHostileOnesAndReadOnly) {
  int port = Serve("--max-clients 40 --read-only");
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < 40; ++i) clients.push_back(std::make_unique<Client>(port));
  Client refused(port);  // beyond the limit
  EXPECT_EQ(refused.Read(1), "RPRT -6\n");
  clients.resize(36);  // room for four hostile ones
  std::this_thread::sleep_for(200ms);
  Client big(port), binary(port), silent(port);
  big.Send(std::string(1 << 20, 'f'));
  binary.Send(std::string("\x00\xff\x01\x7f\x1b", 5) + "\n");
  auto gone = std::make_unique<Client>(port);
  gone->Send("\\dump_st");  // and leaves mid-command
  gone.reset();
  const std::string freq = std::to_string(sim_->VfoAFreqHz()) + "\n";
  ASSERT_EQ(clients[0]->AskUntil("f", freq), freq);  // the first status cycle is in
  std::string first;
  for (auto& c : clients) {
    c->Send("f\nm\n+v\n;f\n");
    std::string r = c->Read(7);
    if (first.empty()) first = r;
    EXPECT_EQ(r, first);
  }
  EXPECT_EQ(first.substr(first.find("get_vfo:")),
            "get_vfo:\nVFO: VFOA\nRPRT 0\nget_freq:;Frequency: " +
                first.substr(0, first.find('\n')) + ";RPRT 0\n");
  EXPECT_EQ(big.Read(1), "RPRT -1\n");
  big.Send("\nf\n");
  EXPECT_EQ(big.Read(1), first.substr(0, first.find('\n') + 1));
  EXPECT_EQ(binary.Read(1), "RPRT -1\n");
  EXPECT_EQ(clients[0]->Ask("T 1"), "RPRT -9\n");
}

TEST_F(ServeTest, AllowList) {
  const in_addr_t own = OwnAddress();
  int any = 0;
  if (!own) GTEST_SKIP() << "no address but loopback";
  Serve("--listen 0.0.0.0:0", &any);
  EXPECT_EQ(Client(any, own).Ask("\\chk_vfo"), "");  // closed at once
  EXPECT_NE(Slurp(Log()).find("not in the allowed addresses"), std::string::npos);
  char text[INET_ADDRSTRLEN];
  inet_ntop(AF_INET, &own, text, sizeof text);
  Stop();
  Serve("--listen 0.0.0.0:0 --allow " + std::string(text) + "/32", &any);
  EXPECT_EQ(Client(any, own).Ask("\\chk_vfo"), "0\n");
}

}  // namespace
