// SPDX-License-Identifier: MIT
#include "core/news/feedpolling.h"

#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/platform/asciitext.h"
#include "core/platform/weburl.h"

#include <algorithm>
#include <curl/curl.h>

namespace nuvio {

namespace {

using std::chrono::seconds;
using std::chrono::system_clock;

// The longest a publisher's answer stands: a feed is asked at least daily.
constexpr std::chrono::hours kLongestLifetime{24};

// Keys no feed address has (a chosen address starts with its scheme), kept like answers.
constexpr const char* kChosenKey = "chosen feeds";
std::string movedKey(const std::string& url)
{
    return "moved " + url;
}
std::string goneKey(const std::string& url)
{
    return "gone " + url;
}

std::optional<long long> numberOf(std::string_view text)
{
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    // Any number too long to hold is longer than the longest lifetime.
    return text.size() > 12 ? 999999999999LL : std::stoll(std::string(text));
}

} // namespace

std::optional<system_clock::time_point> freshUntil(const HttpResult& answer,
                                                   system_clock::time_point now)
{
    std::optional<long long> lifetime;
    std::string_view directives = answer.cacheControl;
    while (!directives.empty()) {
        const std::size_t comma = std::min(directives.find(','), directives.size());
        const std::string_view directive = trimBlanks(directives.substr(0, comma));
        directives.remove_prefix(std::min(comma + 1, directives.size()));
        if (equalsIgnoringAsciiCase(directive, "no-cache") ||
            equalsIgnoringAsciiCase(directive, "no-store"))
            return std::nullopt;
        if (startsWithIgnoringAsciiCase(directive, "max-age=")) {
            std::string_view value = directive.substr(8);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            lifetime = numberOf(value).value_or(0);
        }
    }
    if (!lifetime && !answer.expires.empty()) {
        // An Expires that is no date (often "0" or "-1") means already expired.
        const time_t expires = curl_getdate(answer.expires.c_str(), nullptr);
        const time_t date = answer.date.empty() ? -1 : curl_getdate(answer.date.c_str(), nullptr);
        if (expires < 0)
            return std::nullopt;
        lifetime = date >= 0 ? expires - date : expires - system_clock::to_time_t(now);
    }
    if (!lifetime || *lifetime <= 0)
        return std::nullopt;
    const long long longest = std::chrono::duration_cast<seconds>(kLongestLifetime).count();
    return now + seconds(std::min(*lifetime, longest));
}

FeedPolling::FeedPolling(FeedCache* cache, system_clock::time_point now)
    : m_cache(cache), m_now(now)
{
    if (!m_cache)
        return;
    const auto chosen = m_cache->load(kChosenKey);
    if (!chosen || !chosen->hasBody)
        return;
    m_knowsChoice = true;
    std::string_view list = chosen->body;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find('\n'), list.size());
        m_known.emplace(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
    }
}

bool FeedPolling::known(const std::string& chosen) const
{
    return m_knowsChoice && m_known.count(chosen) > 0;
}

std::string FeedPolling::address(const std::string& asked) const
{
    if (!m_cache)
        return asked;
    const auto moved = m_cache->load(movedKey(asked));
    return moved && moved->hasBody && isWebUrl(moved->body) ? moved->body : asked;
}

bool FeedPolling::closed(const std::string& url) const
{
    if (!m_cache)
        return false;
    const auto gone = m_cache->load(goneKey(url), false);
    return gone && gone->hasBody;
}

bool FeedPolling::leaveAlone(const std::string& url, const std::optional<CachedFeed>& cached) const
{
    return (cached && cached->hasBody && cached->freshUntil > m_now) || closed(url);
}

void FeedPolling::answered(const std::string& url, const HttpResult& answer)
{
    if (!m_cache)
        return;
    if (!answer.movedTo.empty() && isWebUrl(answer.movedTo) && answer.movedTo != url) {
        // The answer goes with the feed to its new address, so that it is asked there
        // conditionally and stands in for it as before.
        if (auto kept = m_cache->load(url);
            kept && (answer.ok || !m_cache->load(answer.movedTo, false)))
            m_cache->store(answer.movedTo, *kept);
        m_cache->store(movedKey(url), {answer.movedTo, true, "", "", {}});
    }
    if (!answer.notModified())
        return;
    const auto until = freshUntil(answer, m_now);
    const std::string& at = answer.movedTo.empty() ? url : answer.movedTo;
    if (auto kept = m_cache->load(at); kept && kept->hasBody && until) {
        kept->freshUntil = *until;
        m_cache->store(at, *kept);
    }
}

void FeedPolling::gone(const std::string& url)
{
    if (m_cache)
        m_cache->store(goneKey(url), {"410", true, "", "", {}});
}

void FeedPolling::reopen(const std::string& url)
{
    if (closed(url))
        m_cache->store(goneKey(url), {"", false, "", "", {}});
}

void FeedPolling::finish(const std::vector<std::string>& chosen)
{
    if (!m_cache)
        return;
    std::set<std::string> now(chosen.begin(), chosen.end());
    if (m_knowsChoice && now == m_known)
        return;
    std::string list;
    for (const auto& url : now)
        list += url + "\n";
    m_cache->store(kChosenKey, {list, true, "", "", {}});
}

} // namespace nuvio
