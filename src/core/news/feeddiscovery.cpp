// SPDX-License-Identifier: MIT
#include "core/news/feeddiscovery.h"

#include "core/net/privateaddress.h"
#include "core/news/atomscanner.h"
#include "core/news/feedencoding.h"
#include "core/news/jsonfeed.h"
#include "core/news/markuptags.h"
#include "core/platform/asciitext.h"
#include "core/platform/weburl.h"

#include <QString>
#include <QUrl>
#include <cstring>

namespace nuvio {

bool isFeedDocument(std::string_view body)
{
    // A UTF-16 feed is read as its characters: its bytes hold no "<rss" at all.
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
    if (body.size() >= 2 &&
        ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return isFeedDocument(decodeFeedBytes(std::string(body), {}));
    if (isJsonFeed(body))
        return true;
    // A start tag whose whole name, prefix and letter case aside, names a feed's element: a
    // page's <feedback-widget> or <rss-icon> does not. One pass from "<" to "<".
    for (std::size_t at = body.find('<'); at != std::string_view::npos;) {
        std::size_t end = at + 1;
        while (end < body.size() && !std::strchr(" \t\r\n/><", body[end]))
            ++end;
        const std::string_view name = body.substr(at + 1, end - at - 1);
        if (end < body.size() && body[end] != '<' && !name.empty() && name[0] != '/' &&
            name[0] != '!' && name[0] != '?') {
            const std::string_view local = localName(name);
            for (const std::string_view feed : {"rss", "rdf", "channel", "feed"}) {
                if (equalsIgnoringAsciiCase(local, feed))
                    return true;
            }
        }
        at = body.find('<', end);
    }
    // A lone Atom entry is a feed of that entry.
    return isAtomDocument(body);
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
           equalsIgnoringAsciiCase(type, "application/atom+xml") ||
           equalsIgnoringAsciiCase(type, "application/feed+json");
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
    // A page from the internet must not send the program to this machine or the network
    // behind it (a router's pages, a cloud's instance secrets); a page on one may.
    const bool pageIsPrivate = isPrivateHost(base.host().toStdString());
    bool hasBase = false; // only a page's first <base> counts
    // A page announces its feeds in its head: the reading ends where the body begins, and
    // after the first megabyte in any case, so that a huge page cannot hold the window up.
    constexpr std::size_t kLongestHead = std::size_t{1} << 20;
    const std::string_view head = body.substr(0, kLongestHead);
    for (auto tag = nextMarkupTag(head, 0); tag;
         tag = nextMarkupTag(head, pastRawText(head, *tag))) {
        if (equalsIgnoringAsciiCase(tag->name, "body"))
            break;
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
        if (feed.isValid() && !feed.host().isEmpty() && isWebUrl(address) &&
            (pageIsPrivate || !isPrivateHost(feed.host().toStdString())))
            return address;
    }
    return std::nullopt;
}

} // namespace nuvio
