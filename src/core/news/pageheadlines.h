// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

namespace nuvio {

// What a news page written by NewsPageWriter shows, read back from its text: the feeds'
// headings and the items marked new, each as the reader sees it (the page's escapes and
// the feed's character references decoded).
struct PageHeadlines
{
    QStringList feedTitles; // one per feed that had a heading, in page order
    QStringList newItems;   // the titles of the items marked new, in page order
};

PageHeadlines readPageHeadlines(std::string_view pageText);

} // namespace nuvio
