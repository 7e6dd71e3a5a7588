// SPDX-License-Identifier: MIT
#include "core/news/feedcache.h"

#include "core/platform/atomicfile.h"
#include "core/platform/clocktime.h"
#include "core/platform/userfolders.h"
#include "core/platform/weburl.h"

#include <QCryptographicHash>
#include <algorithm>
#include <curl/curl.h>
#include <ext/stdio_filebuf.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nuvio {

namespace fs = std::filesystem;

namespace {

// The file: "nuvio-feed 5", the address, the validators, the waiting time, the body's size,
// the address the body came from, its Content-Type and the time its answer stands until on
// a line each, a blank line, then the body as it came. The size tells a body cut short (a crash
// before the unflushed file reached the disk) from a whole one: the last good answer is shown when
// a fetch fails, and half a feed shows as empty headlines.
constexpr std::string_view kMagic = "nuvio-feed 5\n";
// The same without the time its answer stands until: asked at the next refresh, as then.
constexpr std::string_view kMagicWithoutFreshness = "nuvio-feed 4\n";
// The same without the Content-Type, and without the body's address too, as the versions
// before wrote it: still the feed's last good answer, which stands in for it when the
// first refresh after an update fails.
constexpr std::string_view kMagicWithoutType = "nuvio-feed 3\n";
constexpr std::string_view kMagicWithoutAddress = "nuvio-feed 2\n";

// The longest a publisher can make us wait.
constexpr std::chrono::hours kLongestWait{24};

std::string oneLine(const std::string& text)
{
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::replace(line.begin(), line.end(), '\r', ' ');
    return line;
}

} // namespace

FeedCache::FeedCache(std::string folder, std::size_t maxBytes)
    : m_folder(std::move(folder)), m_maxBytes(maxBytes)
{}

std::string FeedCache::defaultFolder()
{
    const std::string cache = privateCacheFolder();
    return cache.empty() ? cache : cache + "/feeds";
}

std::string FeedCache::fileFor(const std::string& url) const
{
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(url), QCryptographicHash::Sha256)
            .toHex();
    return m_folder + "/" + digest.left(32).toStdString();
}

std::optional<CachedFeed> FeedCache::load(const std::string& url, bool withBody) const
{
    if (m_folder.empty() || !isOwnFolder(m_folder))
        return std::nullopt;
    // Not through a link (one put there names a file of the user's that is no feed), and
    // only a plain file: a pipe would make the refresh wait on it.
    const int fd = ::open(fileFor(url).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    __gnu_cxx::stdio_filebuf<char> file(fd, std::ios::in | std::ios::binary); // closes fd
    std::istream in(&file);
    std::string magic(kMagic.size(), '\0');
    in.read(magic.data(), static_cast<std::streamsize>(magic.size()));
    std::string storedUrl, hasBody, retry, size, fresh;
    CachedFeed feed;
    const bool withFreshness = magic == kMagic;
    const bool withType = withFreshness || magic == kMagicWithoutFreshness;
    const bool withAddress = withType || magic == kMagicWithoutType;
    if ((!withAddress && magic != kMagicWithoutAddress) || !std::getline(in, storedUrl) ||
        storedUrl != oneLine(url) || !std::getline(in, hasBody) || !std::getline(in, feed.etag) ||
        !std::getline(in, feed.lastModified) || !std::getline(in, retry) ||
        !std::getline(in, size) || (withAddress && !std::getline(in, feed.address)) ||
        (withType && !std::getline(in, feed.contentType)) ||
        (withFreshness && !std::getline(in, fresh)))
        return std::nullopt;
    std::string blank;
    if (!std::getline(in, blank) || !blank.empty())
        return std::nullopt;
    if (!withType) {
        // Asked in full once more, so that the answer's address and Content-Type are
        // learnt: an unchanged answer (304) would not tell them, and the relative links
        // would lead from the chosen address instead of where its redirects went, the text
        // be read without the charset its answer named.
        feed.etag.clear();
        feed.lastModified.clear();
    }
    feed.hasBody = hasBody == "1";
    try {
        // A wait stored while the clock ran ahead (and set back since) is held to a day
        // from now, as when it was stored: no stored value stops a feed for good.
        feed.retryAfter = std::min(systemTimeFromSeconds(std::stoll(retry)),
                                   std::chrono::system_clock::now() + kLongestWait);
        if (withFreshness)
            feed.freshUntil = std::min(systemTimeFromSeconds(std::stoll(fresh)),
                                       std::chrono::system_clock::now() + kLongestWait);
        // Neither cut short nor grown, and no larger than the cache may hold.
        const auto bodySize = std::stoull(size);
        const auto headSize = static_cast<long long>(in.tellg());
        if (size.find_first_not_of("0123456789") != std::string::npos || headSize < 0 ||
            bodySize > m_maxBytes ||
            static_cast<unsigned long long>(st.st_size) != headSize + bodySize)
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (withBody) {
        std::ostringstream body;
        body << in.rdbuf();
        feed.body = std::move(body).str();
    }
    return feed;
}

void FeedCache::store(const std::string& url, const CachedFeed& feed)
{
    if (m_folder.empty())
        return;
    // A folder someone else owns or may write could hold anything under a feed's name:
    // the refresh then goes without the cache.
    ::mkdir(m_folder.c_str(), 0700);
    if (!isOwnFolder(m_folder))
        return;
    const auto seconds = [](std::chrono::system_clock::time_point time) {
        return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
    };
    std::string text(kMagic);
    text += oneLine(url) + "\n" + (feed.hasBody ? "1" : "0") + "\n" + oneLine(feed.etag) + "\n" +
            oneLine(feed.lastModified) + "\n" + std::to_string(seconds(feed.retryAfter)) + "\n" +
            std::to_string(feed.body.size()) + "\n" + oneLine(feed.address) + "\n" +
            oneLine(feed.contentType) + "\n" + std::to_string(seconds(feed.freshUntil)) + "\n\n";
    // Replaced whole, but not flushed to the disk: a refresh must not wait for hundreds of
    // flushes. A cache that cannot be written costs a full download next time, nothing more.
    try {
        AtomicFileWriter file(fileFor(url), AtomicFileWriter::Links::Replace);
        file.write(text);
        file.write(feed.body); // not appended to the head: a large feed is not copied
        file.commit(AtomicFileWriter::Durability::Unflushed);
        ++m_storedSincePrune;
    } catch (const std::exception&) {
    }
}

void FeedCache::prune()
{
    // Only what this run stored can have grown the cache.
    if (m_storedSincePrune == 0)
        return;
    m_storedSincePrune = 0;
    struct Entry
    {
        fs::path path;
        fs::file_time_type time;
        std::uintmax_t size;
    };
    std::vector<Entry> entries;
    std::uintmax_t total = 0;
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        const auto size = it->file_size(error);
        entries.push_back({it->path(), it->last_write_time(error), size});
        total += size;
    }
    if (total <= m_maxBytes)
        return;
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.time < b.time; });
    for (const auto& entry : entries) {
        if (total <= m_maxBytes)
            break;
        if (fs::remove(entry.path, error))
            total -= entry.size;
    }
}

namespace {
// A key no feed address has: a chosen address starts with its scheme.
std::string foundFeedKey(const std::string& pageUrl)
{
    return "found " + pageUrl;
}
} // namespace

std::string FeedCache::foundFeed(const std::string& pageUrl) const
{
    const auto found = load(foundFeedKey(pageUrl));
    return found && found->hasBody && isWebUrl(found->body) ? found->body : std::string();
}

void FeedCache::rememberFoundFeed(const std::string& pageUrl, const std::string& feedUrl)
{
    // The waiting time of a feed's answer is, here, when the page is to be read again.
    store(foundFeedKey(pageUrl),
          {feedUrl, true, "", "", std::chrono::system_clock::now() + kLongestWait});
}

bool FeedCache::foundFeedDue(const std::string& pageUrl) const
{
    const auto found = load(foundFeedKey(pageUrl), false);
    return !found || found->retryAfter <= std::chrono::system_clock::now();
}

void FeedCache::forgetFoundFeed(const std::string& pageUrl)
{
    if (!foundFeed(pageUrl).empty())
        store(foundFeedKey(pageUrl), {"", false, "", "", {}});
}

std::optional<std::chrono::system_clock::time_point>
retryAfterTime(const std::string& value, std::chrono::system_clock::time_point now)
{
    using namespace std::chrono;
    if (value.empty())
        return std::nullopt;
    const long long longest = duration_cast<seconds>(kLongestWait).count();
    if (std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return now + seconds(value.size() > 9 ? longest : std::min(std::stoll(value), longest));
    const time_t date = curl_getdate(value.c_str(), nullptr);
    if (date < 0)
        return std::nullopt;
    // Clamped in seconds first: a date in the year 9999 is beyond what the clock can hold.
    const long long nowSeconds = duration_cast<seconds>(now.time_since_epoch()).count();
    return std::min(systemTimeFromSeconds(std::min<long long>(date, nowSeconds + longest)),
                    now + kLongestWait);
}

} // namespace nuvio
