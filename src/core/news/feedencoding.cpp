// SPDX-License-Identifier: MIT
#include "core/news/feedencoding.h"

#include "core/platform/asciitext.h"
#include "core/platform/cp1252.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace nuvio {

namespace {

const char* findPiece(const char* from, const char* end, std::string_view piece)
{
    return static_cast<const char*>(
        ::memmem(from, static_cast<std::size_t>(end - from), piece.data(), piece.size()));
}

bool isXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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

// No encoding's name is longer; a longer value is no name at all.
constexpr std::size_t kLongestName = 64;

// The encoding named in the XML declaration at the start of the text, if it names one.
std::optional<std::string_view> declaredEncoding(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isXmlBlank(text[i]))
        ++i;
    if (!startsWithIgnoringAsciiCase(text.substr(i), "<?xml") || i + 5 >= text.size() ||
        !isXmlBlank(text[i + 5]))
        return std::nullopt;
    // The declaration ends at "?>"; a declaration never closed is read to its first ">".
    std::size_t end = text.find('>', i);
    if (end == std::string_view::npos)
        end = text.size();
    const std::string_view declaration = text.substr(i + 5, end - (i + 5));
    constexpr std::string_view name = "encoding";
    for (std::size_t at = 0; at + name.size() <= declaration.size(); ++at) {
        if (at > 0 && !isXmlBlank(declaration[at - 1]))
            continue;
        if (!equalsIgnoringAsciiCase(declaration.substr(at, name.size()), name))
            continue;
        std::size_t j = at + name.size();
        while (j < declaration.size() && isXmlBlank(declaration[j]))
            ++j;
        if (j >= declaration.size() || declaration[j] != '=')
            continue;
        ++j;
        while (j < declaration.size() && isXmlBlank(declaration[j]))
            ++j;
        if (j >= declaration.size() || (declaration[j] != '"' && declaration[j] != '\''))
            return std::nullopt;
        const std::size_t close = declaration.find(declaration[j], j + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        return trimBlanks(declaration.substr(j + 1, close - j - 1));
    }
    return std::nullopt;
}

// The charset parameter of a Content-Type value, quoted or not.
std::optional<std::string_view> contentTypeCharset(std::string_view contentType)
{
    std::size_t semicolon = contentType.find(';');
    while (semicolon != std::string_view::npos) {
        const std::size_t next = contentType.find(';', semicolon + 1);
        std::string_view parameter = trimBlanks(contentType.substr(
            semicolon + 1,
            next == std::string_view::npos ? std::string_view::npos : next - semicolon - 1));
        const std::size_t equals = parameter.find('=');
        if (equals != std::string_view::npos &&
            equalsIgnoringAsciiCase(trimBlanks(parameter.substr(0, equals)), "charset")) {
            std::string_view value = trimBlanks(parameter.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return trimBlanks(value);
        }
        semicolon = next;
    }
    return std::nullopt;
}

// What a named encoding means for the feed: none when the name is not to be believed.
std::optional<FeedEncodingChoice> choiceForName(std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    if (name.size() > kLongestName)
        return FeedEncodingChoice{};
    const QByteArray wanted(name.data(), static_cast<qsizetype>(name.size()));
    QStringDecoder decoder(wanted.constData());
    if (!decoder.isValid())
        return FeedEncodingChoice{};
    const QByteArray known = QByteArray(decoder.name()).toUpper();
    if (known.startsWith("UTF-16") || known.startsWith("UTF-32"))
        return std::nullopt;
    // The name was read as ASCII: an encoding that reads ASCII otherwise (UTF-16 or UTF-32
    // under another of their names, such as UnicodeBig, or EBCDIC) cannot have written it.
    constexpr std::string_view ascii = "<?xml version=\"1.0\" encoding='x'?><rss>";
    QStringDecoder probe(wanted.constData(), QStringDecoder::Flag::Stateless);
    const QString read =
        probe.decode(QByteArrayView(ascii.data(), static_cast<qsizetype>(ascii.size())));
    if (read != QLatin1StringView(ascii.data(), static_cast<qsizetype>(ascii.size())))
        return std::nullopt;
    if (known == "UTF-8")
        return FeedEncodingChoice{FeedEncoding::Utf8, {}, 0};
    if (known == "WINDOWS-1252" || known == "ISO-8859-1" || known == "US-ASCII")
        return FeedEncodingChoice{};
    return FeedEncodingChoice{FeedEncoding::Other, wanted.toStdString(), 0};
}

// A UTF-8 sequence as its first byte starts it: how many bytes follow, the allowed range of
// the second (as the WHATWG decoder has them: no overlong forms, no surrogates, nothing
// beyond U+10FFFF), and the bits the first byte gives. None for a byte no sequence starts.
struct Utf8Lead
{
    std::size_t need;
    unsigned char lower;
    unsigned char upper;
    std::uint32_t bits;
    bool continues(std::size_t k, unsigned char c) const
    {
        return k == 0 ? c >= lower && c <= upper : c >= 0x80 && c <= 0xBF;
    }
};

std::optional<Utf8Lead> leadOf(unsigned char b)
{
    using Byte = unsigned char;
    if (b >= 0xC2 && b <= 0xDF)
        return Utf8Lead{1, 0x80, 0xBF, b & 0x1Fu};
    if (b >= 0xE0 && b <= 0xEF)
        return Utf8Lead{2, Byte(b == 0xE0 ? 0xA0 : 0x80), Byte(b == 0xED ? 0x9F : 0xBF), b & 0x0Fu};
    if (b >= 0xF0 && b <= 0xF4)
        return Utf8Lead{3, Byte(b == 0xF0 ? 0x90 : 0x80), Byte(b == 0xF4 ? 0x8F : 0xBF), b & 0x07u};
    return std::nullopt;
}

// The page's text as it is decoded: written through a pointer, as most of a feed is runs of
// ASCII copied whole, and grown only when a character reference needs the room.
class PageText
{
public:
    explicit PageText(std::size_t expected) : m_text(expected + 16, '\0') {}
    void append(const char* bytes, std::size_t n)
    {
        reserve(n);
        char* out = m_text.data() + m_used;
        if (n < 16) { // the words between letters: a call costs more than the copy
            for (std::size_t i = 0; i < n; ++i)
                out[i] = bytes[i];
        } else {
            std::memcpy(out, bytes, n);
        }
        m_used += n;
    }
    inline void character(char32_t code)
    {
        reserve(16);
        char* out = m_text.data() + m_used;
        if (code >= 0xA0 && code <= 0xFF) { // Latin-1's letters, most of a Danish feed's
            *out = static_cast<char>(code);
            ++m_used;
            return;
        }
        const int byte = code == 0xFFFD ? '?' : unicodeToCp1252(code);
        if (byte >= 0) {
            *out = static_cast<char>(byte);
            ++m_used;
            return;
        }
        char digits[8];
        int count = 0;
        for (std::uint32_t value = code; value > 0 || count == 0; value /= 10)
            digits[count++] = static_cast<char>('0' + value % 10);
        *out++ = '&';
        *out++ = '#';
        while (count > 0)
            *out++ = digits[--count];
        *out++ = ';';
        m_used = static_cast<std::size_t>(out - m_text.data());
    }
    std::string take() &&
    {
        m_text.resize(m_used);
        return std::move(m_text);
    }

private:
    void reserve(std::size_t n)
    {
        if (m_used + n > m_text.size())
            m_text.resize(std::max(m_text.size() * 2, m_used + n));
    }
    std::string m_text;
    std::size_t m_used = 0;
};

// Decodes UTF-8 into the page's characters. Each maximal invalid subsequence is one "?",
// the way a browser decodes.
std::string decodeUtf8(const unsigned char* s, std::size_t n)
{
    PageText out(n);
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = i;
        while (run + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + run, 8);
            if (word & 0x8080808080808080ull)
                break;
            run += 8;
        }
        while (run < n && s[run] < 0x80)
            ++run;
        if (run > i) {
            out.append(reinterpret_cast<const char*>(s + i), run - i);
            i = run;
            if (i >= n)
                break;
        }
        const unsigned char b = s[i];
        const auto lead = leadOf(b);
        if (!lead) {
            out.character(0xFFFD);
            ++i;
            continue;
        }
        std::uint32_t code = lead->bits;
        std::size_t j = i + 1;
        bool valid = true;
        for (std::size_t k = 0; k < lead->need; ++k, ++j) {
            if (j >= n || !lead->continues(k, s[j])) {
                valid = false;
                break;
            }
            code = (code << 6) | (s[j] & 0x3F);
        }
        // An invalid sequence is replaced as far as it was a valid prefix; the byte that
        // broke it starts afresh.
        out.character(valid ? code : 0xFFFD);
        i = j;
    }
    return std::move(out).take();
}

bool isValidUtf8WithNonAscii(const unsigned char* s, std::size_t n)
{
    bool beyondAscii = false;
    std::size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (!(word & 0x8080808080808080ull)) {
                i += 8;
                continue;
            }
        }
        const unsigned char b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        beyondAscii = true;
        const auto lead = leadOf(b);
        if (!lead)
            return false;
        for (std::size_t k = 0; k < lead->need; ++k) {
            if (i + 1 + k >= n || !lead->continues(k, s[i + 1 + k]))
                return false;
        }
        i += lead->need + 1;
    }
    return beyondAscii;
}

// UTF-16 code units into the page's characters; a surrogate without its partner and an odd
// last byte are no characters.
template <typename Unit> void appendUtf16(std::string& out, std::size_t count, Unit unitAt)
{
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendPageCharacter(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) +
                                             (char32_t(low) - 0xDC00));
                ++i;
                continue;
            }
        }
        appendPageCharacter(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
}

std::string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    appendUtf16(out, bytes.size() / 2, [&](std::size_t i) {
        const unsigned char a = s[2 * i], b = s[2 * i + 1];
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    });
    if (bytes.size() % 2)
        out += '?';
    return out;
}

std::string decodeOther(std::string_view bytes, const std::string& name)
{
    QStringDecoder decoder(name.c_str(), QStringDecoder::Flag::Stateless);
    const QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    appendUtf16(out, static_cast<std::size_t>(text.size()),
                [&](std::size_t i) { return units[i]; });
    return out;
}

} // namespace

void appendPageCharacter(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    if (code == 0xFFFD) {
        out += '?';
        return;
    }
    const int byte = unicodeToCp1252(code);
    if (byte >= 0) {
        out += static_cast<char>(byte);
        return;
    }
    out += "&#";
    out += std::to_string(static_cast<std::uint32_t>(code));
    out += ';';
}

QString fromPageText(std::string_view text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&' && i + 2 < text.size() && text[i + 1] == '#') {
            std::size_t j = i + 2;
            char32_t code = 0;
            while (j < text.size() && j - i < 10 && text[j] >= '0' && text[j] <= '9')
                code = code * 10 + static_cast<char32_t>(text[j++] - '0');
            if (j > i + 2 && j < text.size() && text[j] == ';' && code >= 0x80 &&
                code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFD &&
                unicodeToCp1252(code) < 0) {
                out.append(QString::fromUcs4(&code, 1));
                i = j + 1;
                continue;
            }
        }
        out.append(
            QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(text[i])))));
        ++i;
    }
    return out;
}

FeedEncodingChoice feedEncoding(std::string_view body, std::string_view contentType)
{
    const auto* s = reinterpret_cast<const unsigned char*>(body.data());
    if (body.size() >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF)
        return {FeedEncoding::Utf8, {}, 3};
    if (body.size() >= 2 && s[0] == 0xFF && s[1] == 0xFE)
        return {FeedEncoding::Utf16LittleEndian, {}, 2};
    if (body.size() >= 2 && s[0] == 0xFE && s[1] == 0xFF)
        return {FeedEncoding::Utf16BigEndian, {}, 2};
    if (declaresUtf(body))
        return {FeedEncoding::Utf8, {}, 0};
    if (const auto declared = declaredEncoding(body)) {
        if (auto choice = choiceForName(*declared))
            return *choice;
    }
    if (const auto charset = contentTypeCharset(contentType)) {
        if (auto choice = choiceForName(*charset))
            return *choice;
    }
    if (isValidUtf8WithNonAscii(s, body.size()))
        return {FeedEncoding::Utf8, {}, 0};
    return {};
}

std::string decodeFeedBytes(std::string body, std::string_view contentType)
{
    const FeedEncodingChoice choice = feedEncoding(body, contentType);
    const std::string_view bytes = std::string_view(body).substr(choice.skipped);
    switch (choice.encoding) {
    case FeedEncoding::Plain:
        return body;
    case FeedEncoding::Utf8:
        return decodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    case FeedEncoding::Utf16LittleEndian:
        return decodeUtf16(bytes, false);
    case FeedEncoding::Utf16BigEndian:
        return decodeUtf16(bytes, true);
    case FeedEncoding::Other:
        return decodeOther(bytes, choice.name);
    }
    return body;
}

} // namespace nuvio
