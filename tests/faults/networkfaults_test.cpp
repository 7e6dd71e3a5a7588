// SPDX-License-Identifier: MIT
// Every way a feed server can fail, between two good feeds in one refresh, each case
// several times: the right "Fejl" line and reason, the good feeds on the page, an inert
// page, and no hang beyond the time-outs.
#include "core/net/httpclient.h"
#include "core/news/newsrefresh.h"
#include "support/compression.h"
#include "support/loopbackserver.h"
#include "support/pageinert.h"
#include "support/tempdir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace nuvio;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kGood =
    "<rss><channel><title>God</title><link>http://god.dk/</link>"
    "<item><title>Nyhed</title><link>http://god.dk/1</link></item></channel></rss>";

struct FaultCase
{
    const char* name;
    HttpFailure reason; // what the failed-feeds list says (None: not a feed)
    std::function<void(int socket)> respond;
};

void answer(int socket, const std::string& bytes)
{
    test::readRequestHead(socket);
    test::sendAll(socket, bytes);
}

std::string chunk(const std::string& data)
{
    char size[16];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + data + "\r\n";
}

const std::vector<FaultCase>& faultCases()
{
    static const std::vector<FaultCase> cases = {
        {"closed before the headers", HttpFailure::Broken, [](int s) { test::readRequestHead(s); }},
        {"reset during the headers", HttpFailure::Broken,
         [](int s) { answer(s, "HTTP/1.1 200 OK\r\nContent-Ty"); }},
        {"closed right after the headers", HttpFailure::Broken,
         [](int s) { answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 80\r\n\r\n"); }},
        {"body shorter than its length", HttpFailure::Broken,
         [](int s) {
             answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n<rss><channel><title>Kort");
         }},
        {"not found, with a body", HttpFailure::Status,
         [](int s) {
             answer(s, "HTTP/1.1 404 Not Found\r\nContent-Length: 11\r\n\r\n<rss></rss>");
         }},
        {"server error, with a body", HttpFailure::Status,
         [](int s) {
             answer(s,
                    "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 11\r\n\r\n<rss></rss>");
         }},
        {"redirect to a file", HttpFailure::BadAnswer,
         [](int s) {
             answer(
                 s,
                 "HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\nContent-Length: 0\r\n\r\n");
         }},
        {"a header line of a megabyte", HttpFailure::BadAnswer,
         [](int s) {
             answer(s, "HTTP/1.1 200 OK\r\nX-Big: " + std::string(1 << 20, 'h') + "\r\n\r\n");
         }},
        {"garbage instead of HTTP", HttpFailure::BadAnswer,
         [](int s) { answer(s, std::string("\x16\x03\x01\x00\xff garbage\r\n\r\n", 17)); }},
        {"no answer at all", HttpFailure::NoAnswer,
         [](int s) {
             test::readRequestHead(s);
             std::this_thread::sleep_for(2500ms);
         }},
        {"a byte a second", HttpFailure::NoAnswer,
         [](int s) {
             answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
             for (int i = 0; i < 4; ++i) {
                 test::sendAll(s, "x");
                 std::this_thread::sleep_for(1000ms);
             }
         }},
        {"a chunked body past the size limit", HttpFailure::TooLarge,
         [](int s) {
             answer(s, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
             const std::string piece = chunk(std::string(1 << 20, 'z'));
             for (int i = 0; i < 100; ++i)
                 test::sendAll(s, piece);
             test::sendAll(s, "0\r\n\r\n");
         }},
        {"an empty answer", HttpFailure::None,
         [](int s) { answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"); }},
        {"binary garbage with a good status", HttpFailure::None,
         [](int s) {
             std::string junk(4096, '\0');
             for (std::size_t i = 0; i < junk.size(); ++i)
                 junk[i] = static_cast<char>((i * 7919) & 0xFF);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\n\r\n" + junk);
         }},
        {"a gzip bomb: 100 KB that inflate past the size limit", HttpFailure::TooLarge,
         [](int s) {
             static const std::string bomb =
                 test::compressed(std::string(1 << 20, '\0'), test::Coding::Gzip, 100);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                           std::to_string(bomb.size()) + "\r\n\r\n" + bomb);
         }},
        {"a gzip body damaged on the way (its check sum fails)", HttpFailure::BadAnswer,
         [](int s) {
             std::string gzip = test::compressed(kGood, test::Coding::Gzip);
             gzip[gzip.size() - 8] = static_cast<char>(~gzip[gzip.size() - 8]);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                           std::to_string(gzip.size()) + "\r\n\r\n" + gzip);
         }},
        // Cut short: what arrived inflates to the start of a feed, which is not the feed.
        {"a gzip body cut off, with no length to tell", HttpFailure::BadAnswer,
         [](int s) {
             const std::string gzip = test::compressed(kGood, test::Coding::Gzip);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n" +
                           gzip.substr(0, gzip.size() / 2));
         }},
        {"a gzip body without its check sums, its length agreeing", HttpFailure::BadAnswer,
         [](int s) {
             const std::string gzip = test::compressed(kGood, test::Coding::Gzip);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                           std::to_string(gzip.size() - 8) + "\r\n\r\n" +
                           gzip.substr(0, gzip.size() - 8));
         }},
        {"a deflate body cut off, chunked", HttpFailure::BadAnswer,
         [](int s) {
             const std::string deflate = test::compressed(kGood, test::Coding::Deflate);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n"
                       "Transfer-Encoding: chunked\r\n\r\n" +
                           chunk(deflate.substr(0, deflate.size() - 10)) + "0\r\n\r\n");
         }},
        {"a gzip body shorter than its length", HttpFailure::Broken,
         [](int s) {
             const std::string gzip = test::compressed(kGood, test::Coding::Gzip);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                           std::to_string(gzip.size() + 100) + "\r\n\r\n" + gzip);
         }},
        // Each layer may multiply the bytes a thousandfold; one layer was offered.
        {"gzip inside gzip, a stack of codings that was not offered", HttpFailure::BadAnswer,
         [](int s) {
             const std::string twice =
                 test::compressed(test::compressed(kGood, test::Coding::Gzip), test::Coding::Gzip);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip, gzip\r\nContent-Length: " +
                           std::to_string(twice.size()) + "\r\n\r\n" + twice);
         }},
        {"gzip inside gzip, named in two header lines", HttpFailure::BadAnswer,
         [](int s) {
             const std::string twice =
                 test::compressed(test::compressed(kGood, test::Coding::Gzip), test::Coding::Gzip);
             answer(s, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Encoding: "
                       "gzip\r\nContent-Length: " +
                           std::to_string(twice.size()) + "\r\n\r\n" + twice);
         }},
    };
    return cases;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(NetworkFaults, EveryCaseBetweenTwoGoodFeeds)
{
    test::LoopbackServer good;
    good.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kGood, "application/rss+xml");
    });
    // A chain of redirects longer than allowed, and a loop.
    good.server().Get(R"(/hop/(\d+))", [&good](const httplib::Request& request,
                                               httplib::Response& response) {
        response.set_redirect(good.url("/hop/" + std::to_string(std::stoi(request.matches[1]) + 1)),
                              302);
    });
    good.server().Get("/loop", [&good](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(good.url("/loop"), 301);
    });
    good.start();

    HttpClient::Limits limits;
    limits.connect = 2s;
    limits.silence = 1s;
    limits.total = 3s;
    HttpClient http(limits);

    auto cases = faultCases();
    cases.push_back({"redirects past the limit", HttpFailure::BadAnswer, nullptr});
    cases.push_back({"a redirect loop", HttpFailure::BadAnswer, nullptr});
    cases.push_back({"connection refused", HttpFailure::NoConnection, nullptr});
    const long peakBefore = peakKilobytes();
    int runs = 0;
    for (const auto& c : cases) {
        for (int repeat = 0; repeat < 3; ++repeat) {
            std::unique_ptr<test::RawServer> raw;
            std::string faulty;
            if (c.respond) {
                raw = std::make_unique<test::RawServer>(c.respond);
                faulty = raw->url("/feed");
            } else if (std::string(c.name) == "redirects past the limit") {
                faulty = good.url("/hop/0");
            } else if (std::string(c.name) == "a redirect loop") {
                faulty = good.url("/loop");
            } else {
                test::RawServer gone([](int) {});
                faulty = gone.url("/feed");
            }
            test::TempDir dir;
            dir.write("newsfeeds.txt", "");
            dir.write("newsselected.txt",
                      good.url("/feed") + "\r\n" + faulty + "\r\n" + good.url("/feed") + "\r\n");
            std::vector<std::string> statuses;
            NewsRefreshContext context;
            context.installPath = dir.path();
            context.showStatus = [&](const std::string& text) { statuses.push_back(text); };
            context.http = &http;
            const auto start = Clock::now();
            NewsRefreshResult result;
            ASSERT_NO_THROW(result = refreshNewsPage(context)) << c.name;
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            ++runs;
            EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Fejl " + faulty), statuses.end())
                << c.name;
            ASSERT_EQ(result.failures.size(), 1u) << c.name;
            EXPECT_EQ(result.failures[0].entry, faulty) << c.name;
            EXPECT_EQ(static_cast<int>(result.failures[0].reason), static_cast<int>(c.reason))
                << c.name << ": " << failureReasonText(result.failures[0]);
            EXPECT_LT(seconds, 6.0) << c.name << ": no hang beyond the time-outs";
            const std::string page = dir.read("news.html");
            EXPECT_EQ(test::pageInertnessProblem(page), "") << c.name;
            std::size_t goodFeeds = 0;
            for (auto at = page.find("http://god.dk/1"); at != std::string::npos;
                 at = page.find("http://god.dk/1", at + 1))
                ++goodFeeds;
            EXPECT_EQ(goodFeeds, 2u) << c.name << ": both good feeds are on the page";
        }
    }
    // The 100 MB bodies (one plain, one inflated from 100 KB) were dropped at the 64 MiB cap,
    // three times each; the peak stays near it.
    const long grownMegabytes = (peakKilobytes() - peakBefore) / 1024;
#ifndef __SANITIZE_ADDRESS__ // the sanitizer holds freed memory back in its quarantine
    EXPECT_LT(grownMegabytes, 64 + 16) << "memory grew " << grownMegabytes << " MB";
#endif
    RecordProperty("refreshes", runs);
    std::printf("%d fault refreshes, peak memory grew %ld MB\n", runs, grownMegabytes);
}
