// SPDX-License-Identifier: MIT
#include "core/news/newsrefresh.h"

#include "core/language/addedtexts.h"
#include "core/net/credentials.h"
#include "core/net/httpclient.h"
#include "core/net/transferwindow.h"
#include "core/news/feedcache.h"
#include "core/news/feeddiscovery.h"
#include "core/news/feedlists.h"
#include "core/news/feedpolling.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/jsonfeed.h"
#include "core/news/newspage.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <optional>
#include <set>
#include <unistd.h>
#include <vector>

namespace nuvio {

namespace {

// One piece of a feed's part of the page, as the scan found it: kept so that the page can
// be written again, the same, when feeds that were late have come in.
struct Piece
{
    bool heading = false;
    std::string link;
    std::string title;
};

// Records what the scan finds and, while the first page is written, writes it there too.
class RecordingSink : public FeedSink
{
public:
    RecordingSink(std::vector<Piece>& pieces, NewsPageWriter* page) : m_pieces(pieces), m_page(page)
    {}
    void feedHeading(std::string_view link, std::string_view title) override
    {
        m_pieces.push_back({true, std::string(link), std::string(title)});
        if (m_page)
            m_page->feedHeading(link, title);
    }
    void item(std::string_view link, std::string_view title) override
    {
        m_pieces.push_back({false, std::string(link), std::string(title)});
        if (m_page)
            m_page->item(link, title);
    }

private:
    std::vector<Piece>& m_pieces;
    NewsPageWriter* m_page;
};

// Thrown out of the wait for a feed once the page has waited long enough for it.
struct StillPending
{
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
    std::string site;          // the website's address that led to `url`, its feed (see followPage)
    std::vector<Piece> pieces; // what it put on the page
    std::optional<FeedFailure> failure; // its first failure in this run
    bool pending = false;               // not answered when the page was first written
    bool closed = false;                // by its publisher (410), and not chosen anew since
};

std::vector<FeedFailure> failuresOf(const std::vector<Entry>& entries)
{
    std::vector<FeedFailure> failures;
    for (const auto& entry : entries) {
        if (entry.failure)
            failures.push_back(*entry.failure);
    }
    return failures;
}

// "A, B, C" and how many more, for the status line.
std::string pendingNames(const std::vector<Entry>& entries)
{
    constexpr std::size_t kNamed = 3;
    std::string names;
    std::size_t count = 0;
    for (const auto& entry : entries) {
        if (!entry.pending)
            continue;
        if (++count <= kNamed)
            names += (names.empty() ? "" : ", ") + entry.name;
    }
    if (count > kNamed)
        names += " (+" + std::to_string(count - kNamed) + ")";
    return names;
}

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

// Asked as a browser asks: the lists hold Windows-1252, servers expect UTF-8.
HttpRequest feedRequest(const Entry& entry, const NewsRefreshContext& context)
{
    HttpRequest request{webAddressUri(entry.url), conditionalHeaders(entry.cached)};
    request.withCookies = false;
    if (context.credentials) {
        if (const auto login = context.credentials->forRequest(request.url)) {
            request.user = login->user;
            request.password = login->password;
        }
    }
    return request;
}

// Asks the feed a website's page announced, and remembers it when it answers as a feed.
// Hosts that left a request of this run without any answer. Discovery's own requests to
// them fail at once, as the batch's do: a dead server costs the refresh one wait.
class SilentHosts
{
public:
    bool has(const std::string& url) const
    {
        return m_hosts.count(TransferWindow::hostOf(url)) > 0;
    }
    void note(const std::string& url, const HttpResult& result)
    {
        if (result.failure == HttpFailure::NoAnswer)
            m_hosts.insert(TransferWindow::hostOf(url));
    }
    static HttpResult answer()
    {
        HttpResult result;
        result.failure = HttpFailure::NoAnswer;
        result.error = "The server left an earlier request without any answer";
        return result;
    }

private:
    std::set<std::string> m_hosts;
};

HttpResult followTo(Entry& entry, std::string site, std::string feed,
                    const NewsRefreshContext& context, const std::function<void()>& yield,
                    SilentHosts& silent)
{
    entry.site = std::move(site);
    entry.url = std::move(feed);
    entry.cached = context.cache ? context.cache->load(entry.url, false) : std::nullopt;
    if (silent.has(entry.url))
        return SilentHosts::answer();
    HttpResult answer = context.http->start({feedRequest(entry, context)})->take(0, yield);
    silent.note(entry.url, answer);
    if (context.cache && ((answer.ok && isFeedDocument(answer.body)) || answer.notModified()))
        context.cache->rememberFoundFeed(entry.site, entry.url);
    return answer;
}

// A website's address typed for a feed: the page's answer is followed, in the same refresh,
// to the feed it announces, whose address the cache then keeps; later refreshes ask that
// feed and go back to the page only when the feed fails (the feed may have moved).
HttpResult followPage(Entry& entry, HttpResult answer, const NewsRefreshContext& context,
                      const std::function<void()>& yield, SilentHosts& silent)
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
        return followTo(entry, entry.url, std::move(*found), context, yield, silent);
    }
    const auto isGood = [](const HttpResult& result) {
        return (result.ok && isFeedDocument(result.body)) || result.notModified();
    };
    // The page is read again when its feed fails, and once a day in any case: it may
    // announce another feed by now.
    const bool feedAnswered = isGood(answer);
    if (feedAnswered && (!context.cache || !context.cache->foundFeedDue(entry.site)))
        return answer;
    HttpRequest pageRequest{webAddressUri(entry.site), {}};
    pageRequest.withCookies = false;
    const HttpResult page = silent.has(entry.site)
                                ? SilentHosts::answer()
                                : context.http->start({pageRequest})->take(0, yield);
    silent.note(entry.site, page);
    auto found =
        page.ok ? announcedFeed(page.body, page.url.empty() ? entry.site : page.url) : std::nullopt;
    // Asked: due again in a day, also when the page did not answer (its feed did).
    if (context.cache && feedAnswered && (!found || *found == entry.url))
        context.cache->rememberFoundFeed(entry.site, entry.url);
    else if (context.cache && page.ok && !found)
        context.cache->forgetFoundFeed(entry.site);
    // The feed's own failure stands when the page leads nowhere else; its last answer may
    // stand in for it.
    if (!found || *found == entry.url)
        return answer;
    // A feed that moved keeps its headlines, from its last good answer, until the new one
    // answers.
    std::string before = entry.url;
    std::optional<CachedFeed> beforeCached = entry.cached;
    HttpResult followed = followTo(entry, entry.site, std::move(*found), context, yield, silent);
    if (isGood(followed))
        return followed;
    entry.url = std::move(before);
    entry.cached = std::move(beforeCached);
    return answer;
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
FeedBody feedBody(HttpResult result, const Entry& entry, FeedCache* cache, FeedPolling& polling,
                  std::chrono::system_clock::time_point now)
{
    if (result.ok) {
        if (!isFeedDocument(result.body))
            throw FetchFailed(HttpFailure::None, result.status, "Not a feed");
        if (cache) {
            // Moved in and out: a large feed is not held twice.
            CachedFeed kept{std::move(result.body), true, result.etag, result.lastModified, {}};
            kept.address = std::move(result.url);
            kept.contentType = result.contentType;
            kept.freshUntil = freshUntil(result, now).value_or(kept.freshUntil);
            cache->store(entry.url, kept);
            polling.answered(entry.url, result);
            return {std::move(kept.body), std::move(kept.address), std::move(kept.contentType)};
        }
        return {std::move(result.body), std::move(result.url), std::move(result.contentType)};
    }
    if (result.notModified()) {
        polling.answered(entry.url, result);
        if (auto body = storedBody(entry, cache))
            return std::move(*body);
        fetchFailed(result);
    }
    if (result.status == 410)
        polling.gone(entry.url);
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
    const auto deadline = std::chrono::steady_clock::now() + context.patience;
    NewsRefreshResult result;
    const std::function<void()> yield = [&] {
        if (context.yield)
            context.yield();
        if (context.cancelled && context.cancelled())
            throw RunCancelled();
    };
    // The wait for a feed while the first page is being written: it gives up once the page
    // has waited long enough, and the feed follows on a page of its own.
    const std::function<void()> patientYield = [&] {
        yield();
        if (std::chrono::steady_clock::now() >= deadline)
            throw StillPending();
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

    // New headlines are judged against the page from before the refresh, also on a page
    // written again for late feeds: their old headlines are not new, and nothing is new
    // twice.
    std::string previous = previousPageText(pagePath);
    NewsPageWriter page(pagePath, previous);
    page.beginPage();
    yield();

    // Resolve in order up to the first entry whose resolution fails; the feeds before it
    // are fetched and written, then its failure ends the run.
    std::vector<Entry> entries;
    std::vector<HttpRequest> requests;
    const auto now = context.clock ? context.clock() : std::chrono::system_clock::now();
    FeedPolling polling(context.cache, now);
    std::vector<std::string> chosen;
    for (const auto& name : selected) {
        Entry entry{name, {}, nullptr, 0, std::nullopt, false, {}, {}, std::nullopt, false, false};
        try {
            entry.url = ResolveFeedUrl(name, catalog);
        } catch (...) {
            entry.resolveError = std::current_exception();
        }
        if (!entry.url.empty()) {
            chosen.push_back(entry.url);
            const bool known = polling.known(entry.url);
            if (context.cache) {
                if (std::string feed = context.cache->foundFeed(entry.url); !feed.empty()) {
                    entry.site = std::move(entry.url);
                    entry.url = std::move(feed);
                }
                entry.url = polling.address(entry.url);
                if (!known)
                    polling.reopen(entry.url);
                entry.cached = context.cache->load(entry.url, false);
            }
            entry.closed = known && polling.closed(entry.url);
            entry.waiting = (entry.cached && entry.cached->retryAfter > now) ||
                            (known && polling.leaveAlone(entry.url, entry.cached));
            if (!entry.waiting) {
                entry.fetchIndex = requests.size();
                requests.push_back(feedRequest(entry, context));
            }
        }
        const bool stop = entry.resolveError != nullptr;
        entries.push_back(std::move(entry));
        if (stop)
            break;
    }
    polling.finish(chosen);
    std::unique_ptr<HttpClient::Batch> fetches;
    SilentHosts silent;
    if (!requests.empty())
        fetches = context.http->start(requests);

    std::size_t feeds = 0;
    const auto failed = [&](Entry& entry, HttpFailure reason, long status) {
        if (!entry.failure)
            entry.failure = FeedFailure{entry.name, reason, status, false, entry.url};
        context.showStatus("Fejl " + entry.name);
        yield();
    };
    // One feed's part of the page. `patient`: it may be left pending, its last good answer
    // standing in for it until it comes.
    const auto writeFeed = [&](Entry& entry, FeedSink& sink, bool patient) {
        try {
            yield();
            FeedBody body;
            try {
                if (entry.waiting) {
                    auto stored = storedBody(entry, context.cache);
                    if (!stored && entry.closed)
                        return; // said when it closed
                    if (!stored)
                        throw FetchFailed(HttpFailure::Status, 503, "Retry later");
                    body = std::move(*stored);
                } else {
                    std::optional<HttpResult> first;
                    try {
                        first = fetches->take(entry.fetchIndex, patient ? patientYield : yield);
                    } catch (const StillPending&) {
                        entry.pending = true;
                    }
                    if (first) {
                        silent.note(entry.url, *first);
                        HttpResult answer =
                            followPage(entry, std::move(*first), context, yield, silent);
                        body = feedBody(std::move(answer), entry, context.cache, polling, now);
                    } else if (auto stored = storedBody(entry, context.cache)) {
                        body = std::move(*stored);
                    } else {
                        return;
                    }
                }
            } catch (const FetchFailed& failure) {
                failed(entry, failure.reason, failure.status);
                // Its last good answer keeps the feed's headlines on the page while its
                // server or the network is down.
                auto stored = storedBody(entry, context.cache);
                if (!stored)
                    return;
                body = std::move(*stored);
            }
            if (body.address.empty())
                body.address = entry.url;
            if (scanJsonFeed(body.text, context.maxNewsPerFeed, sink, yield, body.address))
                return;
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
                entry.failure = FeedFailure{entry.name, HttpFailure::BadAnswer, 0, true};
            }
            continue;
        }
        ++feeds;
        RecordingSink sink(entry.pieces, &page);
        writeFeed(entry, sink, true);
    }

    const bool late =
        std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.pending; });
    bool newNews = false;
    if (!late) {
        fetches.reset();
        if (context.cache)
            context.cache->prune();
        page.endPage();
        newNews = page.newNews();
        yield();
    } else {
        // The page is shown now with what has come, and written again when the rest has.
        page.endPage();
        yield();
        context.showStatus(addedText(AddedText::StillFetching, {pendingNames(entries)}));
        if (context.pageWritten) {
            NewsRefreshResult early;
            early.newNews = page.newNews();
            early.failures = failuresOf(entries);
            early.feeds = feeds;
            context.pageWritten(early);
        }
        for (auto& entry : entries) {
            if (!entry.pending)
                continue;
            entry.pieces.clear();
            RecordingSink sink(entry.pieces, nullptr);
            writeFeed(entry, sink, false);
            entry.pending = false;
        }
        fetches.reset();
        if (context.cache)
            context.cache->prune();
        NewsPageWriter again(pagePath, std::move(previous));
        again.beginPage();
        for (const auto& entry : entries) {
            for (const auto& piece : entry.pieces) {
                if (piece.heading)
                    again.feedHeading(piece.link, piece.title);
                else
                    again.item(piece.link, piece.title);
            }
        }
        again.endPage();
        newNews = again.newNews();
        yield();
    }
    result.failures = failuresOf(entries);
    if (result.failures.empty()) {
        context.showStatus(context.completedText);
        context.showStatus("");
    } else {
        // Kept until the next run, so that a failure is not taken for success.
        context.showStatus(failedRunText(context.completedText, result.failures, feeds));
    }
    result.newNews = newNews;
    result.feeds = feeds;
    return result;
}

} // namespace nuvio
