// SPDX-License-Identifier: MIT
#include "core/news/newsrefresh.h"

#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/news/feeddiscovery.h"
#include "core/news/feedlists.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/newspage.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <cerrno>
#include <exception>
#include <optional>
#include <unistd.h>
#include <vector>

namespace nuvio {

namespace {

class PageSink : public FeedSink
{
public:
    explicit PageSink(NewsPageWriter& page) : m_page(page) {}
    void feedHeading(std::string_view link, std::string_view title) override
    {
        m_page.feedHeading(link, title);
    }
    void item(std::string_view link, std::string_view title) override { m_page.item(link, title); }

private:
    NewsPageWriter& m_page;
};

// A chosen feed as resolved before the fetching starts: its URL, or the failure that
// resolving it gave, to be raised when the run reaches it.
struct Entry
{
    std::string name;
    std::string url;
    std::exception_ptr resolveError;
    std::size_t fetchIndex = 0;
    std::optional<CachedFeed> cached; // validators and waiting time only
    bool waiting = false;             // the publisher asked us to stay away until later
    std::string site; // the website's address that led to `url`, its feed (see followPage)
};

std::vector<std::string> conditionalHeaders(const std::optional<CachedFeed>& cached)
{
    std::vector<std::string> headers;
    if (!cached || !cached->hasBody)
        return headers;
    if (!cached->etag.empty())
        headers.push_back("If-None-Match: " + cached->etag);
    if (!cached->lastModified.empty())
        headers.push_back("If-Modified-Since: " + cached->lastModified);
    return headers;
}

// Asks the feed a website's page announced, and remembers it when it answers as a feed.
HttpResult followTo(Entry& entry, std::string site, std::string feed,
                    const NewsRefreshContext& context, const std::function<void()>& yield)
{
    entry.site = std::move(site);
    entry.url = std::move(feed);
    entry.cached = context.cache ? context.cache->load(entry.url, false) : std::nullopt;
    HttpResult answer =
        context.http->start({HttpRequest{entry.url, conditionalHeaders(entry.cached)}})
            ->take(0, yield);
    if (context.cache && ((answer.ok && isFeedDocument(answer.body)) || answer.notModified()))
        context.cache->rememberFoundFeed(entry.site, entry.url);
    return answer;
}

// A website's address typed for a feed: the page's answer is followed, in the same refresh,
// to the feed it announces, whose address the cache then keeps; later refreshes ask that
// feed and go back to the page only when the feed fails (the feed may have moved).
HttpResult followPage(Entry& entry, HttpResult answer, const NewsRefreshContext& context,
                      const std::function<void()>& yield)
{
    if (entry.site.empty()) {
        std::optional<std::string> found;
        if (answer.ok) {
            found = announcedFeed(answer.body, answer.url.empty() ? entry.url : answer.url);
        } else if (answer.notModified() && context.cache) {
            // A page kept from before it was known to announce a feed.
            if (const auto kept = context.cache->load(entry.url); kept && kept->hasBody)
                found = announcedFeed(kept->body, entry.url);
        }
        if (!found)
            return answer;
        return followTo(entry, entry.url, std::move(*found), context, yield);
    }
    if ((answer.ok && isFeedDocument(answer.body)) || answer.notModified())
        return answer;
    const HttpResult page = context.http->get(entry.site, yield);
    auto found =
        page.ok ? announcedFeed(page.body, page.url.empty() ? entry.site : page.url) : std::nullopt;
    if (page.ok && !found && context.cache)
        context.cache->forgetFoundFeed(entry.site);
    // The feed's own failure stands when the page leads nowhere else; its last answer may
    // stand in for it.
    if (!found || *found == entry.url)
        return answer;
    return followTo(entry, entry.site, std::move(*found), context, yield);
}

// A feed that could not be fetched this time, and why.
class FetchFailed : public std::exception
{
public:
    FetchFailed(HttpFailure why, long httpStatus, std::string message)
        : reason(why), status(httpStatus), m_message(std::move(message))
    {}
    const char* what() const noexcept override { return m_message.c_str(); }
    HttpFailure reason;
    long status;

private:
    std::string m_message;
};

[[noreturn]] void fetchFailed(const HttpResult& result)
{
    throw FetchFailed(result.failure, result.status, result.error);
}

// A feed's text and the address it came from after any redirects, which its relative
// links lead from: a text kept from an earlier answer keeps that answer's address.
struct FeedBody
{
    std::string text;
    std::string address;
    std::string contentType; // the answer's, whose charset may name the text's encoding
};

// The feed's last good answer, when the cache has one.
std::optional<FeedBody> storedBody(const Entry& entry, FeedCache* cache)
{
    if (!cache || !entry.cached || !entry.cached->hasBody)
        return std::nullopt;
    auto full = cache->load(entry.url);
    if (!full || !full->hasBody)
        return std::nullopt;
    return FeedBody{std::move(full->body), std::move(full->address), std::move(full->contentType)};
}

// The body of a feed's answer, with what the cache keeps: every good answer is stored, an
// unchanged one (304) is the stored body, and a publisher that asks to wait (429/503 with
// Retry-After) is left alone until then while its stored body stands in. Anything else
// that is no good answer (a web page or an empty body is none) fails.
FeedBody feedBody(HttpResult result, const Entry& entry, FeedCache* cache)
{
    if (result.ok) {
        if (!isFeedDocument(result.body))
            throw FetchFailed(HttpFailure::None, result.status, "Not a feed");
        if (cache) {
            // Moved in and out: a large feed is not held twice.
            CachedFeed kept{std::move(result.body), true, result.etag, result.lastModified, {}};
            kept.address = std::move(result.url);
            kept.contentType = result.contentType;
            cache->store(entry.url, kept);
            return {std::move(kept.body), std::move(kept.address), std::move(kept.contentType)};
        }
        return {std::move(result.body), std::move(result.url), std::move(result.contentType)};
    }
    if (result.notModified()) {
        if (auto body = storedBody(entry, cache))
            return std::move(*body);
        fetchFailed(result);
    }
    const auto now = std::chrono::system_clock::now();
    const auto until = retryAfterTime(result.retryAfter, now);
    if ((result.status == 429 || result.status == 503) && until && cache) {
        CachedFeed kept = entry.cached.value_or(CachedFeed{});
        auto body = storedBody(entry, cache);
        kept.body = body ? body->text : std::string();
        kept.hasBody = body.has_value();
        kept.retryAfter = *until;
        cache->store(entry.url, kept);
        if (body)
            return std::move(*body);
    }
    fetchFailed(result);
}

} // namespace

NewsRefreshResult refreshNewsPage(const NewsRefreshContext& context)
{
    NewsRefreshResult result;
    const std::function<void()> yield = [&] {
        if (context.yield)
            context.yield();
        if (context.cancelled && context.cancelled())
            throw RunCancelled();
    };
    const std::string folder = context.installPath + "/";
    const std::string pagePath = folder + kNewsPageFile;

    if (!fileExists(folder + kSelectedFeedsFile)) {
        if (::unlink(pagePath.c_str()) != 0 && errno != ENOENT)
            throw errors::fromErrno(errno);
        return result;
    }
    context.showStatus(context.updatingText);

    const auto selected = readListForRefresh(folder + kSelectedFeedsFile);
    const auto catalog = readListForRefresh(folder + kFeedCatalogFile);

    NewsPageWriter page(pagePath, previousPageText(pagePath));
    page.beginPage();
    yield();

    // Resolve in order up to the first entry whose resolution fails; the feeds before it
    // are fetched and written, then its failure ends the run.
    std::vector<Entry> entries;
    std::vector<HttpRequest> requests;
    const auto now = std::chrono::system_clock::now();
    for (const auto& name : selected) {
        Entry entry{name, {}, nullptr, 0, std::nullopt, false, {}};
        try {
            entry.url = ResolveFeedUrl(name, catalog);
        } catch (...) {
            entry.resolveError = std::current_exception();
        }
        if (!entry.url.empty()) {
            if (context.cache) {
                if (std::string feed = context.cache->foundFeed(entry.url); !feed.empty()) {
                    entry.site = std::move(entry.url);
                    entry.url = std::move(feed);
                }
                entry.cached = context.cache->load(entry.url, false);
            }
            entry.waiting = entry.cached && entry.cached->retryAfter > now;
            if (!entry.waiting) {
                entry.fetchIndex = requests.size();
                requests.push_back({entry.url, conditionalHeaders(entry.cached)});
            }
        }
        const bool stop = entry.resolveError != nullptr;
        entries.push_back(std::move(entry));
        if (stop)
            break;
    }
    std::unique_ptr<HttpClient::Batch> fetches;
    if (!requests.empty())
        fetches = context.http->start(requests);

    PageSink sink(page);
    std::size_t feeds = 0;
    const auto failed = [&](const Entry& entry, HttpFailure reason, long status) {
        result.failures.push_back({entry.name, reason, status});
        context.showStatus("Fejl " + entry.name);
        yield();
    };
    for (auto& entry : entries) {
        yield();
        if (entry.resolveError)
            std::rethrow_exception(entry.resolveError);
        yield();
        if (entry.url.empty()) {
            // Nothing is fetched or written for it, but a chosen line that leads nowhere (a
            // catalogue name the catalogue no longer has) is the user's to know of.
            if (entry.name.find_first_not_of(" \t") != std::string::npos) {
                ++feeds;
                result.failures.push_back({entry.name, HttpFailure::BadAnswer, 0, true});
            }
            continue;
        }
        ++feeds;
        try {
            yield();
            FeedBody body;
            try {
                if (entry.waiting) {
                    auto stored = storedBody(entry, context.cache);
                    if (!stored)
                        throw FetchFailed(HttpFailure::Status, 503, "Retry later");
                    body = std::move(*stored);
                } else {
                    HttpResult answer =
                        followPage(entry, fetches->take(entry.fetchIndex, yield), context, yield);
                    body = feedBody(std::move(answer), entry, context.cache);
                }
            } catch (const FetchFailed& failure) {
                failed(entry, failure.reason, failure.status);
                // Its last good answer keeps the feed's headlines on the page while its
                // server or the network is down.
                auto stored = storedBody(entry, context.cache);
                if (!stored)
                    continue;
                body = std::move(*stored);
            }
            if (body.address.empty())
                body.address = entry.url;
            std::string text = prepareFeedText(std::move(body.text), body.contentType);
            yield();
            const FeedText feed(std::move(text));
            scanFeed(feed, context.maxNewsPerFeed, sink, yield, body.address);
        } catch (const RunCancelled&) {
            throw;
        } catch (const NewsPageWriteError&) {
            throw;
        } catch (const std::exception&) {
            failed(entry, HttpFailure::BadAnswer, 0);
        }
    }
    fetches.reset();
    if (context.cache)
        context.cache->prune();

    page.endPage();
    yield();
    if (result.failures.empty()) {
        context.showStatus(context.completedText);
        context.showStatus("");
    } else {
        // Kept until the next run, so that a failure is not taken for success.
        context.showStatus(failedRunText(context.completedText, result.failures, feeds));
    }
    result.newNews = page.newNews();
    result.feeds = feeds;
    return result;
}

} // namespace nuvio
