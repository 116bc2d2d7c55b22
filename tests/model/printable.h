// Texts of the tests shown in failure reports: C escapes for bytes outside printable
// ASCII, and long runs of one byte shortened, so that a 1000-digit text fits a line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Printable(std::string_view text)
{
    std::string shown = "\"";
    for (std::size_t at = 0; at < text.size();) {
        std::size_t run = 1;
        while (at + run < text.size() && text[at + run] == text[at])
            ++run;
        const unsigned char c = static_cast<unsigned char>(text[at]);
        std::string one;
        if (c == '"' || c == '\\') {
            one = std::string("\\") + static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            one = static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            one = escape;
        }
        if (run >= 8) {
            shown += "\" + " + std::to_string(run) + " * \"" + one + "\" + \"";
            at += run;
        } else {
            shown += one;
            ++at;
        }
    }
    shown += "\"";
    return shown;
}
