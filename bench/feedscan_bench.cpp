// SPDX-License-Identifier: MIT
// Preparing and scanning a 64 MB feed, the largest the refresh takes: declared UTF-8 with
// Danish letters and letters Windows-1252 lacks, the same in Windows-1252, and plain
// ASCII; each timed over several runs (minimum and median).
//
//   build/bench/feedscan_bench [runs]
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

struct Counter : FeedSink
{
    void feedHeading(std::string_view, std::string_view) override {}
    void item(std::string_view link, std::string_view title) override
    {
        bytes += link.size() + title.size();
        ++items;
    }
    std::size_t items = 0, bytes = 0;
};

std::string feedOf(const std::string& declaration, const std::string& letters)
{
    constexpr std::size_t kSize = std::size_t{64} << 20;
    std::string feed = declaration + "<rss version=\"2.0\"><channel><title>Big</title>"
                                     "<link>https://big.example/</link>";
    for (int i = 0; feed.size() < kSize - 4096; ++i) {
        feed += "<item><title>" + letters + " " + std::to_string(i) +
                "</title><link>https://big.example/" + std::to_string(i) +
                "</link><description><![CDATA[";
        const std::size_t end = (feed.size() / 4096 + 1) * 4096;
        while (feed.size() < end)
            feed += letters;
        feed += "]]></description></item>";
    }
    return feed + "</channel></rss>";
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const struct
    {
        const char* what;
        std::string feed;
    } feeds[] = {
        {"utf-8",
         feedOf("<?xml version=\"1.0\" encoding=\"utf-8\"?>", "Bl\xC3\xA5"
                                                              "b\xC3\xA6rgr\xC3\xB8"
                                                              "d \xE2\x80\x93 \xE2\x98\x85 ")},
        {"windows-1252", feedOf("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "Bl\xE5"
                                                                                     "b\xE6rgr\xF8"
                                                                                     "d \x96 ")},
        {"ascii", feedOf("<?xml version=\"1.0\"?>", "Blabaergrod - ")},
    };
    for (const auto& f : feeds) {
        std::vector<double> ms;
        Counter counter;
        for (int run = 0; run < runs; ++run) {
            std::string body = f.feed;
            const auto start = Clock::now();
            Counter found;
            scanFeed(FeedText(prepareFeedText(std::move(body))), 999999, found, {});
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            counter = found;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-13s %5.1f MB  %6zu items  min %7.1f ms  median %7.1f ms\n", f.what,
                    static_cast<double>(f.feed.size()) / (1 << 20), counter.items, ms.front(),
                    ms[ms.size() / 2]);
    }
}
