// SPDX-License-Identifier: MIT
// A feed body through preparation, the scanner (RSS or Atom) and the page writer's texts:
// nothing may crash, and the page must stay inert whatever the feed holds. And the same
// body as a website's page: the feed it announces, if any, is an http or https address.
#include "core/news/feeddiscovery.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/inerttext.h"
#include "core/news/newspage.h"
#include "core/shell/navigationrules.h"
#include "support/pageinert.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct PageSink : nuvio::FeedSink
{
    std::string page = nuvio::NewsPageWriter::headerText();
    void feedHeading(std::string_view link, std::string_view title) override
    {
        page += nuvio::NewsPageWriter::headingText(link, title);
    }
    void item(std::string_view link, std::string_view title) override
    {
        page += nuvio::NewsPageWriter::itemText(nuvio::pageLink(link), title, true);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    if (const auto feed = nuvio::announcedFeed(body, "http://example.dk/a/b.html");
        feed && !nuvio::isWebUrl(*feed)) {
        std::fprintf(stderr, "a page leads to %s\n", feed->c_str());
        std::abort();
    }
    const nuvio::FeedText feed(nuvio::prepareFeedText(body));
    PageSink sink;
    // A small item limit keeps runs quick; the scanner's loop is the same at any limit.
    nuvio::scanFeed(feed, 30, sink, {});
    sink.page += nuvio::NewsPageWriter::footerText();
    const std::string problem = nuvio::test::pageInertnessProblem(sink.page);
    if (!problem.empty()) {
        std::fprintf(stderr, "page is not inert: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
