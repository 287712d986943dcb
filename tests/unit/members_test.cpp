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

// The public members the header declares: names of getters, of lets (void Name(one argument))
// and of everything else, read from the class declaration itself.
struct Declared {
  std::set<std::string> names, lets;
};

Declared ReadHeader() {
  std::ifstream in(std::string(VELTRO_SOURCE_DIR) + "/include/veltro/ftdx10.h");
  std::stringstream ss;
  ss << in.rdbuf();
  std::string text = ss.str();
  auto begin = text.find("class VELTRO_API FTDX10_Protocol");
  auto end = text.find("// ---- Internal", begin);
  std::string body = text.substr(begin, end - begin);
  Declared d;
  const std::regex decl(R"(^\s+(?:[\w:<>&]+\s+)+[&*]?(\w+)\(([^)]*)\))");
  const std::set<std::string> skip = {"FTDX10_Protocol", "operator", "AddChangeHandler",
                                      "RemoveChangeHandler"};
  std::istringstream lines(body);
  std::string line, pending;
  while (std::getline(lines, line)) {
    if (line.find("//") != std::string::npos && line.find("//") < line.find_first_not_of(' ') + 1)
      continue;
    pending += line;
    if (line.find(';') == std::string::npos) continue;  // declaration goes on
    std::smatch m;
    if (std::regex_search(pending, m, decl) && !skip.count(m[1])) {
      d.names.insert(m[1]);
      bool one_arg = !m[2].str().empty() && m[2].str().find(',') == std::string::npos;
      if (pending.find("void " + m[1].str() + "(") != std::string::npos && one_arg &&
          pending.find("const;") == std::string::npos && m[1].str().rfind("Set", 0) != 0 &&
          m[1].str().rfind("set", 0) != 0) {
        d.lets.insert(m[1]);
      }
    }
    pending.clear();
  }
  return d;
}

TEST(MemberTable, ListsEveryPublicMemberOnce) {
  Declared d = ReadHeader();
  ASSERT_GT(d.names.size(), 100u);
  std::set<std::string> listed;
  for (const Member& m : Members()) {
    EXPECT_TRUE(listed.insert(m.Name()).second) << m.Name() << " listed twice";
    EXPECT_TRUE(d.names.count(m.Name())) << m.Name() << " is not a member";
    EXPECT_EQ(m.Settable(), d.lets.count(m.Name()) == 1) << m.Name();
  }
  for (const auto& n : d.names) EXPECT_TRUE(listed.count(n)) << n << " missing from the table";
  EXPECT_EQ(ConnectorMembers(), std::vector<std::string>{"FTDX10_Protocol"});
}

TEST(MemberTable, KindsAndTypesComeFromTheDeclarations) {
  struct Row {
    const char* name;
    MemberKind kind;
    ValueType type;
    std::vector<std::pair<ValueType, bool>> params;
  };
  const Row rows[] = {
      {"Freq", MemberKind::kProperty, ValueType::kDouble, {}},
      {"CTCSSTone", MemberKind::kProperty, ValueType::kSingle, {{ValueType::kInteger, false}}},
      {"AFLevel", MemberKind::kProperty, ValueType::kInteger, {{ValueType::kVariant, false}}},
      {"PortOpen", MemberKind::kProperty, ValueType::kBoolean, {}},
      {"SetCAT", MemberKind::kMethod, ValueType::kInteger, {{ValueType::kInteger, true}}},
      {"ReadBuffer",
       MemberKind::kMethod,
       ValueType::kVoid,
       {{ValueType::kString, true}, {ValueType::kInteger, false}}},
      {"SetCommand",
       MemberKind::kMethod,
       ValueType::kVoid,
       {{ValueType::kInteger, true}, {ValueType::kString, false}}},
  };
  for (const auto& r : rows) {
    const Member* m = FindMember(r.name);
    ASSERT_NE(m, nullptr) << r.name;
    EXPECT_EQ(m->Kind(), r.kind) << r.name;
    EXPECT_EQ(m->Type(), r.type) << r.name;
    ASSERT_EQ(m->Params().size(), r.params.size()) << r.name;
    for (std::size_t i = 0; i < r.params.size(); ++i) {
      EXPECT_EQ(m->Params()[i].type, r.params[i].first) << r.name << i;
      EXPECT_EQ(m->Params()[i].rewritten, r.params[i].second) << r.name << i;
    }
  }
  EXPECT_EQ(FindMember("freq"), nullptr);
  EXPECT_STREQ(TypeName(ValueType::kSingle), "Single");
}

TEST(MemberTable, ReachesMembersByName) {
  VirtualRig rig;
  auto& r = *rig.radio;
  std::vector<Variant> none;
  EXPECT_EQ(FindMember("About")->Get(r, none), Variant("FTDX-10 V1.1.0"));
  std::vector<Variant> index{Variant("18")};
  EXPECT_EQ(FindMember("Property")->Get(r, index), Variant(std::int16_t{320}));
  FindMember("ChannelMin")->Let(r, Variant(7.0));
  EXPECT_EQ(r.ChannelMin(), 7);
  FindMember("PortSpeed")->Let(r, Variant(std::int16_t{9600}));
  EXPECT_EQ(r.PortSpeed(), "9600");

  // A rewritten argument comes back in place; results keep their types.
  std::vector<Variant> port{Variant(true), Variant(""), Variant(""), Variant("")};
  rig.serial().FailNextOpen("Port is in use");
  EXPECT_EQ(FindMember("SetPort")->Call(r, port), Variant(std::int16_t{0}));
  EXPECT_EQ(port[3], Variant("Port is in use"));
  std::vector<Variant> buffer{Variant("FA014250000;FB"), Variant(false)};
  FindMember("ReadBuffer")->Call(r, buffer);
  EXPECT_EQ(buffer[0], Variant("FB"));
  EXPECT_DOUBLE_EQ(r.VFOA_Freq(), 14.25);
}

TEST(MemberTable, BadArgumentsGiveClearErrors) {
  VirtualRig rig;
  auto& r = *rig.radio;
  std::vector<Variant> two{Variant(1), Variant(2)};
  EXPECT_THROW(FindMember("Property")->Get(r, two), std::invalid_argument);
  std::vector<Variant> text{Variant("abc")};
  try {
    FindMember("Property")->Get(r, text);
    ADD_FAILURE();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.Number(), 13);
  }
  std::vector<Variant> big{Variant(1e9)};
  try {
    FindMember("Property")->Get(r, big);
    ADD_FAILURE();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.Number(), 6);
  }
  EXPECT_THROW(FindMember("Freq")->Let(r, Variant(1.0)), std::logic_error);
}

}  // namespace
}  // namespace veltro
