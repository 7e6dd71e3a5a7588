// SPDX-License-Identifier: MIT
#include "core/news/pageheadlines.h"

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
    const QString text = fromCp1252(bytes);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end =
            text.at(i) == QLatin1Char('&') ? text.indexOf(QLatin1Char(';'), i) : -1;
        if (end < 0 || end - i > 10) {
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
    return out.trimmed();
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

} // namespace

PageHeadlines readPageHeadlines(std::string_view pageText)
{
    // The titles are escaped on the page, so no "<" inside one can be taken for the markup
    // around it.
    PageHeadlines headlines;
    for (const auto& line : splitLines(pageText)) {
        const std::string_view text = line;
        if (text.find(kHeadingMark) != std::string_view::npos && endsWith(text, kHeadingEnd)) {
            const auto start = text.rfind("<b>");
            if (start != std::string_view::npos && start + 3 <= text.size() - kHeadingEnd.size())
                headlines.feedTitles.push_back(decodeReferences(
                    text.substr(start + 3, text.size() - kHeadingEnd.size() - start - 3)));
        } else if (text.find(kNewItemMark) != std::string_view::npos && endsWith(text, kItemEnd)) {
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

} // namespace nuvio
