// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// Letter case as the program's names and markers know it: only A–Z and a–z.
constexpr char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of a hexadecimal digit (either case), or -1.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// Only A–Z lowered; every other byte kept. The result has the same length.
std::string lowerAsciiCopy(std::string_view text);

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
bool containsIgnoringAsciiCase(std::string_view text, std::string_view needle);

// Without the blanks and tabs at either end.
std::string_view trimBlanks(std::string_view text);

} // namespace nuvio
