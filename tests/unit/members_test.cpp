// The member table against the class it describes (the C interface test reaches members by name).
#include "veltro/members.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#ifndef VELTRO_SOURCE_DIR
#error "VELTRO_SOURCE_DIR must name the source folder"
#endif

namespace veltro {
namespace {

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
  EXPECT_EQ(FindMember("freq"), nullptr);
}

}  // namespace
}  // namespace veltro
