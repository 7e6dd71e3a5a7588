#include "news/newsrefresh.h"

#include "net/httpclient.h"
#include "news/feedlists.h"
#include "news/feedscanner.h"
#include "news/feedtext.h"
#include "news/newspage.h"
#include "platform/errors.h"
#include "platform/textfile.h"

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
};

} // namespace

bool UpdateNews(const NewsRefreshContext& context)
{
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
        return false;
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
    std::vector<std::string> urls;
    for (const auto& name : selected) {
        Entry entry{name, {}, nullptr, 0};
        try {
            entry.url = ResolveFeedUrl(name, catalog);
        } catch (...) {
            entry.resolveError = std::current_exception();
        }
        if (!entry.url.empty()) {
            entry.fetchIndex = urls.size();
            urls.push_back(entry.url);
        }
        const bool stop = entry.resolveError != nullptr;
        entries.push_back(std::move(entry));
        if (stop)
            break;
    }
    std::unique_ptr<HttpClient::Batch> fetches;
    if (!urls.empty())
        fetches = context.http->start(urls);

    PageSink sink(page);
    for (const auto& entry : entries) {
        yield();
        if (entry.resolveError)
            std::rethrow_exception(entry.resolveError);
        yield();
        if (entry.url.empty())
            continue;
        try {
            yield();
            HttpResult result = fetches->take(entry.fetchIndex, yield);
            if (!result.ok)
                throw NuvioError(result.error);
            std::string text = prepareFeedText(std::move(result.body));
            yield();
            const FeedText feed(std::move(text));
            scanFeed(feed, context.maxNewsPerFeed, sink, yield);
        } catch (const RunCancelled&) {
            throw;
        } catch (const NewsPageWriteError&) {
            throw;
        } catch (const std::exception&) {
            context.showStatus("Fejl " + entry.name);
            yield();
        }
    }
    fetches.reset();

    page.endPage();
    yield();
    context.showStatus(context.completedText);
    context.showStatus("");
    return page.newNews();
}

} // namespace nuvio
