// SPDX-License-Identifier: MIT
// A feed body through preparation, the scanner and the page writer's texts: nothing may
// crash, and the page must stay inert whatever the feed holds.
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/inerttext.h"
#include "core/news/newspage.h"
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
