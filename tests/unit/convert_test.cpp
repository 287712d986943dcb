#include "host/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "veltro/types.h"

namespace veltro::detail {
namespace {

int ErrorOf(double v) {
  try {
    RoundToInt16(v);
  } catch (const AutomationError& e) {
    return e.Number();
  }
  return 0;
}

TEST(RoundToInt16, HalvesGoToEvenAndOutOfRangeIsOverflow) {
  const std::pair<double, int> good[] = {
      {0.5, 0},   {1.5, 2},    {2.5, 2},    {-0.5, 0},        {-1.5, -2},
      {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {32767.4, 32767}, {-32768.5, -32768}};
  for (auto [in, out] : good) EXPECT_EQ(RoundToInt16(in), out) << in;
  for (double bad : {32767.5, 32768.0, -32768.51, 1e300, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(ErrorOf(bad), 6) << bad;
  }
  EXPECT_EQ(RoundToInt32(-2147483648.0), -2147483647 - 1);
  EXPECT_EQ(RoundToInt32(14250000.5), 14250000);
  EXPECT_THROW(RoundToInt32(2147483647.5), AutomationError);
}

// Leaves a "-" wherever the next call's locals may lie.
[[gnu::noinline]] void Smear() {
  volatile char junk[512];
  for (auto& c : junk) c = '-';
}

TEST(LeadingNumber, ReadsTheWayAnswersAreRead) {
  using Case = std::pair<const char*, double>;
  // Signs, blanks, fractions, exponents, and where the number stops.
  // clang-format off
  const Case cases[] = {{"", 0}, {"abc", 0}, {"014250000", 14250000}, {"+0050", 50}, {"-0300", -300},
                        {" 1 2 3", 123}, {"12\t3\n4x9", 1234}, {"3.75", 3.75}, {".5", 0.5},
                        {"1E3", 1000}, {"1e", 1}, {"2D2", 200}, {"2d2", 200}, {"12A5", 12},
                        {"-", 0}, {"+-5", 0}, {"5-", 5}, {"1.2.3", 1.2}};
  // clang-format on
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
  // Only zeros and no sign ("SH0000"): nothing of the sign is read from an unset place.
  Smear();
  EXPECT_FALSE(std::signbit(LeadingNumber("0000")));
  EXPECT_TRUE(std::signbit(LeadingNumber("-00")));
  std::string digits(5000, '9');
  EXPECT_GT(LeadingNumber(digits), 1e300);
  EXPECT_TRUE(std::isinf(LeadingNumber("1e999999999")));
  EXPECT_EQ(LeadingNumber("1e-999999999"), 0.0);
  EXPECT_THROW(FieldInt16(digits, 1, digits.size()), AutomationError);
}

TEST(Text, FieldsDecimalsPaddingAndTrimming) {
  auto join = [](auto... parts) { return ((std::string(parts) + "|") + ...); };
  EXPECT_EQ(join(Mid("FA014250000", 3, 11), Mid("MD0", 4, 4), Mid("AB", 3, 2), Mid("AB", 2, 10),
                 Mid("AB", 0, 1)),
            "014250000|||B|A|");
  EXPECT_EQ(FieldInt16("IS0-0300", 4, 8) + FieldInt16("RG0", 4, 6), -300);
  EXPECT_EQ(DecimalText(-300) + DecimalText(0), "-3000");
  EXPECT_EQ(PadLeft("5", 3) + PadLeft("12345", 3) + PadLeft("ab", 4, ' '), "00512345  ab");
  EXPECT_EQ(join(Trim("  a b  "), Trim("   "), Trim("\tx\t")), "a b||\tx\t|");
}

}  // namespace
}  // namespace veltro::detail
