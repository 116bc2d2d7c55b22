// Feeds arbitrary bytes, as the input field would give them, to the check of typed
// numbers and holds the result against a separate statement of the accepted texts;
// every accepted text must convert to the correctly rounded double, and that double
// must render as glibc renders it. A difference aborts, naming the text.
//
// Random digits seldom come near the texts that are hard to round, so the first eight
// bytes are also read as a double, and the exact decimal text of the point halfway
// between it and the next double up is converted: it must round to the even one of the
// two, and with a digit more, or a digit fewer, away from the halfway point.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "commands.h"
#include "number_text.h"
#include "printable.h"
#include "reference_texts.h"

namespace {

// AddNumber reads at most this many bytes of the input field.
constexpr std::size_t kLongestInput = 1023;

std::string Bits(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a (bits %016" PRIx64 ")", value, std::bit_cast<std::uint64_t>(value));
    return text;
}

[[noreturn]] void Differs(std::string_view typed, const char *what, std::string_view core, std::string_view expected)
{
    std::fprintf(stderr, "number text %s (%zu bytes) %s:\n  core:      %.*s\n  expected:  %.*s\n",
                 Printable(typed).c_str(), typed.size(), what, static_cast<int>(core.size()), core.data(),
                 static_cast<int>(expected.size()), expected.data());
    std::abort();
}

void CheckConversion(std::string_view typed, double expected, const char *rule)
{
    if (!IsValidNumberText(std::string(typed).c_str()))
        Differs(typed, "is judged differently", "rejected", "accepted");
    const double value = NumberFromText(typed);
    if (std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected))
        Differs(typed, rule, Bits(value), Bits(expected));
}

void CheckHalfwayTexts(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double))
        return;
    double below;
    std::memcpy(&below, data, sizeof below);
    const bool negative = std::signbit(below);
    below = std::fabs(below);
    if (!std::isfinite(below))
        return;
    const double above = std::nextafter(below, INFINITY);
    // Exact in long double's 64-bit significand, beyond the largest double too.
    const long double halfway =
        (static_cast<long double>(below) + (std::isfinite(above) ? above : std::ldexp(1.0L, 1024))) / 2;

    char digits[1600];
    const int length = std::snprintf(digits, sizeof digits, "%s%.1100Lf", negative ? "-" : "", halfway);
    std::string text(digits, static_cast<std::size_t>(length));
    text.erase(text.find_last_not_of('0') + 1);  // exact: what is left ends in the last digit that counts
    if (text.back() == '.')
        text.pop_back();
    if (text.size() + 2 > kLongestInput)
        return;

    const double sign = negative ? -1.0 : 1.0;
    const bool belowIsEven = (std::bit_cast<std::uint64_t>(below) & 1) == 0;
    CheckConversion(text, sign * (belowIsEven ? below : above),
                    "lies halfway between two doubles but does not convert to the even one");
    const bool hasPoint = text.find('.') != std::string::npos;
    CheckConversion(text + (hasPoint ? "1" : ".1"), sign * above,
                    "lies just above halfway between two doubles but does not convert to the upper one");
    if (hasPoint) {
        // The last digit of a binary fraction is a 5: without it the text is just below halfway.
        text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        CheckConversion(text, sign * below,
                        "lies just below halfway between two doubles but does not convert to the lower one");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    char text[kLongestInput + 1];
    const std::size_t length = std::min(size, kLongestInput);
    if (length > 0)
        std::memcpy(text, data, length);
    text[length] = '\0';
    // Judged up to the first zero byte, like any text the field gives.
    const std::string_view typed(text);

    CheckHalfwayTexts(data, size);

    const bool accepted = IsValidNumberText(text);
    if (accepted != reference::IsNumberText(typed))
        Differs(typed, "is judged differently", accepted ? "accepted" : "rejected", accepted ? "rejected" : "accepted");
    if (!accepted)
        return 0;

    const double value = NumberFromText(typed);
    const double expected = reference::NumberFromText(typed);
    if (std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected))
        Differs(typed, "converts differently", Bits(value), Bits(expected));

    if (FormatFixed(value).view() != reference::Fixed(value))
        Differs(typed, "renders differently with six decimals", FormatFixed(value).view(), reference::Fixed(value));
    if (CompactNumberText(value).view() != reference::Compact(value))
        Differs(typed, "renders differently in compact form", CompactNumberText(value).view(),
                reference::Compact(value));
    return 0;
}
