// The member table against the class it describes, and reaching members through it by name.
#include "veltro/members.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "support/virtual_rig.h"

#ifndef VELTRO_SOURCE_DIR
#error "VELTRO_SOURCE_DIR must name the source folder"
#endif

namespace veltro {
namespace {

using testing::VirtualRig;

// The public members the header declares, and which of them are lets (a non-const void member
// of one argument whose name does not begin with Set), read from the class declaration itself.
struct Declared {
  std::set<std::string> names, lets;
};

Declared ReadHeader() {
  std::ifstream in(std::string(VELTRO_SOURCE_DIR) + "/include/veltro/ftdx10.h");
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  auto begin = all.find("class VELTRO_API FTDX10_Protocol");
  std::istringstream lines(all.substr(begin, all.find("// ---- Internal", begin) - begin));
  const std::regex decl(R"(^\s+(?:[\w:<>&]+\s+)+[&*]?(\w+)\(([^),]*)(,?)[^)]*\)( const)?;)");
  const std::set<std::string> skip = {"FTDX10_Protocol", "AddChangeHandler", "RemoveChangeHandler"};
  Declared d;
  std::string line, pending;
  while (std::getline(lines, line)) {
    if (line.find_first_not_of(' ') == line.find("//")) continue;
    pending += line;
    if (line.find(';') == std::string::npos) continue;  // the declaration goes on
    std::smatch m;
    if (std::regex_search(pending, m, decl) && !skip.count(m[1])) {
      std::string name = m[1];
      d.names.insert(name);
      bool one = m[2].length() > 0 && m[3].length() == 0 && m[4].length() == 0;
      if (one && pending.find("void " + name) != std::string::npos && name.rfind("Set", 0) &&
          name.rfind("set", 0)) {
        d.lets.insert(name);
      }
    }
    pending.clear();
  }
  return d;
}

TEST(MemberTable, ListsEveryPublicMemberOnce) {
  Declared d = ReadHeader();
  ASSERT_GT(d.names.size(), 100u);
  ASSERT_GT(d.lets.size(), 5u);
  std::set<std::string> listed;
  for (const Member& m : Members()) {
    EXPECT_TRUE(listed.insert(m.Name()).second) << m.Name() << " listed twice";
    EXPECT_TRUE(d.names.count(m.Name())) << m.Name() << " is not a member";
    EXPECT_EQ(m.Settable(), d.lets.count(m.Name()) == 1) << m.Name();
  }
  for (const auto& n : d.names) EXPECT_TRUE(listed.count(n)) << n << " missing from the table";
  EXPECT_EQ(ConnectorMembers(), std::vector<std::string>{"FTDX10_Protocol"});
}

TEST(MemberTable, ReachesMembersByNameWithClearErrors) {
  VirtualRig rig;
  auto& r = *rig.radio;
  std::vector<Variant> index{Variant("18")};
  EXPECT_EQ(FindMember("Property")->Get(r, index), Variant(std::int16_t{320}));
  FindMember("ChannelMin")->Let(r, Variant(7.0));
  FindMember("PortSpeed")->Let(r, Variant(std::int16_t{9600}));
  EXPECT_EQ(rig.Read("ChannelMin PortSpeed"), "ChannelMin=7 PortSpeed=9600");
  // A rewritten argument comes back in place; results keep their types.
  std::vector<Variant> port{Variant(true), Variant(""), Variant(""), Variant("")};
  rig.serial().FailNextOpen("Port is in use");
  EXPECT_EQ(FindMember("SetPort")->Call(r, port), Variant(std::int16_t{0}));
  EXPECT_EQ(port[3], Variant("Port is in use"));
  std::vector<Variant> buffer{Variant("FA014250000;FB"), Variant(false)};
  FindMember("ReadBuffer")->Call(r, buffer);
  EXPECT_EQ(buffer[0], Variant("FB"));
  EXPECT_DOUBLE_EQ(r.VFOA_Freq(), 14.25);

  std::vector<Variant> two{Variant(1), Variant(2)};
  EXPECT_THROW(FindMember("Property")->Get(r, two), std::invalid_argument);
  EXPECT_THROW(FindMember("Freq")->Let(r, Variant(1.0)), std::logic_error);
  EXPECT_EQ(FindMember("freq"), nullptr);
}

}  // namespace
}  // namespace veltro
