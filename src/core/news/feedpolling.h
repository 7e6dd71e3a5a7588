// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace nuvio {

class FeedCache;
struct CachedFeed;
struct HttpResult;

// Until when an answer may stand without asking again: its Cache-Control max-age, else its
// Expires (counted from its Date, so that a clock set wrong here does not matter), at most
// a day. Nothing when it says no-cache, no-store or max-age=0, or names no lifetime.
std::optional<std::chrono::system_clock::time_point>
freshUntil(const HttpResult& answer, std::chrono::system_clock::time_point now);

// How a refresh keeps from asking publishers more than they want: a feed whose last answer
// still stands is not asked, one that moved for good is asked at its new address, and one
// its publisher closed (410) is asked no more. A feed newly chosen (not chosen at the last
// refresh) is asked at once, also when it was closed before. What it knows is kept in the
// feed cache; without one every feed is asked, as always.
class FeedPolling
{
public:
    FeedPolling(FeedCache* cache, std::chrono::system_clock::time_point now);

    // `chosen` (the address the lists give) was chosen at the last refresh too.
    bool known(const std::string& chosen) const;
    // The address a feed moved to for good (301, 308), else the one asked.
    std::string address(const std::string& asked) const;
    // Whether the feed is left alone this time: its last answer stands, or it is closed.
    bool leaveAlone(const std::string& url, const std::optional<CachedFeed>& cached) const;
    bool closed(const std::string& url) const;

    // After an answer that is a feed (or unchanged): a move to remember, and the lifetime
    // of an unchanged answer (a full one is stored with its own).
    void answered(const std::string& url, const HttpResult& answer);
    // 410 Gone: said in this refresh, then no more requests.
    void gone(const std::string& url);
    // A feed chosen anew is asked again, whatever its publisher said before.
    void reopen(const std::string& url);
    // Remembers what this refresh found chosen, to tell the feeds chosen after it.
    void finish(const std::vector<std::string>& chosen);

private:
    FeedCache* m_cache;
    std::chrono::system_clock::time_point m_now;
    std::set<std::string> m_known;
    bool m_knowsChoice = false;
};

} // namespace nuvio
