// The member table: every public member of FTDX10_Protocol (and FTDX10_Connector's one property)
// listed once, with its kind, its parameter types and a way to reach it by name with variant
// values. The command-line tool and the C interface rest on it; scripting hosts may too.
//
//   const veltro::Member* m = veltro::FindMember("SetFreq");
//   std::vector<veltro::Variant> args{14.25};
//   veltro::Variant ok = m->Call(*radio, args);   // -1 (true) or 0
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "veltro/ftdx10.h"
#include "veltro/types.h"

namespace veltro {

// The automation type of a value: Integer is 16-bit, Long 32-bit, Boolean 16-bit (-1 / 0).
enum class ValueType { kVoid, kBoolean, kInteger, kLong, kSingle, kDouble, kString, kVariant };

// "Integer", "Double", ... as a host's documentation names them.
VELTRO_API const char* TypeName(ValueType type);

struct MemberParam {
  std::string name;
  ValueType type;
  bool rewritten;  // taken by reference: the call may change it (SetMode turns 7 into 4)
};

enum class MemberKind {
  kProperty,  // read with Get (parameters are its indices); with a let when Settable()
  kMethod,    // run with Call
};

class VELTRO_API Member {
 public:
  using Getter = std::function<Variant(FTDX10_Protocol&, std::vector<Variant>&)>;
  using Letter = std::function<void(FTDX10_Protocol&, const Variant&)>;

  Member(std::string name, MemberKind kind, ValueType type, std::vector<MemberParam> params,
         Getter get_or_call);

  const std::string& Name() const { return name_; }
  MemberKind Kind() const { return kind_; }
  // A property's type, or a method's result type (kVoid for none).
  ValueType Type() const { return type_; }
  const std::vector<MemberParam>& Params() const { return params_; }
  bool Settable() const { return static_cast<bool>(let_); }

  // Reads the property (args are its indices) or runs the method. `args` must hold one value per
  // parameter; each is converted as the automation runtime does (error 13 for a value that does
  // not convert, 6 for one out of range) and rewritten parameters are written back into `args`.
  // A wrong count throws std::invalid_argument. Errors of the member itself pass through.
  Variant Get(FTDX10_Protocol& p, std::vector<Variant>& args) const;
  Variant Call(FTDX10_Protocol& p, std::vector<Variant>& args) const { return Get(p, args); }
  // Stores `value` through the property's let; std::logic_error if it has none.
  void Let(FTDX10_Protocol& p, const Variant& value) const;

  // Table building.
  Member& WithLet(Letter let) {
    let_ = std::move(let);
    return *this;
  }

 private:
  std::string name_;
  MemberKind kind_;
  ValueType type_;
  std::vector<MemberParam> params_;
  Getter get_;
  Letter let_;
};

// Every member of FTDX10_Protocol, in the order of its header.
VELTRO_API const std::vector<Member>& Members();
// The member called `name` (exact, case-sensitive), or nullptr.
VELTRO_API const Member* FindMember(std::string_view name);
// FTDX10_Connector's members: its FTDX10_Protocol property.
VELTRO_API const std::vector<std::string>& ConnectorMembers();

}  // namespace veltro
