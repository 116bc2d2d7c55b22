// A second, independent statement of how the calculator reads and writes numbers, for
// the tests to hold the core against: the accepted language said by splitting the text
// instead of scanning it, glibc's conversions in place of from_chars and to_chars.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace reference {

inline bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An optional leading "-", then one or more digits, or zero or more digits, one point
// and one or more digits.
inline bool IsNumberText(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        return !text.empty() && AllDigits(text);
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = text.substr(point + 1);
    return AllDigits(whole) && !fraction.empty() && AllDigits(fraction);
}

// The correctly rounded double of an accepted text. glibc's strtod rounds correctly
// for texts of any length; out of range it gives HUGE_VAL or a zero of the text's sign
// (and sets ERANGE), which is the value wanted. The tests never change the locale, so
// the point is ".".
inline double NumberFromText(std::string_view text)
{
    const std::string terminated(text);
    return std::strtod(terminated.c_str(), nullptr);
}

// "%.6f": glibc prints the exact value of the double, rounded half to even.
inline std::string Fixed(double value)
{
    const int length = std::snprintf(nullptr, 0, "%.6f", value);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.6f", value);
    text.pop_back();
    return text;
}

// Fixed, without the zeros that end its fraction, nor a point left bare.
inline std::string Compact(double value)
{
    std::string text = Fixed(value);
    const std::size_t point = text.find('.');
    if (point == std::string::npos)
        return text;
    const std::size_t lastKept = text.find_last_not_of('0');
    text.resize(lastKept == point ? point : lastKept + 1);
    return text;
}

}  // namespace reference
