// SPDX-License-Identifier: MIT
#include "core/platform/cp1252.h"

#include <array>

namespace nuvio {

namespace {

// 0x80–0x9F; 0 marks an unassigned byte.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

char32_t cp1252ToUnicode(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char16_t mapped = kHigh[byte - 0x80];
    return mapped ? mapped : byte;
}

int unicodeToCp1252(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<int>(code);
    // Every character beyond Latin-1 that the code page has lies below U+2200; a feed full
    // of them asks for each one.
    static const auto bytes = [] {
        std::array<unsigned char, 0x2200> table{};
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] != 0)
                table[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
        }
        return table;
    }();
    if (code >= bytes.size() || bytes[code] == 0)
        return -1;
    return bytes[code];
}

} // namespace nuvio
