// SPDX-License-Identifier: MIT
#include "core/news/inerttext.h"

#include "core/platform/asciitext.h"

#include <cstdint>

namespace nuvio {

std::string escapeForPage(std::string_view text)
{
    // Sized once: a long title of quote marks would otherwise be copied as it grows.
    std::size_t size = text.size();
    for (const char c : text)
        size += c == '"' ? 5 : (c == '<' || c == '>') ? 3 : 0;
    std::string out;
    out.reserve(size);
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

// Decodes the character reference at text[i] == '&' the way an attribute value is read.
// Only what can change how a scheme reads matters here: numeric references and the named
// ones for blanks, line breaks, colons and letters' neighbours. Returns the code point
// and advances i past the reference, or returns -1 and leaves i alone.
long decodeReference(std::string_view text, std::size_t& i)
{
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
        ++j;
        const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
        if (hex)
            ++j;
        const std::size_t digitsStart = j;
        long value = 0;
        while (j < text.size()) {
            const int d = hexDigitValue(text[j]);
            if (d < 0 || d >= (hex ? 16 : 10))
                break;
            if (value < 0x110000)
                value = value * (hex ? 16 : 10) + d;
            ++j;
        }
        if (j == digitsStart)
            return -1;
        if (j < text.size() && text[j] == ';')
            ++j;
        i = j;
        return value;
    }
    static const struct
    {
        std::string_view name;
        long code;
    } named[] = {{"tab;", '\t'}, {"newline;", '\n'}, {"colon;", ':'}, {"nbsp;", 0xA0},
                 {"nbsp", 0xA0}, {"amp;", '&'},      {"amp", '&'},    {"lt;", '<'},
                 {"gt;", '>'},   {"quot;", '"'}};
    for (const auto& entry : named) {
        if (text.size() - j < entry.name.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < entry.name.size() && same; ++k)
            same = lowerAscii(text[j + k]) == entry.name[k];
        if (same) {
            i = j + entry.name.size();
            return entry.code;
        }
    }
    return -1;
}

} // namespace

bool isActiveLink(std::string_view link)
{
    // The first few significant characters decide; a scheme is short.
    std::string scheme;
    bool leading = true;
    for (std::size_t i = 0; i < link.size() && scheme.size() < 16;) {
        long code;
        if (link[i] == '&') {
            code = decodeReference(link, i);
            if (code < 0)
                code = static_cast<unsigned char>(link[i++]);
        } else {
            code = static_cast<unsigned char>(link[i++]);
        }
        if (leading && code <= 0x20)
            continue;
        leading = false;
        if (code == '\t' || code == '\n' || code == '\r')
            continue;
        if (code == ':') {
            scheme += ':';
            break;
        }
        scheme += code < 0x80 ? lowerAscii(static_cast<char>(code)) : '?';
    }
    return scheme == "javascript:" || scheme == "vbscript:" || scheme == "data:";
}

std::string pageLink(std::string_view link)
{
    return isActiveLink(link) ? std::string() : escapeForPage(link);
}

} // namespace nuvio
