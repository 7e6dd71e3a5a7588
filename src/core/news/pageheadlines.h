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

// The desktop notification's lines for the new headlines: the first three, each cut to at
// most 100 characters (the last an ellipsis where one was cut). A feed's title may be
// megabytes long; the notification service would take it whole and draw it for seconds.
QString notificationBody(const QStringList& newItems);

} // namespace nuvio
