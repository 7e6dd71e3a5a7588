// SPDX-License-Identifier: MIT
#include "core/news/pageheadlines.h"

#include "core/news/markuptags.h"
#include "core/platform/codepage.h"
#include "core/platform/textfile.h"

#include <string>

namespace nuvio {

namespace {

constexpr std::string_view kHeadingMark = "url('stripes_gray.gif')";
constexpr std::string_view kHeadingEnd = "</b></font></a><br>";
constexpr std::string_view kNewItemMark = "<img src=\"feed-line-new.gif\"";
constexpr std::string_view kItemTitleStart = "border=\"0\">";
constexpr std::string_view kItemEnd = "</a></div>";

// The page keeps a feed's references as they came ("&amp;", "&#8217;") and escapes
// quote marks and angle brackets; a reader sees the characters.
QString decodeReferences(std::string_view bytes)
{
    return decodeCharacterReferences(fromCp1252(bytes)).trimmed();
}

} // namespace

PageHeadlines readPageHeadlines(std::string_view pageText)
{
    // The titles are escaped on the page, so no "<" inside one can be taken for the markup
    // around it.
    PageHeadlines headlines;
    for (const auto& line : splitLines(pageText)) {
        const std::string_view text = line;
        if (text.find(kHeadingMark) != std::string_view::npos && text.ends_with(kHeadingEnd)) {
            const auto start = text.rfind("<b>");
            if (start != std::string_view::npos && start + 3 <= text.size() - kHeadingEnd.size())
                headlines.feedTitles.push_back(decodeReferences(
                    text.substr(start + 3, text.size() - kHeadingEnd.size() - start - 3)));
        } else if (text.find(kNewItemMark) != std::string_view::npos && text.ends_with(kItemEnd)) {
            const auto start = text.rfind(kItemTitleStart);
            const auto from = start + kItemTitleStart.size();
            if (start != std::string_view::npos && from <= text.size() - kItemEnd.size()) {
                headlines.newItems.push_back(
                    decodeReferences(text.substr(from, text.size() - kItemEnd.size() - from)));
            }
        }
    }
    return headlines;
}

QString notificationBody(const QStringList& newItems)
{
    constexpr qsizetype kMostLines = 3;
    constexpr qsizetype kLongestLine = 100;
    QStringList lines;
    for (const QString& item : newItems.mid(0, kMostLines)) {
        if (item.size() <= kLongestLine) {
            lines.push_back(item);
            continue;
        }
        qsizetype keep = kLongestLine - 1;
        if (item.at(keep - 1).isHighSurrogate())
            --keep; // never half a character
        lines.push_back(item.left(keep) + QChar(0x2026));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace nuvio
