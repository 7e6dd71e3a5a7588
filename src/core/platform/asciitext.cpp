// SPDX-License-Identifier: MIT
#include "core/platform/asciitext.h"

namespace nuvio {

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lowerAscii(text[i]) != lowerAscii(prefix[i]))
            return false;
    }
    return true;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && startsWithIgnoringAsciiCase(a, b);
}

bool containsIgnoringAsciiCase(std::string_view text, std::string_view needle)
{
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (startsWithIgnoringAsciiCase(text.substr(i), needle))
            return true;
    }
    return needle.empty();
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace nuvio
