// SPDX-License-Identifier: MIT
#include "core/news/feedtitles.h"

#include "core/news/feedcache.h"
#include "core/news/feedpolling.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/jsonfeed.h"
#include "core/news/markuptags.h"
#include "core/platform/atomicfile.h"
#include "core/platform/codepage.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <chrono>
#include <vector>

namespace nuvio {

namespace {

// Ends the scan at the heading: the items are not needed.
struct HeadingFound
{
    std::string title;
};

class HeadingSink : public FeedSink
{
public:
    void feedHeading(std::string_view, std::string_view title) override
    {
        throw HeadingFound{std::string(title)};
    }
    void item(std::string_view, std::string_view) override {}
};

// A name on one line: a line break or tab would split the file's line.
QString oneLine(const QString& text)
{
    return text.simplified();
}

} // namespace

std::map<std::string, QString> readFeedTitles(const std::string& installPath)
{
    std::map<std::string, QString> titles;
    const std::string path = installPath + "/" + kFeedTitlesFile;
    if (!fileExists(path))
        return titles;
    try {
        for (const auto& line : splitLines(readFileBytes(path))) {
            const std::size_t tab = line.find('\t');
            if (tab != std::string::npos && tab > 0)
                titles[line.substr(0, tab)] = QString::fromUtf8(line.substr(tab + 1));
        }
    } catch (const std::exception&) {
        // Without its names an export falls back on the other titles; nothing is lost.
    }
    return titles;
}

void writeFeedTitles(const std::string& installPath, const std::map<std::string, QString>& titles)
{
    std::vector<std::string> lines;
    for (const auto& [address, title] : titles) {
        if (!oneLine(title).isEmpty())
            lines.push_back(address + "\t" + oneLine(title).toStdString());
    }
    try {
        writeFileAtomically(installPath + "/" + kFeedTitlesFile, joinLinesCrLf(lines));
    } catch (const FileWriteError& error) {
        throw errors::fromErrno(error.errorNumber());
    }
}

QString cachedFeedHeading(const std::string& cacheFolder, const std::string& url)
{
    if (cacheFolder.empty())
        return {};
    FeedCache cache(cacheFolder);
    std::string asked = cache.foundFeed(url);
    asked =
        FeedPolling(&cache, std::chrono::system_clock::now()).address(asked.empty() ? url : asked);
    const auto kept = cache.load(asked);
    if (!kept || !kept->hasBody)
        return {};
    HeadingSink sink;
    const std::string address = kept->address.empty() ? asked : kept->address;
    try {
        if (!scanJsonFeed(kept->body, 1, sink, {}, address))
            scanFeed(FeedText(prepareFeedText(kept->body, kept->contentType)), 1, sink, {},
                     address);
    } catch (const HeadingFound& found) {
        return oneLine(decodeCharacterReferences(fromCp1252(found.title)));
    } catch (const std::exception&) {
    }
    return {};
}

} // namespace nuvio
