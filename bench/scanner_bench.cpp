// SPDX-License-Identifier: MIT
// The feed preparation and scanner on a 10 MB feed of 999 items without "<dc:date",
// next to the plain algorithm (a fresh search from each start, a branching lower-case
// copy) in the same run, with their results compared.
//
//   build/bench/scanner_bench
#include "core/news/feedlists.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Recorder : FeedSink
{
    void feedHeading(std::string_view link, std::string_view title) override
    {
        lines.push_back(std::string(link) + "|" + std::string(title));
    }
    void item(std::string_view link, std::string_view title) override
    {
        lines.push_back(std::string(link) + "|" + std::string(title));
    }
    std::vector<std::string> lines;
};

// The algorithm as first written: every search runs from its start to the end.
struct PlainFeed
{
    std::string text, lower;
    explicit PlainFeed(std::string t) : text(std::move(t))
    {
        lower = text;
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        }
    }
    std::size_t search(const std::string& m, std::size_t from) const
    {
        const auto at = lower.find(m, from < 1 ? 0 : from - 1);
        return at == std::string::npos ? 0 : at + 1;
    }
    std::string cut(std::size_t s, std::size_t e) const
    {
        const long long length = static_cast<long long>(e) - static_cast<long long>(s);
        if (length <= 0)
            return {};
        const std::size_t from = s < 1 ? 0 : s - 1;
        return from >= text.size() ? std::string()
                                   : text.substr(from, static_cast<std::size_t>(length));
    }
};

void plainScan(const PlainFeed& f, int maxItems, Recorder& sink)
{
    std::size_t c = f.search("<channel", 1), s = f.search("<title", c), e = f.search("</title>", s);
    const std::string title = StripMarkup(f.cut(s, e));
    c = f.search("<channel", 1);
    s = f.search("<link", c);
    e = f.search("</link", s);
    sink.feedHeading(StripMarkup(f.cut(s, e)), title);
    std::size_t r = e;
    int count = 0;
    std::size_t p = f.search("<item", r);
    while (p > 0) {
        s = f.search("<title", p);
        e = f.search("</title", p);
        const std::string t = trimControls(StripMarkup(f.cut(s, e)));
        s = f.search("<link", p);
        e = f.search("</link", p);
        const std::string l = trimControls(StripMarkup(f.cut(s, e)));
        r = e;
        if (f.search("<dc:date", p) > 0)
            r = f.search("</dc:date", p);
        sink.item(l, t);
        p = f.search("<item", r);
        if (++count >= maxItems)
            p = 0;
    }
}

struct Outcome
{
    double fastMs = 1e9;
    double plainMs = 0;
    bool identical = false;
};

Outcome measure(const std::string& body)
{
    Outcome outcome;
    Recorder fast;
    for (int run = 0; run < 5; ++run) {
        Recorder sink;
        std::string received = body; // the refresh hands the body over; it is not copied
        const auto start = Clock::now();
        const FeedText feed(prepareFeedText(std::move(received)));
        scanFeed(feed, 999, sink, {});
        outcome.fastMs = std::min(outcome.fastMs, msSince(start));
        fast = std::move(sink);
    }
    Recorder plain;
    const auto start = Clock::now();
    plainScan(PlainFeed(prepareFeedText(body)), 999, plain);
    outcome.plainMs = msSince(start);
    outcome.identical = fast.lines == plain.lines && fast.lines.size() == 1000;
    return outcome;
}

std::string feedWith(const std::string& description)
{
    std::string body =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>Stor "
        "feed</title><link>http://stor.dk/</link>";
    for (int i = 0; i < 999; ++i) {
        body += "<item><title><![CDATA[Overskrift nummer " + std::to_string(i) +
                " med \xC3\xA6\xC3\xB8\xC3\xA5]]></title><link>http://stor.dk/artikel/" +
                std::to_string(i) + "</link><description><![CDATA[" + description +
                "]]></description></item>";
    }
    return body + "</channel></rss>";
}

} // namespace

int main()
{
    // Descriptions of plain text, and of the HTML that most feeds carry in them.
    std::string html;
    while (html.size() < 10000)
        html += "<p>Tekst om <a href=\"http://stor.dk/x\">en sag</a> med <b>fede</b> ord.</p>";
    const std::pair<const char*, std::string> feeds[] = {
        {"text descriptions", feedWith(std::string(10000, 'x'))},
        {"HTML descriptions", feedWith(html)}};
    bool allIdentical = true;
    for (const auto& [name, body] : feeds) {
        const Outcome o = measure(body);
        std::printf("%s: %.1f MB, 999 items, no <dc:date\n", name,
                    static_cast<double>(body.size()) / 1e6);
        std::printf("  prepared and scanned  %8.2f ms  (%.2f GB/s; target < 10 ms)\n", o.fastMs,
                    static_cast<double>(body.size()) / o.fastMs / 1e6);
        std::printf("  plain algorithm       %8.2f ms\n", o.plainMs);
        std::printf("  speed-up              %8.0f x   (target >= 100 x)\n", o.plainMs / o.fastMs);
        std::printf("  results identical    %s\n", o.identical ? "yes" : "NO");
        allIdentical = allIdentical && o.identical;
    }
    return allIdentical ? 0 : 1;
}
