// SPDX-License-Identifier: MIT
// Every routine over feed, page, OPML, language and file-list text on its own worst case
// (unclosed "&", "<", CDATA, quotes, nested bases, one huge section...) at 1, 2, 4, 8 and
// 16 MB. The last column is the exponent of the growth fitted over the sizes: about 1 for
// a routine linear in its input, 2 for a quadratic one ("NOT LINEAR" above 1.4). The
// OPML reader refuses files over 10 MB, so its largest input is 10 MB.
//
//   build/bench/textroutines_bench [MB ...]     (default 1 2 4 8 16)
#include "core/deffiles/definitionupdate.h"
#include "core/language/profileini.h"
#include "core/news/atomscanner.h"
#include "core/news/feeddiscovery.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/inerttext.h"
#include "core/news/markuptags.h"
#include "core/news/opml.h"
#include "core/news/pageheadlines.h"
#include "core/platform/fieldsplit.h"
#include "core/platform/textfile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::string_view kAtomHead =
    "<feed xmlns='http://www.w3.org/2005/Atom' xml:base='http://e.dk/a/b/'>";

struct Discard : FeedSink
{
    void feedHeading(std::string_view, std::string_view) override {}
    void item(std::string_view, std::string_view) override {}
};

// `piece` repeated to `bytes`, between `head` and `tail`.
std::string fill(std::size_t bytes, std::string_view piece, std::string_view head = {},
                 std::string_view tail = {})
{
    std::string text(head);
    text.reserve(bytes + tail.size() + piece.size());
    while (text.size() < bytes)
        text.append(piece);
    text.append(tail);
    return text;
}

struct Routine
{
    const char* name;
    // Makes the input of about `bytes` and returns what runs on it.
    std::function<std::function<void()>(std::size_t bytes)> prepare;
};

std::function<void()> scanning(std::string text, bool atom)
{
    auto feed = std::make_shared<FeedText>(std::move(text));
    return [feed, atom] {
        Discard sink;
        if (atom)
            scanAtomFeed(
                *feed, 999, sink, [] {}, "http://example.dk/feed");
        else
            scanFeed(
                *feed, 999, sink, [] {}, "http://example.dk/feed");
    };
}

std::function<void()> discovering(std::string page)
{
    return [page = std::move(page)] { (void)announcedFeed(page, "http://example.dk/"); };
}

std::function<void()> readingOpml(std::string bytes)
{
    return [bytes = std::move(bytes)] {
        try {
            (void)readOpml(bytes, "bench.opml");
        } catch (const std::exception&) {
        }
    };
}

const std::vector<Routine>& routines()
{
    static const std::vector<Routine> all = {
        {"character references, unclosed &",
         [](std::size_t n) {
             auto text = std::make_shared<QString>(QString(qsizetype(n), QLatin1Char('&')));
             return [text] { (void)decodeCharacterReferences(*text); };
         }},
        {"strip markup, unclosed <",
         [](std::size_t n) { return [text = fill(n, "<")] { (void)StripMarkup(text); }; }},
        {"strip markup, unclosed CDATA of tags",
         [](std::size_t n) {
             return [text = fill(n, "<b>&</b>]]", "<![CDATA[")] { (void)StripMarkup(text); };
         }},
        {"feed preparation, =\" and #38",
         [](std::size_t n) {
             return [text = fill(n, "encoding=\"#38#38;")] { (void)prepareFeedText(text); };
         }},
        {"RSS scanner, unclosed items",
         [](std::size_t n) {
             return scanning(
                 fill(n, "<item><title>&lt;<link>", "<rss><channel><title>t</title><link>l</link>"),
                 false);
         }},
        {"Atom scanner, nested bases",
         [](std::size_t n) {
             return scanning(
                 fill(
                     n,
                     "<entry xml:base='a/'><link href='&amp;'/><title>&lt;<b>x</b></title></entry>",
                     kAtomHead),
                 true);
         }},
        {"Atom scanner, unclosed quotes",
         [](std::size_t n) {
             return scanning(fill(n, "<entry><title>'<link href='", kAtomHead), true);
         }},
        {"discovery, unclosed <", [](std::size_t n) { return discovering(fill(n, "<")); }},
        {"discovery, unclosed quote",
         [](std::size_t n) {
             return discovering(fill(n, "<link rel='alternate' href='&", "<html>"));
         }},
        {"discovery, nested bases",
         [](std::size_t n) {
             return discovering(fill(n, "<base href='a/'>", "<html>",
                                     "<link rel='alternate' "
                                     "type='application/rss+xml' href='f'>"));
         }},
        {"discovery, references in an address",
         [](std::size_t n) {
             return discovering(
                 fill(n, "&", "<html><link rel=alternate type=application/rss+xml href='", "'>"));
         }},
        {"discovery, script and comment",
         [](std::size_t n) { return discovering(fill(n, "<script></scrip<!--", "<html>")); }},
        {"OPML (10 MB at most), unclosed attribute",
         [](std::size_t n) {
             return readingOpml(fill(std::min<std::size_t>(n, kOpmlSizeLimit - 256), "&",
                                     "<opml><body><outline xmlUrl='"));
         }},
        {"OPML (10 MB at most), many outlines",
         [](std::size_t n) {
             return readingOpml(fill(std::min<std::size_t>(n, kOpmlSizeLimit - 256),
                                     "<outline xmlUrl='http://e.dk/&amp;' text='&lt;'/>",
                                     "<opml><body>", "</body></opml>"));
         }},
        {"news page headlines, one long title",
         [](std::size_t n) {
             return [text = fill(n, "&", "<div><img src=\"feed-line-new.gif\" border=\"0\">",
                                 "</a></div>\r\n")] { (void)readPageHeadlines(text); };
         }},
        {"news page escaping",
         [](std::size_t n) { return [text = fill(n, "<&\"")] { (void)escapeForPage(text); }; }},
        {"language file, one huge section",
         [](std::size_t n) {
             return [text = fill(n, "k=v\r\n", "[" + std::string(n / 2, 's') + "]\r\n")] {
                 (void)ProfileIni::parse(text);
             };
         }},
        {"language file, many keys",
         [](std::size_t n) {
             return [text = fill(n, "key=\"value\"\r\n", "[Main]\r\n")] {
                 const auto ini = ProfileIni::parse(text);
                 for (int i = 0; i < 150; ++i)
                     (void)ini.value("Main", "missing");
             };
         }},
        {"file list, lines and fields",
         [](std::size_t n) {
             return [text = fill(n, "*a!b!!\r\n")] {
                 for (const auto& line : fileListLines(text))
                     (void)splitFields(line, '!');
             };
         }},
        {"lines of a file, CR only",
         [](std::size_t n) { return [text = fill(n, "\r")] { (void)splitLines(text); }; }},
    };
    return all;
}

double secondsFor(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<std::size_t>(std::atof(argv[i]) * 1024 * 1024));
    if (sizes.empty()) {
        for (std::size_t mb : {1, 2, 4, 8, 16})
            sizes.push_back(mb * 1024 * 1024);
    }
    std::printf("%-40s", "routine (seconds at MB)");
    for (const std::size_t size : sizes)
        std::printf(" %8.1f", double(size) / (1024 * 1024));
    std::printf("   growth exponent\n");
    int quadratic = 0;
    for (const auto& routine : routines()) {
        std::printf("%-40s", routine.name);
        std::fflush(stdout);
        std::vector<double> times;
        for (const std::size_t size : sizes) {
            const auto run = routine.prepare(size);
            // The best of three: the machine is shared, and the smallest take milliseconds.
            times.push_back(std::min({secondsFor(run), secondsFor(run), secondsFor(run)}));
            std::printf(" %8.3f", times.back());
            std::fflush(stdout);
            if (times.back() > 60)
                break; // the rest would take hours
        }
        // The growth's exponent, fitted over every size (log time against log size): 1 for
        // a linear routine, 2 for a quadratic one. Single runs on a shared machine wobble,
        // so anything up to 1.4 counts as linear.
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        int points = 0;
        for (std::size_t i = 0; i < times.size(); ++i) {
            if (times[i] < 1e-3)
                continue; // too short to measure
            const double x = std::log(double(sizes[i])), y = std::log(times[i]);
            sx += x;
            sy += y;
            sxx += x * x;
            sxy += x * y;
            ++points;
        }
        const double exponent =
            points >= 2 ? (points * sxy - sx * sy) / (points * sxx - sx * sx) : 1.0;
        const bool slow = exponent > 1.4;
        quadratic += slow ? 1 : 0;
        std::printf("   %6.2f%s\n", exponent, slow ? "  NOT LINEAR" : "");
    }
    return quadratic == 0 ? 0 : 1;
}
