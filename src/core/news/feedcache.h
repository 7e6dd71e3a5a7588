// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace nuvio {

// What was kept of a feed's last answers: its body, the validators that let the next
// request be conditional, and how long the publisher asked us to stay away.
struct CachedFeed
{
    std::string body;
    bool hasBody = false;
    std::string etag;
    std::string lastModified;
    std::chrono::system_clock::time_point retryAfter{}; // no request before this
    // Where the body came from after any redirects: its relative links lead from there.
    std::string address{};
    // The answer's Content-Type: its charset decodes a body that names no encoding itself.
    std::string contentType{};
    // Until then the publisher said its answer stands: the feed is not asked (see freshUntil).
    std::chrono::system_clock::time_point freshUntil{};
};

// The feeds' last answers in files of their own in the user's cache folder, one file a
// feed address, kept between runs and bounded in total: the least recently stored go
// first. A damaged or missing file is a feed never seen; failures to store are ignored
// (the cache only saves work). A folder that is not the user's own, or that others may
// write, is not used at all, and no link in it is followed.
class FeedCache
{
public:
    explicit FeedCache(std::string folder, std::size_t maxBytes = std::size_t{64} << 20);

    // Without `withBody` only the validators and the waiting time (the body stays on disk).
    std::optional<CachedFeed> load(const std::string& url, bool withBody = true) const;
    void store(const std::string& url, const CachedFeed& feed);
    // Removes the least recently stored feeds until the cache is within its bound (after
    // stores only: a refresh that stored nothing does not list the folder).
    void prune();

    // The feed a website's address led to (see announcedFeed), so that later refreshes ask
    // the feed directly; empty when none is known. Kept like a feed's answer.
    std::string foundFeed(const std::string& pageUrl) const;
    // Remembers the feed the page was just read to announce, and when: the page is read
    // again a day later (see foundFeedDue), as a page may change to announce another.
    void rememberFoundFeed(const std::string& pageUrl, const std::string& feedUrl);
    // Whether a day has passed since the page was last read to the feed it announces.
    bool foundFeedDue(const std::string& pageUrl) const;
    void forgetFoundFeed(const std::string& pageUrl);

    const std::string& folder() const { return m_folder; }
    // $XDG_CACHE_HOME/nuvio/feeds, else ~/.cache/nuvio/feeds; empty when the program has
    // no private cache folder.
    static std::string defaultFolder();

private:
    std::string fileFor(const std::string& url) const;

    std::string m_folder;
    std::size_t m_maxBytes;
    std::size_t m_storedSincePrune = 0;
};

// A Retry-After value (seconds, or an HTTP date) as the time it names; at most a day
// ahead, so that no answer can silence a feed for good. Nothing for a value that is none.
std::optional<std::chrono::system_clock::time_point>
retryAfterTime(const std::string& value, std::chrono::system_clock::time_point now);

} // namespace nuvio
