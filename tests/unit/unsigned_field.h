// How a window reads a field's text as an unsigned decimal number: digits, optionally after
// spaces. Anything else, or a value above 4294967295, does not read as a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

inline std::optional<std::uint32_t> ReadUnsignedField(std::string_view text)
{
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}
