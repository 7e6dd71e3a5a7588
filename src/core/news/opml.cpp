// SPDX-License-Identifier: MIT
#include "core/news/opml.h"

#include "core/language/addedtexts.h"
#include "core/news/markuptags.h"
#include "core/platform/codepage.h"

#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace nuvio {

namespace {

OpmlError refusal(AddedText text, const std::string& fileName, const std::string& line = {},
                  const std::string& reason = {})
{
    // File names are the system's UTF-8; messages are Windows-1252.
    return OpmlError(addedText(text, {toCp1252(QString::fromUtf8(fileName)), line, reason}));
}

// Readers differ in the case of the attribute names ("xmlUrl", "xmlurl"); OPML's own
// attributes are never namespaced.
QString attribute(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    for (const auto& each : attributes) {
        if (each.namespaceUri().isEmpty() && each.name().compare(name, Qt::CaseInsensitive) == 0)
            return each.value().toString();
    }
    return {};
}

// XML 1.0 has no place for most control characters, even as references.
QString xmlText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
            out += c;
    }
    return out;
}

// Qt's reader compares each attribute of an element with every one before it, and looks a
// name's prefix up through every namespace declared around it: a 10 MB file of one element
// with a million attributes would hold the import for half an hour, one of nested elements
// that each declare a namespace for minutes. No reader writes more than a handful of
// either.
constexpr int kMostAttributes = 256;
constexpr int kMostNamespaces = 256;

bool hasCrowdedElement(std::string_view bytes)
{
    // The markup characters are ASCII in every encoding the reader takes but UTF-16 and
    // UTF-32, which are scanned as UTF-8.
    std::string converted;
    const auto encoding = QStringConverter::encodingForData(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1) {
        QStringDecoder decode(*encoding);
        const QString text =
            decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        converted = text.toStdString();
        bytes = converted;
    }
    int namespaces = 0;
    for (auto tag = nextMarkupTag(bytes, 0); tag; tag = nextMarkupTag(bytes, tag->end)) {
        if (tag->closing)
            continue;
        const std::string_view text = tag->text;
        int values = 0; // each attribute's value is quoted
        char quote = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
                if (++values > kMostAttributes)
                    return true;
            } else if ((c == ' ' || c == '\t' || c == '\r' || c == '\n') &&
                       text.substr(i + 1, 5) == "xmlns" && ++namespaces > kMostNamespaces) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<OpmlFeed> readOpml(std::string_view bytes, const std::string& fileName)
{
    if (static_cast<std::int64_t>(bytes.size()) > kOpmlSizeLimit)
        throw refusal(AddedText::OpmlTooLarge, fileName);
    if (hasCrowdedElement(bytes))
        throw refusal(AddedText::OpmlNotOpml, fileName);
    QXmlStreamReader reader(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::vector<OpmlFeed> feeds;
    bool rootSeen = false;
    bool bodySeen = false;
    bool inBody = false;
    int depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            // Entities are refused outright rather than limited: a feed list has no use for
            // them, and a limit only bounds the damage of an expanding one.
            if (!reader.entityDeclarations().isEmpty() ||
                reader.text().contains(QLatin1String("<!ENTITY")))
                throw refusal(AddedText::OpmlDeclaresEntities, fileName);
        } else if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const auto name = reader.name();
            if (depth == 1) {
                if (name != QLatin1String("opml"))
                    throw refusal(AddedText::OpmlNotOpml, fileName);
                rootSeen = true;
            } else if (depth == 2 && name == QLatin1String("body")) {
                bodySeen = inBody = true;
            } else if (inBody && name == QLatin1String("outline")) {
                const auto attributes = reader.attributes();
                const QString url = attribute(attributes, QLatin1String("xmlUrl")).trimmed();
                if (!url.isEmpty()) {
                    QString title = attribute(attributes, QLatin1String("title")).trimmed();
                    if (title.isEmpty())
                        title = attribute(attributes, QLatin1String("text")).trimmed();
                    feeds.push_back({title, url});
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 2)
                inBody = false;
            --depth;
        }
    }
    if (reader.hasError()) {
        // The parser's own reason is English; the user reads the interface language.
        const AddedText reason = reader.error() == QXmlStreamReader::PrematureEndOfDocumentError
                                     ? AddedText::XmlPrematureEnd
                                     : AddedText::XmlNotWellFormed;
        throw refusal(AddedText::OpmlNotXml, fileName, std::to_string(reader.lineNumber()),
                      addedText(reason));
    }
    if (!rootSeen || !bodySeen)
        throw refusal(AddedText::OpmlNotOpml, fileName);
    if (feeds.empty())
        throw refusal(AddedText::OpmlNoFeeds, fileName);
    return feeds;
}

std::string writeOpml(const std::vector<OpmlFeed>& feeds)
{
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("opml"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    writer.writeStartElement(QStringLiteral("head"));
    writer.writeTextElement(QStringLiteral("title"), QStringLiteral("nuvio"));
    // OPML dates are RFC 822 dates, in English whatever the user's language.
    writer.writeTextElement(
        QStringLiteral("dateCreated"),
        QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                              QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("body"));
    for (const auto& feed : feeds) {
        writer.writeEmptyElement(QStringLiteral("outline"));
        writer.writeAttribute(QStringLiteral("type"), QStringLiteral("rss"));
        writer.writeAttribute(QStringLiteral("text"), xmlText(feed.title));
        writer.writeAttribute(QStringLiteral("title"), xmlText(feed.title));
        writer.writeAttribute(QStringLiteral("xmlUrl"), xmlText(feed.xmlUrl));
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return out.toStdString();
}

} // namespace nuvio
