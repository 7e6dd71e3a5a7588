// SPDX-License-Identifier: MIT
#include "core/platform/asciitext.h"

#include <cstdint>
#include <cstring>

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

std::string lowerAsciiCopy(std::string_view text)
{
    std::string lower(text.size(), '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    auto* out = reinterpret_cast<unsigned char*>(lower.data());
    // Branch-free, eight bytes at a time: a byte gets 0x20 added to it when it is an ASCII
    // letter from A to Z, found with carries that cannot cross from one byte to the next.
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        const std::uint64_t low7 = word & ~highs;
        const std::uint64_t atLeastA = low7 + (0x80 - 'A') * ones;
        const std::uint64_t aboveZ = low7 + (0x7F - 'Z') * ones;
        const std::uint64_t capitals = atLeastA & ~aboveZ & ~word & highs;
        word |= capitals >> 2;
        std::memcpy(out + i, &word, 8);
    }
    for (; i < text.size(); ++i) {
        const unsigned char c = in[i];
        out[i] = static_cast<unsigned char>(
            c | (static_cast<unsigned char>(static_cast<unsigned char>(c - 'A') < 26) << 5));
    }
    return lower;
}

} // namespace nuvio
