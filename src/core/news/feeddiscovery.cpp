// SPDX-License-Identifier: MIT
#include "core/news/feeddiscovery.h"

#include "core/news/markuptags.h"
#include "core/platform/asciitext.h"
#include "core/shell/navigationrules.h"

#include <QString>
#include <QUrl>
#include <cstring>

namespace nuvio {

bool isFeedDocument(std::string_view body)
{
    // One pass from "<" to "<", however large the page.
    for (std::size_t at = body.find('<'); at != std::string_view::npos;
         at = body.find('<', at + 1)) {
        const std::string_view rest = body.substr(at);
        for (const std::string_view marker : {"<rss", "<rdf:rdf", "<feed", "<channel"}) {
            if (startsWithIgnoringAsciiCase(rest, marker))
                return true;
        }
    }
    // A feed whose root carries a prefix ("<atom:feed") is no web page either.
    const auto root = nextMarkupTag(body, 0);
    if (!root)
        return false;
    const std::string_view name = localName(root->name);
    return equalsIgnoringAsciiCase(name, "feed") || equalsIgnoringAsciiCase(name, "rss") ||
           equalsIgnoringAsciiCase(name, "rdf");
}

namespace {

// An attribute value as HTML means it: character references decoded.
QString htmlAttributeText(std::string_view value)
{
    return decodeCharacterReferences(
               QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())))
        .trimmed();
}

bool hasToken(std::string_view list, std::string_view token)
{
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && std::strchr(" \t\r\n\f", list[i]))
            ++i;
        std::size_t end = i;
        while (end < list.size() && !std::strchr(" \t\r\n\f", list[end]))
            ++end;
        if (end > i && equalsIgnoringAsciiCase(list.substr(i, end - i), token))
            return true;
        i = end;
    }
    return false;
}

bool isFeedType(std::string_view type)
{
    type = trimBlanks(type.substr(0, type.find(';')));
    return equalsIgnoringAsciiCase(type, "application/rss+xml") ||
           equalsIgnoringAsciiCase(type, "application/atom+xml");
}

// The text of script and style elements is no markup, however it looks.
std::size_t pastRawText(std::string_view body, const MarkupTag& tag)
{
    const std::string_view name = tag.name;
    if (tag.closing || tag.empty ||
        !(equalsIgnoringAsciiCase(name, "script") || equalsIgnoringAsciiCase(name, "style")))
        return tag.end;
    for (std::size_t at = body.find("</", tag.end); at != std::string_view::npos;
         at = body.find("</", at + 2)) {
        if (startsWithIgnoringAsciiCase(body.substr(at + 2), name))
            return at;
    }
    return body.size();
}

} // namespace

std::optional<std::string> announcedFeed(std::string_view body, std::string_view pageUrl)
{
    if (isFeedDocument(body))
        return std::nullopt;
    QUrl base(QString::fromUtf8(pageUrl.data(), static_cast<qsizetype>(pageUrl.size())));
    bool hasBase = false; // only a page's first <base> counts
    for (auto tag = nextMarkupTag(body, 0); tag;
         tag = nextMarkupTag(body, pastRawText(body, *tag))) {
        if (tag->closing)
            continue;
        if (equalsIgnoringAsciiCase(tag->name, "base") && !hasBase) {
            hasBase = true;
            if (const auto href = tagAttribute(*tag, "href"))
                base = base.resolved(QUrl(htmlAttributeText(*href)));
            continue;
        }
        if (!equalsIgnoringAsciiCase(tag->name, "link"))
            continue;
        const auto rel = tagAttribute(*tag, "rel");
        const auto type = tagAttribute(*tag, "type");
        const auto href = tagAttribute(*tag, "href");
        if (!rel || !type || !href || !hasToken(*rel, "alternate") || !isFeedType(*type))
            continue;
        const QUrl feed = base.resolved(QUrl(htmlAttributeText(*href)));
        const std::string address = feed.toString(QUrl::FullyEncoded).toStdString();
        if (feed.isValid() && !feed.host().isEmpty() && isWebUrl(address))
            return address;
    }
    return std::nullopt;
}

} // namespace nuvio
