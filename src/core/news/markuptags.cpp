// SPDX-License-Identifier: MIT
#include "core/news/markuptags.h"

#include "core/platform/asciitext.h"

#include <QString>
#include <algorithm>

namespace nuvio {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool startsName(char c)
{
    const char lower = lowerAscii(c);
    return (lower >= 'a' && lower <= 'z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool endsName(char c)
{
    return isBlank(c) || c == '>' || c == '/';
}

// The position after the ">" that ends a tag opened at `from`, quoted values passed over.
std::size_t tagEnd(std::string_view text, std::size_t from)
{
    char quote = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

std::size_t pastMarker(std::string_view text, std::size_t from, std::string_view marker)
{
    const std::size_t at = text.find(marker, from);
    return at == std::string_view::npos ? at : at + marker.size();
}

// The end of a declaration such as a document type, whose internal subset in brackets
// may hold ">".
std::size_t declarationEnd(std::string_view text, std::size_t from)
{
    int brackets = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '[')
            ++brackets;
        else if (text[i] == ']' && brackets > 0)
            --brackets;
        else if (text[i] == '>' && brackets == 0)
            return i + 1;
    }
    return std::string_view::npos;
}

} // namespace

std::optional<MarkupTag> nextMarkupTag(std::string_view text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos || lt + 1 >= text.size())
            return std::nullopt;
        const std::string_view rest = text.substr(lt);
        std::size_t next;
        if (rest.starts_with("<!--")) {
            next = pastMarker(text, lt + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            next = pastMarker(text, lt + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            next = pastMarker(text, lt + 2, "?>");
        } else if (rest.starts_with("<!")) {
            next = declarationEnd(text, lt + 2);
        } else {
            const bool closing = rest[1] == '/';
            const std::size_t nameAt = lt + (closing ? 2 : 1);
            if (nameAt >= text.size() || !startsName(text[nameAt])) {
                i = lt + 1; // a lone "<" in text
                continue;
            }
            std::size_t nameEnd = nameAt;
            while (nameEnd < text.size() && !endsName(text[nameEnd]))
                ++nameEnd;
            const std::size_t end = tagEnd(text, nameEnd);
            if (end == std::string_view::npos)
                return std::nullopt;
            MarkupTag tag;
            tag.begin = lt;
            tag.end = end;
            tag.name = text.substr(nameAt, nameEnd - nameAt);
            tag.closing = closing;
            tag.empty = !closing && end >= 2 && text[end - 2] == '/';
            tag.text = text.substr(lt, end - lt);
            return tag;
        }
        if (next == std::string_view::npos)
            return std::nullopt;
        i = next;
    }
    return std::nullopt;
}

std::optional<std::string_view> tagAttribute(const MarkupTag& tag, std::string_view name)
{
    const std::string_view text = tag.text;
    std::size_t i = 1 + (tag.closing ? 1 : 0) + tag.name.size();
    while (i < text.size()) {
        while (i < text.size() && (isBlank(text[i]) || text[i] == '/'))
            ++i;
        if (i >= text.size() || text[i] == '>')
            break;
        const std::size_t nameAt = i;
        while (i < text.size() && !isBlank(text[i]) && text[i] != '=' && text[i] != '>' &&
               text[i] != '/')
            ++i;
        const std::string_view attribute = text.substr(nameAt, i - nameAt);
        while (i < text.size() && isBlank(text[i]))
            ++i;
        std::string_view value;
        bool hasValue = false;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && isBlank(text[i]))
                ++i;
            hasValue = true;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i];
                const std::size_t close = text.find(quote, i + 1);
                const std::size_t stop = close == std::string_view::npos ? text.size() : close;
                value = text.substr(i + 1, stop - i - 1);
                i = stop + 1;
            } else {
                const std::size_t valueAt = i;
                while (i < text.size() && !isBlank(text[i]) && text[i] != '>')
                    ++i;
                value = text.substr(valueAt, i - valueAt);
            }
        }
        if (!attribute.empty() && equalsIgnoringAsciiCase(attribute, name))
            return hasValue ? value : std::string_view();
    }
    return std::nullopt;
}

std::string_view localName(std::string_view name)
{
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view namePrefix(std::string_view name)
{
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

QString decodeCharacterReferences(const QString& text)
{
    QString out;
    out.reserve(text.size());
    // No reference is longer than "&#x10FFFF;": the ";" is looked for only that far, or
    // a text of "&" without one would be searched to its end for each.
    constexpr qsizetype kLongestReference = 10;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype end = -1;
        if (text.at(i) == QLatin1Char('&')) {
            const qsizetype stop = std::min(text.size(), i + kLongestReference + 1);
            for (qsizetype j = i + 1; j < stop && end < 0; ++j) {
                if (text.at(j) == QLatin1Char(';'))
                    end = j;
            }
        }
        if (end < 0) {
            out += text.at(i);
            continue;
        }
        const QString name = text.mid(i + 1, end - i - 1);
        char32_t code = 0;
        bool ok = true;
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        else if (name == QLatin1String("amp"))
            code = '&';
        else if (name == QLatin1String("lt"))
            code = '<';
        else if (name == QLatin1String("gt"))
            code = '>';
        else if (name == QLatin1String("quot"))
            code = '"';
        else if (name == QLatin1String("apos"))
            code = '\'';
        else if (name == QLatin1String("nbsp"))
            code = 0xA0;
        else
            ok = false;
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            out += text.at(i);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = end;
    }
    return out;
}

} // namespace nuvio
