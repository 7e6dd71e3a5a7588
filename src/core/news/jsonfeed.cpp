// SPDX-License-Identifier: MIT
#include "core/news/jsonfeed.h"

#include "core/news/feedencoding.h"
#include "core/news/feedlists.h"
#include "core/news/feedscanner.h"
#include "core/platform/weburl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QUrl>
#include <optional>
#include <string>

namespace nuvio {

namespace {

constexpr std::string_view kVersionPrefix = "https://jsonfeed.org/version/";
// A headline taken from an item's text when it has no title.
constexpr qsizetype kExcerptCharacters = 100;

// JSON is UTF-8; a byte-order mark and blanks may stand before it. A body that does not
// start as an object is not parsed at all: every RSS or Atom feed is spared the parser.
std::optional<QJsonObject> jsonFeedObject(std::string_view body)
{
    if (body.substr(0, 3) == "\xEF\xBB\xBF")
        body.remove_prefix(3);
    const std::size_t start = body.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || body[start] != '{')
        return std::nullopt;
    // Qt's parser is iterative with a bounded depth: deep nesting is an error, not a crash.
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(body.data(), static_cast<qsizetype>(body.size())));
    if (!document.isObject())
        return std::nullopt;
    QJsonObject feed = document.object();
    if (!feed.value(QLatin1String("version"))
             .toString()
             .startsWith(QLatin1String(kVersionPrefix.data(),
                                       static_cast<qsizetype>(kVersionPrefix.size()))))
        return std::nullopt;
    return feed;
}

QString stringMember(const QJsonObject& object, const char* name)
{
    return object.value(QLatin1String(name)).toString(); // another type is no value
}

// Plain text as the page holds it: "&" written as its entity (the text means the letter),
// letters the code page lacks as references. The page writer escapes quotes and brackets.
std::string plainPageText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t code : text.toUcs4()) {
        if (code == '&')
            out += "&amp;";
        else
            appendPageCharacter(out, code);
    }
    return out;
}

// HTML as the page holds it: its entities stay as they came, as in an RSS title.
std::string htmlPageText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t code : text.toUcs4())
        appendPageCharacter(out, code);
    return out;
}

// The text without its tags, each from "<" to the next ">", in one pass.
QString withoutTags(const QString& html)
{
    QString out;
    out.reserve(html.size());
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), at);
        if (open < 0)
            break;
        const qsizetype close = html.indexOf(QLatin1Char('>'), open);
        if (close < 0)
            break;
        out += QStringView(html).mid(at, open - at);
        at = close + 1;
    }
    out += QStringView(html).mid(at);
    return out;
}

// The start of a text, in one line: a body's line breaks and indentation are no headline's.
QString excerpt(const QString& text)
{
    QString line = text.simplified();
    if (line.size() > kExcerptCharacters) {
        qsizetype cut = kExcerptCharacters;
        if (line[cut - 1].isHighSurrogate())
            --cut;
        line.truncate(cut);
    }
    return line;
}

// An HTML excerpt must not end inside an entity, which would show as its letters.
QString htmlExcerpt(const QString& html)
{
    QString line = excerpt(withoutTags(html));
    const qsizetype amp = line.lastIndexOf(QLatin1Char('&'));
    if (amp >= 0 && line.indexOf(QLatin1Char(';'), amp) < 0 && line.size() - amp <= 10)
        line.truncate(amp);
    return line;
}

// An address as written when it is absolute; a relative one leads from where the feed came
// from, when that gives a web address.
std::string pageAddress(const QString& text, const QUrl& base)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return {};
    const QUrl url(address);
    if (url.isRelative() && base.isValid() && !base.host().isEmpty()) {
        const std::string resolved = base.resolved(url).toString(QUrl::FullyEncoded).toStdString();
        if (isWebUrl(resolved))
            return plainPageText(QString::fromStdString(resolved));
    }
    return plainPageText(address);
}

std::string itemTitle(const QJsonObject& item)
{
    const QString title = stringMember(item, "title");
    if (!title.isEmpty())
        return trimControls(plainPageText(title));
    for (const char* name : {"content_text", "summary"}) {
        const QString text = stringMember(item, name);
        if (!text.trimmed().isEmpty())
            return plainPageText(excerpt(text));
    }
    return htmlPageText(htmlExcerpt(stringMember(item, "content_html")));
}

std::string itemLink(const QJsonObject& item, const QUrl& base)
{
    for (const char* name : {"url", "external_url"}) {
        const QString url = stringMember(item, name);
        if (!url.trimmed().isEmpty())
            return pageAddress(url, base);
    }
    const QString id = stringMember(item, "id").trimmed();
    return isWebUrl(id.toStdString()) ? plainPageText(id) : std::string();
}

void callYield(const std::function<void()>& yield)
{
    if (yield)
        yield();
}

} // namespace

bool isJsonFeed(std::string_view body)
{
    return jsonFeedObject(body).has_value();
}

bool scanJsonFeed(std::string_view body, std::int32_t maxItems, FeedSink& sink,
                  const std::function<void()>& yield, std::string_view address)
{
    const auto feed = jsonFeedObject(body);
    if (!feed)
        return false;
    const QUrl base(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())));
    callYield(yield);
    sink.feedHeading(pageAddress(stringMember(*feed, "home_page_url"), base),
                     plainPageText(stringMember(*feed, "title")));
    callYield(yield);
    std::int32_t count = 0;
    const QJsonArray items = feed->value(QLatin1String("items")).toArray();
    for (const auto& value : items) {
        if (!value.isObject())
            continue;
        const QJsonObject item = value.toObject();
        sink.item(itemLink(item, base), itemTitle(item));
        callYield(yield);
        if (++count >= maxItems)
            break;
    }
    return true;
}

} // namespace nuvio
