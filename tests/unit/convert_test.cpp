#include "host/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "veltro/types.h"

namespace veltro::detail {
namespace {

struct RoundCase {
  double in;
  int out;
};

TEST(RoundToInt16, HalvesGoToEven) {
  const RoundCase cases[] = {{0.5, 0},         {1.5, 2},         {2.5, 2},
                             {-0.5, 0},        {-1.5, -2},       {-2.5, -2},
                             {2.4999, 2},      {2.5001, 3},      {32767, 32767},
                             {-32768, -32768}, {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& c : cases) EXPECT_EQ(RoundToInt16(c.in), c.out) << c.in;
}

TEST(RoundToInt16, OutOfRangeIsOverflow) {
  const double bad[] = {32767.5,
                        32768,
                        -32768.51,
                        -40000,
                        1e300,
                        std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()};
  for (double v : bad) {
    try {
      RoundToInt16(v);
      ADD_FAILURE() << v << " did not throw";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.Number(), 6);
      EXPECT_STREQ(e.what(), "Overflow");
    }
  }
}

TEST(RoundToInt32, RangeAndHalves) {
  EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(RoundToInt32(-2147483648.0), -2147483647 - 1);
  EXPECT_EQ(RoundToInt32(14250000.5), 14250000);
  EXPECT_THROW(RoundToInt32(2147483647.5), AutomationError);
}

struct NumberCase {
  const char* text;
  double value;
};

TEST(LeadingNumber, ReadsTheWayAnswersAreRead) {
  const NumberCase cases[] = {
      {"", 0},
      {"abc", 0},
      {"014250000", 14250000},
      {"+0050", 50},
      {"-0300", -300},
      {" 1 2 3", 123},
      {"12\t3\n4x9", 1234},
      {"3.75", 3.75},
      {"1E3", 1000},
      {"1e", 1},
      {"2D2", 200},
      {"12A5", 12},
      {"-", 0},
      {".5", 0.5},
      {"00000000000000000000000000000000000000000000000001", 1},
      {"+-5", 0},
      {"5-", 5},
      {"1.2.3", 1.2},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(LeadingNumber, HugeInputsStayFinite) {
  std::string digits(5000, '9');
  EXPECT_GT(LeadingNumber(digits), 1e300);
  EXPECT_TRUE(std::isinf(LeadingNumber("1e999999999")));
  EXPECT_EQ(LeadingNumber("1e-999999999"), 0.0);
  EXPECT_THROW(FieldInt16(digits, 1, digits.size()), AutomationError);
}

TEST(Mid, OneBasedInclusive) {
  EXPECT_EQ(Mid("FA014250000", 3, 11), "014250000");
  EXPECT_EQ(Mid("MD02", 4, 4), "2");
  EXPECT_EQ(Mid("MD0", 4, 4), "");
  EXPECT_EQ(Mid("AB", 2, 10), "B");
  EXPECT_EQ(Mid("AB", 0, 1), "A");
  EXPECT_EQ(Mid("AB", 3, 2), "");
}

TEST(FieldInt16, ParsesAndRounds) {
  EXPECT_EQ(FieldInt16("AG0128", 4, 6), 128);
  EXPECT_EQ(FieldInt16("IS0-0300", 4, 8), -300);
  EXPECT_EQ(FieldInt16("RG0", 4, 6), 0);
}

TEST(Text, DecimalPadTrim) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(-300), "-300");
  EXPECT_EQ(DecimalText(14250000), "14250000");
  EXPECT_EQ(PadLeft("5", 3), "005");
  EXPECT_EQ(PadLeft("12345", 3), "12345");
  EXPECT_EQ(PadLeft("ab", 4, ' '), "  ab");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\tx\t"), "\tx\t");
}

}  // namespace
}  // namespace veltro::detail
