// SPDX-License-Identifier: MIT
#include "core/news/feedexchange.h"

#include "core/language/addedtexts.h"
#include "core/news/feedcache.h"
#include "core/news/feedlists.h"
#include "core/news/feedtitles.h"
#include "core/news/newspage.h"
#include "core/news/opml.h"
#include "core/news/pageheadlines.h"
#include "core/platform/asciitext.h"
#include "core/platform/atomicfile.h"
#include "core/platform/codepage.h"
#include "core/platform/cp1252.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace nuvio {

namespace {

// Two addresses name the same feed when they differ only in the letter case of the scheme
// and host, or in the "/" of an empty path.
std::string addressKey(const std::string& url)
{
    const auto scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const auto hostEnd = url.find_first_of("/?#", scheme + 3);
    std::string key = lowerAsciiCopy(url.substr(0, hostEnd));
    if (hostEnd == std::string::npos || url[hostEnd] != '/')
        key += '/';
    if (hostEnd != std::string::npos)
        key += url.substr(hostEnd);
    return key;
}

struct CatalogEntry
{
    std::string name;
    std::string url;
};

// The feed lists as they stand; a missing file is an empty list here, since an import into
// a fresh folder has nothing to compare with.
struct FeedLists
{
    std::vector<std::string> chosen;
    std::vector<CatalogEntry> catalog;
    std::map<std::string, std::string> nameByAddress; // by addressKey

    explicit FeedLists(const std::string& installPath)
    {
        const std::string chosenPath = installPath + "/" + kSelectedFeedsFile;
        const std::string catalogPath = installPath + "/" + kFeedCatalogFile;
        if (fileExists(chosenPath))
            chosen = readSelectedFeeds(chosenPath);
        if (!fileExists(catalogPath))
            return;
        // Lines the refresh could not use (blank, or a name without an address) name no
        // feed; they are no reason to refuse an import.
        for (const auto& line : readListForRefresh(catalogPath)) {
            const auto fields = commaFields(line);
            if (fields.size() >= 2)
                catalog.push_back({fields[0], fields[1]});
        }
        // A catalogue feed is chosen by its name only where the settings dialog shows the
        // name as it is and the name leads back to the feed.
        for (const auto& entry : catalog) {
            const std::string key = addressKey(entry.url);
            if (!entry.name.empty() && !isAddress(entry.name) && !isHeadingLine(entry.name) &&
                trimControls(entry.name) == entry.name && addressKey(resolve(entry.name)) == key)
                nameByAddress.emplace(key, entry.name);
        }
    }

    static bool isAddress(const std::string& line)
    {
        return startsWithIgnoringAsciiCase(line, "http://") ||
               startsWithIgnoringAsciiCase(line, "https://");
    }

    // As the refresh resolves a chosen line: an address as it stands, a name by the last
    // catalogue line of that name.
    std::string resolve(const std::string& line) const
    {
        if (isAddress(line))
            return line;
        std::string url;
        for (const auto& entry : catalog) {
            if (entry.name == line)
                url = entry.url;
        }
        return url;
    }
};

// The address as the chosen-feeds file holds it: Windows-1252 where the code page has every
// character (so an exported address comes back byte for byte), else percent-encoded UTF-8.
std::string feedAddress(const QString& url)
{
    bool fits = true;
    for (const QChar c : url) {
        if (c.isSurrogate() || unicodeToCp1252(c.unicode()) < 0) {
            fits = false;
            break;
        }
    }
    return fits ? toCp1252(url) : QUrl(url).toEncoded().toStdString();
}

bool usableAddress(const std::string& url)
{
    if (!FeedLists::isAddress(url) || url.size() > kRefreshLineLimit)
        return false;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false; // a line break would split the line in the file
    }
    return true;
}

std::string readOpmlBytes(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw errors::cannotOpenFile(path, errno);
    std::string bytes;
    char buffer[65536];
    // One byte past the limit is enough to know the file is too large, whatever the file
    // (a device or a pipe has no size to ask).
    while (static_cast<std::int64_t>(bytes.size()) <= kOpmlSizeLimit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw errors::cannotOpenFile(path, error);
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

void keepLogin(OpmlImport& result, const std::string& origin, const Credentials& login)
{
    if (origin.empty())
        return;
    for (auto& [known, credentials] : result.logins) {
        if (known == origin) {
            credentials = login; // the last one given, as for a chosen feed
            return;
        }
    }
    result.logins.emplace_back(origin, login);
}

} // namespace

OpmlImport importOpmlFile(const std::string& installPath, const std::string& opmlPath)
{
    const auto feeds = readOpml(readOpmlBytes(opmlPath), opmlPath);
    FeedLists lists(installPath);
    std::set<std::string> known;
    for (const auto& line : lists.chosen) {
        const std::string url = lists.resolve(line);
        if (!url.empty())
            known.insert(addressKey(url));
    }
    OpmlImport result;
    auto chosen = lists.chosen;
    auto titles = readFeedTitles(installPath);
    bool titled = false;
    for (const auto& feed : feeds) {
        // Taken from the text as read, so that a password beyond the code page stays whole.
        const AddressLogin taken = takeLoginFromAddress(feed.xmlUrl.toStdString());
        const std::string url = feedAddress(QString::fromStdString(taken.url));
        if (taken.login && usableAddress(url))
            keepLogin(result, credentialOrigin(taken.url), *taken.login);
        if (!usableAddress(url) || !known.insert(addressKey(url)).second) {
            ++result.skipped;
            continue;
        }
        // By its catalogue name, so that it shows under that name in the settings dialog.
        const auto name = lists.nameByAddress.find(addressKey(url));
        chosen.push_back(name != lists.nameByAddress.end() ? name->second : url);
        ++result.added;
        // The name the other reader gave it comes back with an export.
        if (!feed.title.isEmpty() && feed.title != feed.xmlUrl) {
            titles[url] = feed.title;
            titled = true;
        }
    }
    // The names first: a file that cannot take them leaves the choice as it was.
    if (titled)
        writeFeedTitles(installPath, titles);
    if (result.added > 0)
        writeSelectedFeeds(installPath + "/" + kSelectedFeedsFile, chosen);
    return result;
}

int exportOpmlFile(const std::string& installPath, const std::string& opmlPath,
                   const std::string& cacheFolder)
{
    const OpmlExport exported = exportOpml(installPath, cacheFolder);
    // The file is written beside its name and renamed over it: a device, a named pipe or a
    // folder standing there would be replaced by a file (as root, /dev/full would be gone).
    // Links are followed to what they name.
    struct stat target
    {
    };
    if (::stat(opmlPath.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
        throw OpmlError(addedText(AddedText::OpmlNotOrdinaryFile,
                                  {toCp1252(QString::fromUtf8(opmlPath.c_str()))}));
    writeFileAtomically(opmlPath, exported.text);
    return exported.count;
}

OpmlExport exportOpml(const std::string& installPath, const std::string& cacheFolder)
{
    const FeedLists lists(installPath);
    std::vector<std::pair<std::string, std::string>> entries; // chosen line, address
    for (const auto& line : lists.chosen) {
        const std::string url = lists.resolve(line);
        if (!url.empty())
            entries.emplace_back(line, url);
    }
    if (entries.empty())
        throw OpmlError(addedText(AddedText::OpmlNothingChosen));

    // The page has a heading for every feed that was fetched; only when none failed do its
    // headings stand for the chosen feeds one by one.
    QStringList pageTitles;
    const std::string pagePath = installPath + "/" + kNewsPageFile;
    if (fileExists(pagePath)) {
        pageTitles = readPageHeadlines(readFileBytes(pagePath)).feedTitles;
        if (pageTitles.size() != static_cast<qsizetype>(entries.size()))
            pageTitles.clear();
    }

    const auto titles = readFeedTitles(installPath);
    std::vector<OpmlFeed> feeds;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [line, url] = entries[i];
        QString title;
        if (const auto kept = titles.find(url); kept != titles.end()) {
            title = kept->second;
        } else if (!FeedLists::isAddress(line)) {
            title = fromCp1252(line);
        } else if (const auto name = lists.nameByAddress.find(addressKey(url));
                   name != lists.nameByAddress.end()) {
            title = fromCp1252(name->second);
        }
        // Its last good answer's heading, also when it failed since.
        if (title.isEmpty())
            title = cachedFeedHeading(cacheFolder, url);
        if (title.isEmpty() && !pageTitles.isEmpty())
            title = pageTitles.at(static_cast<qsizetype>(i));
        if (title.isEmpty())
            title = fromCp1252(url);
        feeds.push_back({title, fromCp1252(url)});
    }
    return {writeOpml(feeds), static_cast<int>(feeds.size())};
}

std::string importReport(const std::string& opmlPath, const OpmlImport& import)
{
    return addedText(AddedText::OpmlImported,
                     {toCp1252(QString::fromUtf8(opmlPath)), std::to_string(import.added),
                      std::to_string(import.skipped)});
}

std::string exportReport(const std::string& opmlPath, int count)
{
    return addedText(AddedText::OpmlExported,
                     {toCp1252(QString::fromUtf8(opmlPath)), std::to_string(count)});
}

} // namespace nuvio
