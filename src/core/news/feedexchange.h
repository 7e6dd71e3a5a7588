// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"
#include "core/news/feedcache.h"

#include <string>
#include <utility>
#include <vector>

namespace nuvio {

// What an import did.
struct OpmlImport
{
    int added = 0;
    int skipped = 0; // already chosen, repeated in the file, or no http(s) address
    // Logins written into the addresses (`user:password@`), by origin, each once: they
    // belong in the keyring, and the chosen feeds get the addresses without them.
    std::vector<std::pair<std::string, Credentials>> logins;
};

// Adds the feeds of an OPML file to the chosen feeds of the install folder, after those
// already chosen: a feed of the catalogue by its catalogue name, any other by its address;
// each added feed's title is kept (see kFeedTitlesFile).
// A feed already chosen (the same address, or a name that resolves to it) is skipped. The
// chosen-feeds file is replaced in one step, so a running copy takes the new choice at its
// next refresh, and is not touched when nothing is added. A refused file (OpmlError), or one
// that cannot be read, changes nothing.
OpmlImport importOpmlFile(const std::string& installPath, const std::string& opmlPath);

// Writes the chosen feeds to an OPML file, in their order, each titled by the name it was
// imported with, else by its catalogue name, else by the heading of its last good answer
// in the feed cache at `cacheFolder`, else by its feed's title on the news page, else by its
// address. Returns how many were written; none chosen is an OpmlError and writes nothing.
int exportOpmlFile(const std::string& installPath, const std::string& opmlPath,
                   const std::string& cacheFolder = FeedCache::defaultFolder());
// The same OPML text, with how many feeds it holds, for a stream of the caller's.
struct OpmlExport
{
    std::string text;
    int count = 0;
};
OpmlExport exportOpml(const std::string& installPath,
                      const std::string& cacheFolder = FeedCache::defaultFolder());

// The one line that says what was done, in the interface language (Windows-1252).
std::string importReport(const std::string& opmlPath, const OpmlImport& import);
std::string exportReport(const std::string& opmlPath, int count);

} // namespace nuvio
