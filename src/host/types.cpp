#include "veltro/types.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "host/convert.h"

namespace veltro {

namespace {

const char* DescriptionOf(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::kOverflow:
      return "Overflow";
    case ErrorNumber::kSubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorNumber::kTypeMismatch:
      return "Type mismatch";
  }
  return "Application-defined or object-defined error";
}

// A text converts when, blanks aside, it is one whole number in decimal notation; one too large
// for a double ("1e400") is an overflow, as it is for a number.
double TextToNumber(const std::string& text) {
  std::string_view t = detail::Trim(text);
  if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string_view::npos) {
    throw AutomationError(ErrorNumber::kTypeMismatch);
  }
  std::string s(t);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str() || *end != '\0') throw AutomationError(ErrorNumber::kTypeMismatch);
  if (std::isinf(v)) throw AutomationError(ErrorNumber::kOverflow);
  return v;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, VBool b) { return out << b.value(); }

AutomationError::AutomationError(ErrorNumber number)
    : std::runtime_error(DescriptionOf(number)), number_(static_cast<int>(number)) {}

std::int32_t Variant::ToInt32() const {
  struct Visitor {
    std::int32_t operator()(std::monostate) const { return 0; }
    std::int32_t operator()(std::int16_t v) const { return v; }
    std::int32_t operator()(std::int32_t v) const { return v; }
    std::int32_t operator()(double v) const { return detail::RoundToInt32(v); }
    std::int32_t operator()(bool v) const { return v ? -1 : 0; }
    std::int32_t operator()(const std::string& v) const {
      return detail::RoundToInt32(TextToNumber(v));
    }
    std::int32_t operator()(const std::shared_ptr<VariantObject>&) const {
      throw AutomationError(ErrorNumber::kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value_);
}

double Variant::ToDouble() const {
  struct Visitor {
    double operator()(std::monostate) const { return 0; }
    double operator()(std::int16_t v) const { return v; }
    double operator()(std::int32_t v) const { return v; }
    double operator()(double v) const { return v; }
    double operator()(bool v) const { return v ? -1 : 0; }
    double operator()(const std::string& v) const { return TextToNumber(v); }
    double operator()(const std::shared_ptr<VariantObject>&) const {
      throw AutomationError(ErrorNumber::kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value_);
}

VBool Variant::ToBool() const {
  if (const auto* b = std::get_if<bool>(&value_)) return *b;
  if (const auto* s = std::get_if<std::string>(&value_)) {
    std::string_view t = detail::Trim(*s);
    auto is = [t](std::string_view word) {
      return t.size() == word.size() &&
             std::equal(t.begin(), t.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
             });
    };
    if (is("true")) return true;
    if (is("false")) return false;
  }
  return ToDouble() != 0;
}

std::string Variant::ToText() const {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int16_t v) const { return detail::DecimalText(v); }
    std::string operator()(std::int32_t v) const { return detail::DecimalText(v); }
    std::string operator()(double v) const {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.15g", v);
      return buf;
    }
    std::string operator()(bool v) const { return v ? "True" : "False"; }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const std::shared_ptr<VariantObject>&) const {
      throw AutomationError(ErrorNumber::kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value_);
}

std::int16_t Variant::ToInt16() const {
  std::int32_t v = ToInt32();
  if (v < -32768 || v > 32767) throw AutomationError(ErrorNumber::kOverflow);
  return static_cast<std::int16_t>(v);
}

}  // namespace veltro
