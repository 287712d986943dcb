// The network protocol against the library on virtual time: each row is a client's line, the
// bytes it is answered with, and the command a set must have put on the serial line.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <string>

#include "server/server.h"
#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

struct ServerRig {
  ServerRig() {
    rig.OpenPort();
    auto& s = rig.state();
    s.Freq = s.VFOA_Freq = 14.25;
    s.Mode = 1;
    s.BW = 2400;
  }
  std::string Line(const std::string& line, server::Policy policy = {}) {
    std::string out;
    for (const auto& r : server::ParseLine(line)) {
      out += server::Format(r, server::Execute(*rig.radio, r, policy));
    }
    return out;
  }
  VirtualRig rig;
};

TEST(ServerProtocol, LinesAreAnsweredInEachForm) {
  // The line, its reply, and a command the set must have written ("" for none).
  const char* cases[][3] = {
      {"f", "14250000\n", ""},
      {"fmv", "14250000\nUSB\n2400\nVFOA\n", ""},
      {"f m\tv\r", "14250000\nUSB\n2400\nVFOA\n", ""},
      {"+f", "get_freq:\nFrequency: 14250000\nRPRT 0\n", ""},
      {";f", "get_freq:;Frequency: 14250000;RPRT 0\n", ""},
      {"|m", "get_mode:|Mode: USB|Passband: 2400|RPRT 0\n", ""},
      {",s", "get_split_vfo:,Split: 0,TX VFO: VFOA,RPRT 0\n", ""},
      {"\\get_lock_mode", "0\nRPRT 0\n", ""},
      {"F 7074000.000000", "RPRT 0\n", "FA007074000;"},
      {"+F 7074000", "set_freq: 7074000\nRPRT 0\n", "FA007074000;"},
      {"F7074000", "RPRT 0\n", "FA007074000;"},
      {"M PKTUSB 0", "RPRT 0\n", "MD0C;"},
      {"M CWR -1", "RPRT 0\n", "MD07;"},
      {"T 1", "RPRT 0\n", "TX1;"},
      {"L RFPOWER 0.5", "RPRT 0\n", "PC050;"},
      {"V VFOB", "RPRT 0\n", "VS1;"},
      {"b CQ TEST", "RPRT 0\n", ""},
      // Refusals: bad words end the line; what the radio lacks is "not available".
      {"F abc", "RPRT -1\n", ""},
      {"F", "RPRT -1\n", ""},
      {"F 100", "RPRT -1\n", ""},
      {"\\bogus f", "RPRT -1\n", ""},
      {"f Z f", "14250000\nRPRT -1\n", ""},
      {"+Z", "RPRT -1\n", ""},
      {"M XYZ 0", "RPRT -1\n", ""},
      {"+V VFOC", "set_vfo: VFOC\nRPRT -16\n", ""},
      {"l FOO", "RPRT -11\n", ""},
      {"L STRENGTH 1", "RPRT -11\n", ""},
      {"G LEFT", "RPRT -11\n", ""},
      {"D 23", "RPRT -11\n", ""},
      {"", "", ""},
  };
  for (const auto& [line, reply, command] : cases) {
    SCOPED_TRACE(line);
    ServerRig s;
    EXPECT_EQ(s.Line(line), reply);
    auto writes = s.rig.TakeWrites();
    if (*command) {
      EXPECT_NE(std::find(writes.begin(), writes.end(), command), writes.end());
    } else if (std::string(reply).find("RPRT -") != std::string::npos) {
      EXPECT_TRUE(writes.empty());
    }
  }
}

TEST(ServerProtocol, ReadOnlyAndASilentRadio) {
  ServerRig s;
  EXPECT_EQ(s.Line("F 7074000 f", {.read_only = true}), "RPRT -9\n14250000\n");
  EXPECT_TRUE(s.rig.TakeWrites().empty());
  s.Line("F 7074000");  // written, never answered
  s.rig.vp.Advance(3500);
  EXPECT_EQ(s.Line("f F 7074000 \\chk_vfo q"), "RPRT -5\nRPRT -5\n0\nRPRT 0\n");
  s.rig.serial().Feed("FA007074000;");
  s.rig.vp.Advance(10);
  EXPECT_EQ(s.Line("f"), "7074000\n");
}

TEST(ServerProtocol, DumpStateDescribesTheProfileInUse) {
  for (const char* id : {"", "ID0650;"}) {
    SCOPED_TRACE(id);
    ServerRig s;
    s.rig.serial().Feed(id);
    s.rig.vp.Advance(10);
    std::string dump = s.Line("\\dump_state");
    EXPECT_EQ(dump.rfind("1\n1\n0\n30000.000000 ", 0), 0u);
    EXPECT_NE(dump.find(*id ? " 54000000.000000 " : " 75000000.000000 "), std::string::npos);
    EXPECT_NE(dump.find(*id ? "\n6 \n6 \n" : "\n6 12 \n6 12 18 \n"), std::string::npos);
    EXPECT_NE(dump.find("\nctcss_list= 67.0 69.3 "), std::string::npos);
    EXPECT_NE(dump.find("\ndcs_list=\n"), std::string::npos);  // both take CTCSS tones only
    EXPECT_EQ(dump.substr(dump.size() - 6), "\ndone\n");
  }
}

TEST(ServerProtocol, AllowListsAdmitLoopbackAndTheirBlocks) {
  auto peer = [](const char* text) {
    sockaddr_storage a{};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&a);
    bool is_v4 = inet_pton(AF_INET, text, &v4->sin_addr) == 1;
    if (!is_v4) inet_pton(AF_INET6, text, &reinterpret_cast<sockaddr_in6*>(&a)->sin6_addr);
    a.ss_family = is_v4 ? AF_INET : AF_INET6;
    return a;
  };
  std::vector<server::AddressBlock> allow = {*server::ParseBlock("192.168.1.0/24"),
                                             *server::ParseBlock("fd00::/8")};
  for (const char* in : {"127.0.0.1", "::1", "192.168.1.77", "::ffff:192.168.1.5", "fd12::1"}) {
    EXPECT_TRUE(server::Admitted(peer(in), allow)) << in;
  }
  for (const char* out : {"192.168.2.1", "10.0.0.1", "fe80::1", "::ffff:10.0.0.1"}) {
    EXPECT_FALSE(server::Admitted(peer(out), allow)) << out;
  }
  for (const char* bad : {"1.2.3.4/33", "1.2.3/8", "host", "::/", "1.2.3.4/x"}) {
    EXPECT_FALSE(server::ParseBlock(bad)) << bad;
  }
}

}  // namespace
}  // namespace veltro
