// Conversions between doubles and their decimal texts. They give the same bytes on
// every platform, whatever its C runtime does with printf and scanf.
#pragma once

#include <cstddef>
#include <string_view>

// Room for the longest fixed rendering of a double: a sign, 309 digits, a point and six decimals.
constexpr std::size_t kFixedTextCapacity = 320;

struct FixedText {
    char chars[kFixedTextCapacity];
    std::size_t length;

    std::string_view view() const { return {chars, length}; }
};

// Six digits after the point, rounded, never in exponent form; "inf", "-inf", "nan" or
// "-nan" for values that are not finite.
FixedText FormatFixed(double value);

// The correctly rounded double of a text of digits with an optional leading "-" and at
// most one point. Beyond the range of a double it gives plus or minus infinity; below
// the smallest subnormal, a zero of the text's sign.
double NumberFromText(std::string_view text);
