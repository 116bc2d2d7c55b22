#include "number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

FixedText FormatFixed(double value)
{
    FixedText text;
    const std::to_chars_result written =
        std::to_chars(text.chars, text.chars + kFixedTextCapacity, value, std::chars_format::fixed, 6);
    text.length = static_cast<std::size_t>(written.ptr - text.chars);
    return text;
}

double NumberFromText(std::string_view text)
{
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (read.ec != std::errc::result_out_of_range)
        return value;

    // from_chars leaves the value unset when it is out of range: decide which way.
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view integerPart = text.substr(0, text.find('.'));
    const bool overflows = integerPart.find_first_of("123456789") != std::string_view::npos;
    const double magnitude = overflows ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}
