// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <map>
#include <string>

namespace nuvio {

// The names feeds came with from another reader's OPML file, kept beside the chosen feeds
// so that an export gives them back: one line a feed, its address as chosen, a tab and the
// name, in UTF-8 (a name may hold any letter).
inline constexpr const char* kFeedTitlesFile = "newstitles.txt";

// The names by address; none when the file is missing or cannot be read.
std::map<std::string, QString> readFeedTitles(const std::string& installPath);
// Replaces the file in one step; a write-protected one is not replaced (the write fails).
void writeFeedTitles(const std::string& installPath, const std::map<std::string, QString>& titles);

// The heading of a feed's last good answer in the feed cache at `cacheFolder`, as a reader
// sees it (references decoded, on one line); empty when the cache has none.
QString cachedFeedHeading(const std::string& cacheFolder, const std::string& url);

} // namespace nuvio
