// SPDX-License-Identifier: MIT
#include "core/news/feedtext.h"

#include "core/platform/asciitext.h"
#include "core/platform/cp1252.h"

#include <cstdint>
#include <cstring>

namespace nuvio {

namespace {

const char* findPiece(const char* from, const char* end, std::string_view piece)
{
    return static_cast<const char*>(
        ::memmem(from, static_cast<std::size_t>(end - from), piece.data(), piece.size()));
}

void removeAll(std::string& text, std::string_view piece)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* hit = findPiece(begin, end, piece);
    if (!hit)
        return;
    char* out = text.data() + (hit - begin);
    const char* in = hit;
    while (hit) {
        const std::size_t keep = static_cast<std::size_t>(hit - in);
        std::memmove(out, in, keep);
        out += keep;
        in = hit + piece.size();
        hit = findPiece(in, end, piece);
    }
    const std::size_t rest = static_cast<std::size_t>(end - in);
    std::memmove(out, in, rest);
    out += rest;
    text.resize(static_cast<std::size_t>(out - text.data()));
}

// Whether the text, lower-cased, contains encoding="utf. Looks only around each ="
// instead of lower-casing the whole feed.
bool declaresUtf(std::string_view text)
{
    constexpr std::string_view name = "encoding";
    const char* begin = text.data();
    const char* end = begin + text.size();
    for (const char* hit = findPiece(begin, end, "=\""); hit;
         hit = findPiece(hit + 1, end, "=\"")) {
        const auto at = static_cast<std::size_t>(hit - begin);
        if (at >= name.size() &&
            equalsIgnoringAsciiCase(text.substr(at - name.size(), name.size()), name) &&
            equalsIgnoringAsciiCase(text.substr(at + 2, 3), "utf"))
            return true;
    }
    return false;
}

} // namespace

namespace {

// Decodes `n` bytes at `s` into `out`, which may be `s` itself: no sequence is shorter
// than the one byte it becomes. Returns the decoded length.
std::size_t decodeUtf8(const unsigned char* s, std::size_t n, char* out)
{
    std::size_t o = 0;
    std::size_t i = 0;
    while (i < n) {
        // Runs of plain ASCII, eight bytes at a time.
        std::size_t run = i;
        while (run + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + run, 8);
            if (word & 0x8080808080808080ull)
                break;
            run += 8;
        }
        if (run > i) {
            std::memmove(out + o, s + i, run - i);
            o += run - i;
            i = run;
            if (i >= n)
                break;
        }
        const unsigned char b = s[i];
        if (b < 0x80) {
            out[o++] = static_cast<char>(b);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, as the WHATWG decoder has them.
        std::size_t need = 0;
        unsigned char lower = 0x80;
        unsigned char upper = 0xBF;
        std::uint32_t code = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            code = b & 0x0F;
            if (b == 0xE0)
                lower = 0xA0;
            if (b == 0xED)
                upper = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            code = b & 0x07;
            if (b == 0xF0)
                lower = 0x90;
            if (b == 0xF4)
                upper = 0x8F;
        } else {
            out[o++] = '?';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool valid = true;
        for (std::size_t k = 0; k < need; ++k, ++j) {
            const unsigned char lo = k == 0 ? lower : 0x80;
            const unsigned char hi = k == 0 ? upper : 0xBF;
            if (j >= n || s[j] < lo || s[j] > hi) {
                valid = false;
                break;
            }
            code = (code << 6) | (s[j] & 0x3F);
        }
        // An invalid sequence is replaced as far as it was a valid prefix; the byte that
        // broke it starts afresh.
        const int byte = valid ? unicodeToCp1252(code) : -1;
        out[o++] = byte < 0 ? '?' : static_cast<char>(byte);
        i = j;
    }
    return o;
}

} // namespace

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out(utf8.size(), '\0');
    out.resize(
        decodeUtf8(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), out.data()));
    return out;
}

std::string prepareFeedText(std::string body)
{
    removeAll(body, "#38;");
    if (declaresUtf(body))
        body.resize(decodeUtf8(reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                               body.data()));
    return body;
}

std::string StripMarkup(std::string_view text)
{
    constexpr std::string_view open = "<![CDATA[";
    if (const auto at = text.find(open); at != std::string_view::npos)
        text.remove_prefix(at + open.size());
    if (const auto at = text.find("]]>"); at != std::string_view::npos && at > 0)
        text = text.substr(0, at);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lt = text.find('<', i);
        if (lt == std::string_view::npos)
            break;
        const auto gt = text.find('>', lt);
        if (gt == std::string_view::npos)
            break;
        out.append(text.substr(i, lt - i));
        i = gt + 1;
    }
    out.append(text.substr(i));
    return out;
}

} // namespace nuvio
