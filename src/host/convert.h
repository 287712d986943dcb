// The conversions every part of the library shares. Nothing else parses, rounds, pads or trims.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltro::detail {

// Nearest 16-bit integer, halves to even; NaN or a value outside the range throws error 6.
std::int16_t RoundToInt16(double value);
// The same for 32 bits.
std::int32_t RoundToInt32(double value);

// The leading number of a text, as answers are read: blanks, tabs and line feeds are skipped
// wherever they stand; an optional sign, digits, a decimal point and an exponent are taken;
// the first other character ends the number; no digits gives 0. Never throws (a huge exponent
// gives an infinity, which RoundToInt16 then refuses).
double LeadingNumber(std::string_view text);

// `value` in single precision; NaN or a value beyond its range throws error 6.
float ToSingle(double value);
// `value` itself; NaN or an infinity throws error 6 (a failed step of an answer's decoder).
double Finite(double value);

// Characters `first`..`last` (1-based, inclusive) of `text`; shorter where the text ends.
std::string_view Mid(std::string_view text, std::size_t first, std::size_t last);

// The leading number of text positions first..last, rounded to 16 bits (the answers' fields).
std::int16_t FieldInt16(std::string_view text, std::size_t first, std::size_t last);

// Decimal digits with "-" when negative and no leading blank: 5 -> "5", -300 -> "-300".
std::string DecimalText(long long value);

// `text` with `fill` put in front until it is at least `width` characters long.
std::string PadLeft(std::string_view text, std::size_t width, char fill = '0');

// `text` without blanks at either end (only the blank character; inner blanks stay).
std::string_view Trim(std::string_view text);

}  // namespace veltro::detail
