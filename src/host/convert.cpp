#include "host/convert.h"

#include <cmath>
#include <cstdlib>

#include "veltro/types.h"

namespace veltro::detail {

namespace {

// std::nearbyint rounds with the current mode, which is to nearest, ties to even.
double NearestEven(double value) { return std::nearbyint(value); }

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int16_t RoundToInt16(double value) {
  if (std::isnan(value)) throw AutomationError(ErrorNumber::kOverflow);
  double r = NearestEven(value);
  if (r < -32768.0 || r > 32767.0) throw AutomationError(ErrorNumber::kOverflow);
  return static_cast<std::int16_t>(r);
}

std::int32_t RoundToInt32(double value) {
  if (std::isnan(value)) throw AutomationError(ErrorNumber::kOverflow);
  double r = NearestEven(value);
  if (r < -2147483648.0 || r > 2147483647.0) throw AutomationError(ErrorNumber::kOverflow);
  return static_cast<std::int32_t>(r);
}

double LeadingNumber(std::string_view text) {
  // Collect the number's characters without the skipped blanks, then let strtod read them. The
  // common case (a few plain digits) is summed directly.
  char buf[64];
  std::size_t n = 0;
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && IsSkipped(text[i])) ++i;
  };
  auto put = [&](char c) {
    if (n < sizeof buf - 1) buf[n++] = c;
  };
  skip();
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    put(text[i++]);
  }
  long long whole = 0;
  int int_digits = 0;
  int dropped_digits = 0;  // integer digits beyond what the buffer holds scale the result
  bool any_digit = false;
  bool simple = true;
  for (;; ++i) {
    skip();
    if (i >= text.size() || !IsDigit(text[i])) break;
    any_digit = true;
    if (int_digits < 18) whole = whole * 10 + (text[i] - '0');
    if (int_digits == 0 && text[i] == '0') continue;  // leading zeros carry nothing
    ++int_digits;
    if (n < 40)
      put(text[i]);
    else
      ++dropped_digits;
  }
  if (i < text.size() && text[i] == '.') {
    simple = false;
    put('.');
    for (++i;; ++i) {
      skip();
      if (i >= text.size() || !IsDigit(text[i])) break;
      any_digit = true;
      if (n < 40) put(text[i]);
    }
  }
  if (!any_digit) return 0.0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t save_i = i;
    std::size_t save_n = n;
    ++i;
    skip();
    bool negative_exp = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative_exp = text[i++] == '-';
    bool exp_digit = false;
    long exp_value = 0;
    for (;; ++i) {
      skip();
      if (i >= text.size() || !IsDigit(text[i])) break;
      exp_digit = true;
      if (exp_value < 100000) exp_value = exp_value * 10 + (text[i] - '0');
    }
    if (exp_digit) {
      simple = false;
      put('e');
      long e = (negative_exp ? -exp_value : exp_value) + dropped_digits;
      dropped_digits = 0;
      std::string digits = std::to_string(e);
      for (char c : digits) put(c);
    } else {
      i = save_i;
      n = save_n;
    }
  }
  if (simple && int_digits <= 18 && dropped_digits == 0) {
    double v = static_cast<double>(whole);
    return negative ? -v : v;
  }
  if (dropped_digits > 0) {
    put('e');
    std::string digits = std::to_string(dropped_digits);
    for (char c : digits) put(c);
  }
  buf[n] = '\0';
  return std::strtod(buf, nullptr);
}

float ToSingle(double value) {
  if (!(std::fabs(value) <= 3.402823466e38)) throw AutomationError(ErrorNumber::kOverflow);
  return static_cast<float>(value);
}

double Finite(double value) {
  if (!std::isfinite(value)) throw AutomationError(ErrorNumber::kOverflow);
  return value;
}

std::string_view Mid(std::string_view text, std::size_t first, std::size_t last) {
  if (first < 1) first = 1;
  if (first > text.size() || last < first) return {};
  return text.substr(first - 1, last - first + 1);
}

std::int16_t FieldInt16(std::string_view text, std::size_t first, std::size_t last) {
  return RoundToInt16(LeadingNumber(Mid(text, first, last)));
}

std::string DecimalText(long long value) { return std::to_string(value); }

std::string PadLeft(std::string_view text, std::size_t width, char fill) {
  std::string out;
  if (text.size() < width) out.assign(width - text.size(), fill);
  out.append(text);
  return out;
}

std::string_view Trim(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}

}  // namespace veltro::detail
