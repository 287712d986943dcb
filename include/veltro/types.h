// Value types shared by the whole public interface: the 16-bit boolean, the automation error and
// the variant used by the few members that take or return one.
#pragma once

#include <concepts>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

// Marks what the shared library exports; everything else stays internal.
#if defined(VELTRO_BUILDING) || defined(VELTRO_STATIC)
#define VELTRO_API __attribute__((visibility("default")))
#else
#define VELTRO_API
#endif

namespace veltro {

// A 16-bit boolean: it holds -1 for true and 0 for false. It is made from a C++ bool or from any
// integer (every non-zero value is true, so 1 and 5 read back as -1), tests true in an `if`, and
// compares equal to `true`/`false`, to -1/0 and to kTrue/kFalse alike:
//
//   if (radio->SetFreq(14.074)) ...          radio->AutoPolling(true);
//   radio->SetFreq(14.074) == true           radio->AutoPolling() == -1
//   radio->PortOpen().value()                // -1 or 0, for printf("%d") and the like
class VBool {
 public:
  constexpr VBool() = default;
  constexpr VBool(bool b) : value_(b ? -1 : 0) {}  // NOLINT: implicit on purpose
  template <std::integral T>
  requires(!std::same_as<T, bool>) constexpr VBool(T v) : value_(v != 0 ? -1 : 0) {}  // NOLINT

  constexpr explicit operator bool() const { return value_ != 0; }
  // The 16-bit value: -1 or 0.
  constexpr std::int16_t value() const { return value_; }

  friend constexpr bool operator==(VBool a, VBool b) = default;
  friend constexpr bool operator==(VBool a, bool b) { return static_cast<bool>(a) == b; }
  // An integer compares with the 16-bit value: true equals -1, not 1.
  template <std::integral T>
  requires(!std::same_as<T, bool>) friend constexpr bool operator==(VBool a, T b) {
    return std::cmp_equal(a.value_, b);
  }

 private:
  std::int16_t value_ = 0;
};
static_assert(sizeof(VBool) == 2);

inline constexpr VBool kTrue{true};
inline constexpr VBool kFalse{false};
constexpr VBool ToVBool(bool b) { return VBool(b); }
// Writes -1 or 0, as the 16-bit value.
VELTRO_API std::ostream& operator<<(std::ostream& out, VBool b);

// Error numbers used by the library; each comes with its standard description.
enum class ErrorNumber : int {
  kOverflow = 6,             // "Overflow"
  kSubscriptOutOfRange = 9,  // "Subscript out of range"
  kTypeMismatch = 13,        // "Type mismatch"
};

// The one exception type the library throws. Number() is the automation error number, what()
// and Description() the text a host shows.
class VELTRO_API AutomationError : public std::runtime_error {
 public:
  AutomationError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  explicit AutomationError(ErrorNumber number);
  int Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  int number_;
};

// Base of any object a host stores in a variant by reference.
class VELTRO_API VariantObject {
 public:
  virtual ~VariantObject() = default;
};

// A small automation variant: empty, a 16-bit or 32-bit integer, a double, a boolean, a text, or a
// reference to an object. Copying copies values and shares objects.
class VELTRO_API Variant {
 public:
  using Value = std::variant<std::monostate, std::int16_t, std::int32_t, double, bool, std::string,
                             std::shared_ptr<VariantObject>>;
  Variant() = default;
  Variant(std::int16_t v) : value_(v) {}   // NOLINT: implicit on purpose, like the automation type
  Variant(std::int32_t v) : value_(v) {}   // NOLINT
  Variant(double v) : value_(v) {}         // NOLINT
  Variant(bool v) : value_(v) {}           // NOLINT
  Variant(VBool v) : value_(v.value()) {}  // NOLINT: the 16-bit -1 / 0
  Variant(std::string v) : value_(std::move(v)) {}                     // NOLINT
  Variant(const char* v) : value_(std::string(v)) {}                   // NOLINT
  Variant(std::shared_ptr<VariantObject> v) : value_(std::move(v)) {}  // NOLINT

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsObject() const { return std::holds_alternative<std::shared_ptr<VariantObject>>(value_); }
  const Value& value() const { return value_; }

  // Conversions as the automation runtime does them: numbers round half to even, a text must
  // hold a whole number, empty is 0, true is -1. Failure throws error 13, a value out of the
  // target's range error 6.
  std::int32_t ToInt32() const;
  std::int16_t ToInt16() const;
  // Any number; a text must hold one decimal number. Objects throw error 13.
  double ToDouble() const;
  // Any non-zero number is true; a text is "True", "False" (any case) or a number.
  VBool ToBool() const;
  // Texts as they are, numbers in their shortest decimal form, true "True", empty "".
  std::string ToText() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  Value value_;
};

}  // namespace veltro
