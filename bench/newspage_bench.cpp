// SPDX-License-Identifier: MIT
// The new-item rule at scale: a page of 50 feeds × 999 items (links of 20 to 120
// characters, half of them on the previous page) written against a previous page of about
// 15 MB, with the indexed check next to a plain search of the whole page per item.
//
//   build/bench/newspage_bench [plain-sample]
//
// The plain search is timed on a sample of items (1000 by default) and scaled to all of
// them; the answers of both methods are compared on that sample.
#include "core/news/newspage.h"
#include "core/news/substringindex.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long maxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string randomLink(std::mt19937& random)
{
    static const char* hosts[] = {"https://www.dr.dk/nyheder/", "https://nyheder.tv2.dk/",
                                  "http://politiken.dk/", "https://www.berlingske.dk/",
                                  "http://feeds.example.com/"};
    std::string link = hosts[random() % 5];
    const std::size_t length = 20 + random() % 101;
    while (link.size() < length)
        link += static_cast<char>("abcdefghijklmnopqrstuvwxyz0123456789-/"[random() % 38]);
    link.resize(length);
    return link;
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t sample = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000;
    const auto dir = std::filesystem::temp_directory_path() / "nuvio-newspage-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "news.html").string();
    std::mt19937 random(7);

    constexpr int feeds = 50;
    constexpr int items = 999;
    std::vector<std::string> oldLinks;
    {
        NewsPageWriter first(path, "");
        first.beginPage();
        for (int f = 0; f < feeds; ++f) {
            first.feedHeading("http://feed" + std::to_string(f) + ".dk/",
                              "Feed " + std::to_string(f));
            for (int i = 0; i < items; ++i) {
                oldLinks.push_back(randomLink(random));
                first.item(oldLinks.back(),
                           "En overskrift p\xE5 dansk, nummer " + std::to_string(i));
            }
        }
        first.endPage();
    }
    std::string previous = previousPageText(path);
    std::vector<std::string> links;
    for (std::size_t i = 0; i < oldLinks.size(); ++i)
        links.push_back(i % 2 ? oldLinks[random() % oldLinks.size()] : randomLink(random));
    std::printf("previous page %.1f MB, %zu items\n", static_cast<double>(previous.size()) / 1e6,
                links.size());

    const long rssBefore = maxRssKb();
    auto start = Clock::now();
    const SubstringIndex index(previous);
    const double build = secondsSince(start);
    start = Clock::now();
    std::size_t seen = 0;
    for (const auto& link : links)
        seen += index.contains(link);
    const double check = secondsSince(start);
    const long rssAfter = maxRssKb();

    start = Clock::now();
    std::size_t mismatches = 0;
    const std::size_t step = links.size() / std::max<std::size_t>(sample, 1);
    std::size_t sampled = 0;
    for (std::size_t i = 0; i < links.size() && sampled < sample;
         i += std::max<std::size_t>(step, 1), ++sampled) {
        const bool plain = previous.find(links[i]) != std::string::npos;
        mismatches += plain != index.contains(links[i]);
    }
    const double plainSample = secondsSince(start);
    const double plainAll =
        plainSample / static_cast<double>(sampled) * static_cast<double>(links.size());

    start = Clock::now();
    {
        NewsPageWriter page(path, previousPageText(path));
        page.beginPage();
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (i % items == 0)
                page.feedHeading("http://feed.dk/", "Feed");
            page.item(links[i], "Overskrift");
        }
        page.endPage();
    }
    const double wholeRun = secondsSince(start);

    std::printf("index build           %8.1f ms\n", build * 1e3);
    std::printf("indexed check, all    %8.1f ms  (%zu seen)\n", check * 1e3, seen);
    std::printf("index + check         %8.1f ms  (target < 200 ms)\n", (build + check) * 1e3);
    std::printf("index memory          %8.1f MB  (target < 32 MB extra); peak RSS grew %.1f MB\n",
                static_cast<double>(index.memoryUsed()) / 1e6,
                static_cast<double>(rssAfter - rssBefore) / 1e3);
    std::printf("plain search, %zu items %8.1f ms -> all items %.1f s\n", sampled,
                plainSample * 1e3, plainAll);
    std::printf(
        "speed-up              %8.0f x   (target >= 200 x); answers differing on the sample: %zu\n",
        plainAll / (build + check), mismatches);
    std::printf(
        "whole page written    %8.1f ms (read previous page, index, check, write 50 feeds)\n",
        wholeRun * 1e3);
    std::filesystem::remove_all(dir);
    return mismatches == 0 ? 0 : 1;
}
