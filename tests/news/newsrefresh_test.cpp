// SPDX-License-Identifier: MIT
#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/news/feedfailures.h"
#include "core/news/feedpolling.h"
#include "core/news/newspage.h"
#include "core/news/newsrefresh.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "support/compression.h"
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <QString>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <sys/socket.h>

using namespace nuvio;
using namespace std::chrono_literals;

namespace {

std::string rss(const std::string& channel,
                const std::vector<std::pair<std::string, std::string>>& items)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><title>" + channel +
                       "</title><link>http://" + channel + ".dk/</link>";
    for (const auto& [link, title] : items)
        text += "<item><title>" + title + "</title><link>" + link + "</link></item>";
    return text + "</channel></rss>";
}

class NewsRefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.server().Get(
            R"(/feed/(\w+))", [this](const httplib::Request& request, httplib::Response& response) {
                const std::string name = request.matches[1];
                // Later feeds answer first, so the page order cannot come from arrival order.
                if (const auto delay = delays.find(name); delay != delays.end())
                    std::this_thread::sleep_for(delay->second);
                if (name == "private") {
                    response.status = 401;
                    response.set_header("WWW-Authenticate", "Basic realm=\"members\"");
                    return;
                }
                if (name == "broken" || (failing && name == "moved")) {
                    response.status = name == "broken" ? 500 : 404;
                    return;
                }
                if (failing && name == "portal") {
                    response.set_content("<!DOCTYPE html><html><body>Log ind</body></html>",
                                         "text/html");
                    return;
                }
                if (failing && name == "emptied")
                    return;
                if (failing && name == "stalls")
                    std::this_thread::sleep_for(2500ms);
                std::vector<std::pair<std::string, std::string>> items = {
                    {"http://" + name + ".dk/1", name + " one"},
                    {"http://" + name + ".dk/2", name + " \xC3\xA6\xC3\xB8"}};
                if (name == "late") {
                    std::unique_lock lock(lateMutex);
                    lateReleased.wait_for(lock, 3s, [this] { return !lateHangs; });
                    if (lateFails) {
                        response.status = 500;
                        return;
                    }
                    if (lateHasNew)
                        items.push_back({"http://late.dk/3", "late three"});
                }
                response.set_content(rss(name, items), "application/rss+xml");
            });
        server.start();
    }

    bool refresh(std::function<bool()> cancelled = {}) { return run(std::move(cancelled)).newNews; }

    NewsRefreshResult run(std::function<bool()> cancelled = {})
    {
        NewsRefreshContext context;
        context.cancelled = std::move(cancelled);
        context.installPath = dir.path();
        context.maxNewsPerFeed = 25;
        context.updatingText = "Opdaterer nyheder";
        context.completedText = "Opdatering komplet";
        context.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        context.yield = [this] { ++yields; };
        context.http = &http;
        context.cache = feedCache.get();
        context.patience = patience;
        context.pageWritten = pageWritten;
        return refreshNewsPage(context);
    }

    std::string feedUrl(const std::string& name) { return server.url("/feed/" + name); }

    std::string expectedFeed(const std::string& name, bool isNew)
    {
        return NewsPageWriter::headingText("http://" + name + ".dk/", name) +
               NewsPageWriter::itemText("http://" + name + ".dk/1", name + " one", isNew) +
               NewsPageWriter::itemText("http://" + name + ".dk/2", name + " \xE6\xF8", isNew);
    }

    static HttpClient::Limits quickLimits()
    {
        HttpClient::Limits limits;
        limits.connect = 2s;
        limits.silence = 1s;
        return limits;
    }

    test::TempDir dir;
    test::LoopbackServer server;
    HttpClient http{quickLimits()};
    std::unique_ptr<FeedCache> feedCache;
    bool failing = false; // the feeds named for it fail in their own way
    std::map<std::string, std::chrono::milliseconds> delays;
    std::vector<std::string> statuses;
    int yields = 0;
    // The feed "late": held back until released, then answering as told.
    std::mutex lateMutex;
    std::condition_variable lateReleased;
    bool lateHangs = false;
    bool lateFails = false;
    bool lateHasNew = false;
    void releaseLate()
    {
        {
            std::lock_guard lock(lateMutex);
            lateHangs = false;
        }
        lateReleased.notify_all();
    }
    std::chrono::milliseconds patience{5000};
    std::function<void(const NewsRefreshResult&)> pageWritten;
};

} // namespace

TEST_F(NewsRefreshTest, PageInFeedOrderWhateverTheArrivalOrder)
{
    delays = {{"a", 300ms}, {"b", 150ms}, {"c", 0ms}};
    dir.write("newsfeeds.txt",
              "<<< Nyheder >>>\r\nA," + feedUrl("a") + "\r\n\"B feed\"," + feedUrl("b") + "\r\n");
    dir.write("newsselected.txt", "A\r\nB feed\r\nUnknown\r\n" + feedUrl("c") + "\r\n");
    EXPECT_TRUE(refresh());
    EXPECT_EQ(dir.read("news.html"), NewsPageWriter::headerText() + expectedFeed("a", true) +
                                         expectedFeed("b", true) + expectedFeed("c", true) +
                                         NewsPageWriter::footerText());
    // "Unknown" names no catalogue feed: nothing is fetched or written for it, and it is said.
    EXPECT_EQ(statuses, (std::vector<std::string>{"Opdaterer nyheder",
                                                  "Opdatering komplet \x96 1 af 4 feeds fejlede"}));
    EXPECT_GT(yields, 0);

    // The same feeds again: nothing new, and no alert.
    statuses.clear();
    EXPECT_FALSE(refresh());
    EXPECT_EQ(dir.read("news.html"), NewsPageWriter::headerText() + expectedFeed("a", false) +
                                         expectedFeed("b", false) + expectedFeed("c", false) +
                                         NewsPageWriter::footerText());
}

TEST_F(NewsRefreshTest, PublishersThatPickTheirClientsShowTheirFeeds)
{
    // Server rules met on today's web: each refuses a client that lacks what it wants.
    struct Case
    {
        const char* name;
        std::function<bool(const httplib::Request&)> refuses;
        std::function<void(const std::string& feed, httplib::Response&)> answer;
    };
    const auto plain = [](const std::string& feed, httplib::Response& response) {
        response.set_content(feed, "application/rss+xml");
    };
    const auto coded = [](const char* name, test::Coding coding) {
        return [name, coding](const std::string& feed, httplib::Response& response) {
            response.set_header("Content-Encoding", name);
            response.set_content(test::compressed(feed, coding), "application/rss+xml");
        };
    };
    const auto offers = [](const httplib::Request& request, const std::string& coding) {
        return (", " + request.get_header_value("Accept-Encoding") + ",")
                   .find(", " + coding + ",") != std::string::npos;
    };
    const Case cases[] = {
        {"identity",
         [](const httplib::Request& request) {
             return request.get_header_value("User-Agent").find("Indy Library") !=
                    std::string::npos;
         },
         plain},
        {"gzip", [&](const httplib::Request& r) { return !offers(r, "gzip"); },
         coded("gzip", test::Coding::Gzip)},
        {"deflate", [&](const httplib::Request& r) { return !offers(r, "deflate"); },
         coded("deflate", test::Coding::Deflate)},
        // A character set where the coding goes, on a body sent as it is.
        {"mislabelled", [](const httplib::Request&) { return false; },
         [](const std::string& feed, httplib::Response& response) {
             response.set_header("Content-Encoding", "UTF-8");
             response.set_content(feed, "application/rss+xml");
         }},
        // Encodings a declaration does not name: the feed is read in them, also from its
        // stored copy.
        {"utf16", [](const httplib::Request&) { return false; },
         [](const std::string& feed, httplib::Response& response) {
             const QString text = QString::fromStdString(feed.substr(feed.find("?>") + 2));
             response.set_content("\xFF\xFE" +
                                      std::string(reinterpret_cast<const char*>(text.utf16()),
                                                  static_cast<std::size_t>(text.size()) * 2),
                                  "application/rss+xml");
         }},
        {"charset", [](const httplib::Request&) { return false; },
         [](const std::string& feed, httplib::Response& response) {
             std::string text = feed.substr(feed.find("?>") + 2);
             text.replace(text.find("\xC3\xA6\xC3\xB8"), 4, "\xBE\xBF"); // æø in Mac Roman
             response.set_content(text, "application/rss+xml; charset=\"macintosh\"");
         }},
        // A JSON Feed lists as the RSS feed it stands for.
        {"json", [](const httplib::Request&) { return false; },
         [](const std::string&, httplib::Response& response) {
             response.set_content(
                 "{\"version\": \"https://jsonfeed.org/version/1.1\", \"title\": \"json\", "
                 "\"home_page_url\": \"http://json.dk/\", \"items\": [{\"id\": \"1\", "
                 "\"url\": \"http://json.dk/1\", \"title\": \"json one\"}, {\"id\": \"2\", "
                 "\"url\": \"http://json.dk/2\", \"title\": \"json \\u00e6\u00f8\"}]}",
                 "application/feed+json");
         }},
    };
    std::atomic<bool> down{false};
    server.server().Get(
        R"(/picky/(\w+))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::string name = request.matches[1];
            if (down) {
                response.status = 503;
                return;
            }
            for (const auto& c : cases) {
                if (name != c.name)
                    continue;
                if (c.refuses(request)) {
                    response.status = name == "identity" ? 403 : 406;
                    return;
                }
                c.answer(rss(name, {{"http://" + name + ".dk/1", name + " one"},
                                    {"http://" + name + ".dk/2", name + " \xC3\xA6\xC3\xB8"}}),
                         response);
            }
        });
    // An address with letters beyond ASCII is asked in UTF-8, as servers expect it.
    server.server().Get(
        "/picky/\xC3\xB8konomi", [&](const httplib::Request&, httplib::Response& response) {
            if (!down)
                plain(rss("okonomi", {{"http://okonomi.dk/1", "okonomi one"},
                                      {"http://okonomi.dk/2", "okonomi \xC3\xA6\xC3\xB8"}}),
                      response);
        });
    dir.write("newsfeeds.txt", "");
    feedCache = std::make_unique<FeedCache>(dir.file("cache"));
    std::string selected, expected;
    for (const auto& c : cases) {
        selected += server.url(std::string("/picky/") + c.name) + "\r\n";
        expected += expectedFeed(c.name, true);
    }
    selected += server.url("/picky/\xF8konomi") + "\r\n";
    expected += expectedFeed("okonomi", true);
    dir.write("newsselected.txt", selected);
    EXPECT_TRUE(refresh());
    EXPECT_EQ(dir.read("news.html"),
              NewsPageWriter::headerText() + expected + NewsPageWriter::footerText());
    EXPECT_EQ(statuses, (std::vector<std::string>{"Opdaterer nyheder", "Opdatering komplet", ""}));

    down = true;
    expected.clear();
    for (const auto& c : cases)
        expected += expectedFeed(c.name, false);
    expected += expectedFeed("okonomi", false);
    EXPECT_FALSE(refresh());
    EXPECT_EQ(dir.read("news.html"),
              NewsPageWriter::headerText() + expected + NewsPageWriter::footerText())
        << "the stored answers read as they did";
}

TEST_F(NewsRefreshTest, FailedFeedsAreSaidAndKeepTheirLastGoodHeadlines)
{
    // A good run, then one where each feed fails in its own way: every failure is said
    // and named with its reason, and the page keeps the headlines of the good run (seen
    // by now). A feed never fetched stays off the page, and a server error fails as always.
    feedCache = std::make_unique<FeedCache>(dir.file("cache"));
    auto going = std::make_unique<test::LoopbackServer>();
    going->server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(rss("going", {{"http://going.dk/1", "going one"}}), "text/xml");
    });
    // Atom feeds reached by a redirect, whose relative links lead from where they came.
    const std::string relativeAtom = "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>atom"
                                     "</title><entry><title>atom one</title><link href=\"1\"/>"
                                     "</entry></feed>";
    for (auto* host : {going.get(), &server}) {
        host->server().Get(
            "/atom/moved", [&, host](const httplib::Request&, httplib::Response& response) {
                // In the failing run: a login page on another path instead of the feed.
                response.set_redirect(failing ? feedUrl("portal") : host->url("/atom/sub/feed"));
            });
        host->server().Get("/atom/sub/feed", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(relativeAtom, "application/atom+xml");
        });
    }
    going->start();
    const std::string goingUrl = going->url("/feed");
    const std::string refused = "http://127.0.0.1:1/feed";
    struct Case
    {
        std::string entry;
        std::string reason; // in the failed feeds' list; empty: the feed does not fail
        bool fetchedBefore = true;
    };
    const std::vector<Case> cases = {
        {goingUrl, "ingen forbindelse"},
        {going->url("/atom/moved"), "ingen forbindelse"},
        {server.url("/atom/moved"), "ikke et feed"},
        {"Moved", "HTTP 404"},
        {feedUrl("portal"), "ikke et feed"},
        {feedUrl("emptied"), "ikke et feed"},
        {feedUrl("stalls"), "intet svar"},
        {feedUrl("ok"), ""},
        {refused, "ingen forbindelse", false},
        {feedUrl("broken"), "HTTP 500", false},
        {feedUrl("private"), "kr\xE6ver login", false},
        // A catalogue name the catalogue no longer has: nothing to fetch, but listed.
        {"Gone", "ingen adresse (ikke i kataloget)", false},
    };
    dir.write("newsfeeds.txt", "Moved," + feedUrl("moved") + "\r\n");
    std::string selected;
    for (const auto& c : cases)
        selected += c.entry + "\r\n";
    dir.write("newsselected.txt", selected);
    auto result = run();
    EXPECT_EQ(failureListText(result.failures),
              refused + ": ingen forbindelse\n" + feedUrl("broken") + ": HTTP 500\n" +
                  feedUrl("private") + ": kr\xE6ver login\nGone: ingen adresse (ikke i kataloget)");
    EXPECT_EQ(statuses.back(), "Opdatering komplet \x96 4 af 12 feeds fejlede");
    const std::string good = dir.read("news.html");
    for (const char* feed : {"going", "moved", "portal", "emptied", "stalls", "ok"})
        EXPECT_NE(
            good.find(NewsPageWriter::headingText("http://" + std::string(feed) + ".dk/", feed)),
            std::string::npos)
            << feed;
    for (const auto* host : {going.get(), &server})
        EXPECT_NE(good.find(NewsPageWriter::itemText(host->url("/atom/sub/1"), "atom one", true)),
                  std::string::npos);

    going.reset();
    failing = true;
    statuses.clear();
    result = run();
    std::string expected = good;
    for (std::size_t at; (at = expected.find("feed-line-new.gif")) != std::string::npos;)
        expected.replace(at, 17, "feed-line.gif");
    EXPECT_EQ(dir.read("news.html"), expected) << "the same headlines, none new";
    EXPECT_FALSE(result.newNews);
    std::vector<std::string> expectedStatuses = {"Opdaterer nyheder"};
    std::string list;
    for (const auto& c : cases) {
        if (c.reason.empty())
            continue;
        if (c.entry != "Gone")
            expectedStatuses.push_back("Fejl " + c.entry);
        list += (list.empty() ? "" : "\n") + c.entry + ": " + c.reason;
    }
    expectedStatuses.push_back("Opdatering komplet \x96 11 af 12 feeds fejlede");
    EXPECT_EQ(statuses, expectedStatuses) << "the line stays: no empty status after it";
    EXPECT_EQ(failureListText(result.failures), list);

    // Nothing reachable at all: the network is down, and the last headlines stay.
    dir.write("newsselected.txt", goingUrl + "\r\n" + refused + "\r\n");
    statuses.clear();
    result = run();
    EXPECT_EQ(statuses.back(), "Intet net \x96 de senest hentede nyheder vises");
    EXPECT_NE(dir.read("news.html").find("going one"), std::string::npos);
    EXPECT_EQ(result.failures.size(), 2u);

    // A host that takes the connections and never answers: its feeds fail together within
    // about one silence, not one for every six of them, and another host's feed between
    // them still arrives.
    test::RawServer silent([](int socket) {
        for (char c; ::recv(socket, &c, 1, 0) > 0;) {
        }
    });
    std::vector<std::string> entries;
    for (int i = 0; i < 13; ++i)
        entries.push_back(silent.url("/feed/" + std::to_string(i)));
    entries.insert(entries.begin() + 7, feedUrl("ok"));
    selected.clear();
    for (const auto& entry : entries)
        selected += entry + "\r\n";
    dir.write("newsselected.txt", selected);
    statuses.clear();
    const auto start = std::chrono::steady_clock::now();
    result = run();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms) << "the silence is 1 s";
    list.clear();
    for (const auto& entry : entries)
        if (entry != feedUrl("ok"))
            list += (list.empty() ? "" : "\n") + entry + ": intet svar";
    EXPECT_EQ(failureListText(result.failures), list);
    EXPECT_EQ(statuses.back(), "Opdatering komplet \x96 13 af 14 feeds fejlede");
    EXPECT_NE(dir.read("news.html").find(expectedFeed("ok", true)), std::string::npos)
        << "not on the page just before";
}

TEST_F(NewsRefreshTest, ALateFeedFollowsOnAPageShownWithoutIt)
{
    // The page does not wait for a feed that takes long: it is written with the feed's last
    // good answer standing in (or without it), and again when it has come. Both pages mark
    // headlines against the page from before the run: nothing old is new, nothing new twice.
    struct Case
    {
        const char* what;
        bool cached;    // the late feed has a last good answer
        bool fails;     // and then fails, instead of answering
        bool hasNew;    // its answer has a headline of its own
        bool earlyLate; // the late feed on the first page, from its last good answer
        bool finalNew;  // the final page has a new headline
    };
    const Case cases[] = {
        {"answers with a new headline", true, false, true, true, true},
        {"no last answer, answers the same", false, false, false, false, false},
        {"fails after its last good answer", true, true, false, true, false},
    };
    patience = 300ms;
    dir.write("newsfeeds.txt", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        feedCache = std::make_unique<FeedCache>(dir.file(std::string("cache-") + c.what));
        dir.write("newsselected.txt", feedUrl("a") + "\r\n" + feedUrl("late") + "\r\n");
        lateHangs = lateFails = lateHasNew = false;
        pageWritten = nullptr;
        std::filesystem::remove(dir.file("news.html"));
        run();
        if (!c.cached)
            feedCache = std::make_unique<FeedCache>(dir.file(std::string("empty-") + c.what));
        const std::string old = NewsPageWriter::headerText() + expectedFeed("a", false) +
                                expectedFeed("late", false) + NewsPageWriter::footerText();
        ASSERT_EQ(dir.read("news.html"), NewsPageWriter::headerText() + expectedFeed("a", true) +
                                             expectedFeed("late", true) +
                                             NewsPageWriter::footerText());

        lateHangs = true;
        lateFails = c.fails;
        lateHasNew = c.hasNew;
        std::vector<std::string> early;
        std::vector<bool> earlyNew;
        pageWritten = [&](const NewsRefreshResult& result) {
            early.push_back(dir.read("news.html"));
            earlyNew.push_back(result.newNews);
            releaseLate();
        };
        statuses.clear();
        const auto result = run();
        ASSERT_EQ(early.size(), 1u);
        EXPECT_EQ(early[0], NewsPageWriter::headerText() + expectedFeed("a", false) +
                                (c.earlyLate ? expectedFeed("late", false) : "") +
                                NewsPageWriter::footerText());
        EXPECT_FALSE(earlyNew[0]);
        std::string last = old;
        if (c.hasNew)
            last.insert(last.find(NewsPageWriter::footerText()),
                        NewsPageWriter::itemText("http://late.dk/3", "late three", true));
        EXPECT_EQ(dir.read("news.html"), last);
        EXPECT_EQ(result.newNews, c.finalNew);
        EXPECT_EQ(result.failures.size(), c.fails ? 1u : 0u);
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Henter stadig: " + feedUrl("late")),
                  statuses.end());
    }
}

TEST_F(NewsRefreshTest, MissingSelectionDeletesThePage)
{
    dir.write("news.html", "old");
    EXPECT_FALSE(refresh());
    EXPECT_FALSE(std::filesystem::exists(dir.file("news.html")));
    EXPECT_TRUE(statuses.empty());
}

TEST_F(NewsRefreshTest, EmptySelectionIsAnEmptyPage)
{
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", "");
    EXPECT_FALSE(refresh());
    EXPECT_EQ(dir.read("news.html"), NewsPageWriter::headerText() + NewsPageWriter::footerText());
}

TEST_F(NewsRefreshTest, ListFailuresEndTheRun)
{
    // No catalogue at all.
    dir.write("newsselected.txt", feedUrl("a") + "\r\n");
    try {
        refresh();
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    // A catalogue entry without a URL: the run ends there, and the previous page stays.
    dir.write("news.html", "previous");
    dir.write("newsfeeds.txt", "Solo\r\n");
    dir.write("newsselected.txt", feedUrl("a") + "\r\nSolo\r\n" + feedUrl("b") + "\r\n");
    try {
        refresh();
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_EQ(dir.read("news.html"), "previous");
}

namespace {
std::atomic<std::size_t> writtenBeforeFull{0};
int fullAfterTheHeader(std::size_t bytes)
{
    if (writtenBeforeFull < 600) {
        writtenBeforeFull += bytes;
        return 0;
    }
    return ENOSPC;
}
} // namespace

TEST_F(NewsRefreshTest, FailedRunLeavesThePreviousPageAndItsNewItems)
{
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", feedUrl("a") + "\r\n" + feedUrl("b") + "\r\n");
    dir.write("news.html", "seen: http://a.dk/1 http://b.dk/2");
    struct Case
    {
        const char* what;
        bool cancel;
        const char* error; // the run's own message
    };
    const Case cases[] = {
        {"the disk fills in the middle of the page", false, "Disk full"},
        {"the program quits in the middle of the run", true, "The run was cancelled"},
    };
    for (const auto& c : cases) {
        statuses.clear();
        writtenBeforeFull = 0;
        if (!c.cancel)
            setWriteFaultHook(fullAfterTheHeader);
        int steps = 0;
        std::string error;
        try {
            refresh([&] { return c.cancel && ++steps > 3; });
        } catch (const std::exception& e) {
            error = e.what();
        }
        setWriteFaultHook(nullptr);
        EXPECT_EQ(error, c.error) << c.what;
        for (const auto& status : statuses)
            EXPECT_NE(status.rfind("Fejl ", 0), 0u) << c.what << ": " << status;
        EXPECT_EQ(dir.read("news.html"), "seen: http://a.dk/1 http://b.dk/2") << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3)
            << c.what << ": no temporary file left behind";
    }
    // The next run still knows what was seen.
    EXPECT_TRUE(refresh());
    const std::string page = dir.read("news.html");
    EXPECT_NE(page.find(NewsPageWriter::itemText("http://a.dk/1", "a one", false)),
              std::string::npos);
    EXPECT_NE(page.find(NewsPageWriter::itemText("http://a.dk/2", "a \xE6\xF8", true)),
              std::string::npos);
}

TEST_F(NewsRefreshTest, MaxNewsPerFeedLimitsEveryFeed)
{
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", feedUrl("a") + "\r\n");
    NewsRefreshContext context;
    context.installPath = dir.path();
    context.maxNewsPerFeed = 1;
    context.showStatus = [](const std::string&) {};
    context.http = &http;
    refreshNewsPage(context);
    EXPECT_EQ(dir.read("news.html"), NewsPageWriter::headerText() +
                                         NewsPageWriter::headingText("http://a.dk/", "a") +
                                         NewsPageWriter::itemText("http://a.dk/1", "a one", true) +
                                         NewsPageWriter::footerText());
}

TEST_F(NewsRefreshTest, ManyLargeFeedsFromOneHostAllArrive)
{
    // More large feeds from one publisher than its connections, with room in memory for
    // few of them: the transfers that wait for room must not hold the connections the
    // one the page needs next is waiting for. Also where the feeds are asked of hosts of
    // their own that send them on to that one publisher, as feed services do.
    constexpr int kFeeds = 40;
    server.server().Get(
        R"(/large/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
            const std::string name = "large" + std::string(request.matches[1]);
            std::string body = rss(name, {{"http://" + name + ".dk/1", name + " one"}});
            body.insert(body.find("<item>"), "<!-- " + std::string(200 << 10, 'x') + " -->");
            response.set_header("ETag", "\"" + name + "\"");
            response.set_chunked_content_provider(
                "application/rss+xml", [body](std::size_t offset, httplib::DataSink& sink) {
                    const std::size_t size = std::min<std::size_t>(16 << 10, body.size() - offset);
                    sink.write(body.data() + offset, size);
                    if (offset + size == body.size())
                        sink.done();
                    return true;
                });
        });
    std::vector<std::unique_ptr<test::LoopbackServer>> senders;
    for (int i = 0; i < 8; ++i) {
        senders.push_back(std::make_unique<test::LoopbackServer>());
        senders.back()->server().Get(R"(/large/(\d+))", [this](const httplib::Request& request,
                                                               httplib::Response& response) {
            response.set_redirect(server.url("/large/" + std::string(request.matches[1])));
        });
        senders.back()->start();
    }
    for (const bool redirected : {false, true}) {
        HttpClient::Limits limits;
        limits.maxHeld = 1 << 20;
        limits.total = 20s; // a stall ends here, with "Fejl"
        HttpClient small(limits);
        FeedCache cache(dir.file(redirected ? "cache-redirected" : "cache"));
        std::string selected;
        std::string expected;
        for (int i = 0; i < kFeeds; ++i) {
            const std::string name = "large" + std::to_string(i);
            const std::string path = "/large/" + std::to_string(i);
            selected +=
                (redirected ? senders[i % senders.size()]->url(path) : server.url(path)) + "\r\n";
            expected += NewsPageWriter::headingText("http://" + name + ".dk/", name) +
                        NewsPageWriter::itemText("http://" + name + ".dk/1", name + " one", true);
        }
        dir.write("newsfeeds.txt", "");
        dir.write("newsselected.txt", selected);
        std::filesystem::remove(dir.file("news.html"));
        statuses.clear();
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        context.http = &small;
        context.cache = &cache;
        EXPECT_TRUE(refreshNewsPage(context).newNews) << redirected;
        EXPECT_EQ(dir.read("news.html"),
                  NewsPageWriter::headerText() + expected + NewsPageWriter::footerText())
            << redirected;
        EXPECT_EQ(statuses, (std::vector<std::string>{"", "", ""})) << redirected;
    }
}

TEST(FeedCache, KeptBetweenRunsDamagedFilesForgottenAndBounded)
{
    test::TempDir dir;
    const std::string folder = dir.file("feeds");
    const auto inAnHour = std::chrono::time_point_cast<std::chrono::seconds>(
        std::chrono::system_clock::now() + std::chrono::hours(1));
    {
        FeedCache cache(folder);
        cache.store("http://a/", {std::string("body\0\r\n\xE6", 8), true, "\"v1\"", "", {}});
        cache.store("http://b/", {"", false, "", "Mon, 07 Dec 2026 10:00:00 GMT", inAnHour});
    }
    FeedCache later(folder);
    const auto a = later.load("http://a/");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->body, std::string("body\0\r\n\xE6", 8)) << "bytes kept as they came";
    EXPECT_EQ(a->etag, "\"v1\"");
    EXPECT_TRUE(later.load("http://a/", false)->body.empty()) << "validators only";
    const auto b = later.load("http://b/");
    ASSERT_TRUE(b);
    EXPECT_FALSE(b->hasBody);
    EXPECT_EQ(b->lastModified, "Mon, 07 Dec 2026 10:00:00 GMT");
    EXPECT_EQ(b->retryAfter, inAnHour);
    EXPECT_FALSE(later.load("http://c/"));

    // A wait stored while the clock ran years ahead, or written by anything else, holds
    // the feed back a day at most.
    const std::string bFile = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (test::TempDir::readFile(entry.path().string()).find("http://b/") !=
                std::string::npos)
                return entry.path().string();
        return std::string();
    }();
    const std::string stored = test::TempDir::readFile(bFile);
    for (const char* wait : {"253402300799", "9223372036854775807", "-9223372036854775808"}) {
        std::string text = stored;
        const auto line = text.find(std::to_string(inAnHour.time_since_epoch().count()));
        ASSERT_NE(line, std::string::npos);
        text.replace(line, std::to_string(inAnHour.time_since_epoch().count()).size(), wait);
        std::ofstream(bFile, std::ios::binary | std::ios::trunc) << text;
        const auto far = later.load("http://b/");
        ASSERT_TRUE(far) << wait;
        EXPECT_LE(far->retryAfter, std::chrono::system_clock::now() + std::chrono::hours(24))
            << wait;
    }
    // A body cut short or grown is damaged too: shown from the cache when its fetch fails,
    // half a feed would be a heading and a page of empty headlines.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string whole = test::TempDir::readFile(entry.path().string());
        if (whole.find("http://a/") == std::string::npos)
            continue;
        for (const std::string& damaged : {whole.substr(0, whole.size() - 1), whole + "x"}) {
            std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << damaged;
            EXPECT_FALSE(later.load("http://a/")) << damaged.size();
        }
        std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << whole;
        EXPECT_TRUE(later.load("http://a/"));
        // As the versions before kept them: an update must not lose the last headlines of a
        // feed its first refresh cannot fetch (without the body's address, before the
        // publishers' lifetimes, whose answer is then asked again).
        const struct
        {
            const char* head;
            const char* address;
            const char* contentType;
        } older[] = {{"nuvio-feed 2\nhttp://a/\n1\n\"v1\"\n\n0\n8\n\n", "", ""},
                     {"nuvio-feed 4\nhttp://a/\n1\n\"v1\"\n\n0\n8\nhttp://a/x\ntext/xml\n\n",
                      "http://a/x", "text/xml"}};
        for (const auto& version : older) {
            std::ofstream(entry.path(), std::ios::binary | std::ios::trunc)
                << version.head << std::string("body\0\r\n\xE6", 8);
            const auto kept = later.load("http://a/");
            ASSERT_TRUE(kept) << version.head;
            EXPECT_EQ(kept->body, std::string("body\0\r\n\xE6", 8));
            EXPECT_EQ(kept->address, version.address);
            EXPECT_EQ(kept->contentType, version.contentType);
            EXPECT_EQ(kept->freshUntil, std::chrono::system_clock::time_point{});
        }
        std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << whole;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << "nuvio-feed 3\ngarbage";
    EXPECT_FALSE(later.load("http://a/")) << "a damaged file is a feed never seen";

    FeedCache small(dir.file("small"), 3000);
    for (int i = 0; i < 10; ++i) {
        small.store("http://" + std::to_string(i) + "/",
                    {std::string(1000, 'x'), true, "", "", {}});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    small.prune();
    EXPECT_FALSE(small.load("http://0/")) << "the oldest go first";
    EXPECT_TRUE(small.load("http://9/"));
}

TEST(FeedCache, APublishersLifetimeIsBoundedToADay)
{
    constexpr long long kNone = LLONG_MIN;
    const auto now = std::chrono::system_clock::from_time_t(1800000000);
    struct Case
    {
        std::string cacheControl, expires, date;
        long long seconds; // from now
    };
    const Case cases[] = {
        {"max-age=3600", "", "", 3600},
        {"Public, MAX-AGE=\"60\"", "Fri, 15 Jan 2027 10:00:00 GMT", "", 60},
        {"max-age=999999999999999", "", "", 86400},
        {"max-age=0", "Fri, 15 Jan 2027 10:00:00 GMT", "", kNone},
        {"max-age=3600, no-cache", "", "", kNone},
        {"no-store", "", "", kNone},
        {"max-age=soon", "", "", kNone},
        {"private", "", "", kNone},
        {"", "Mon, 07 Dec 2026 11:00:00 GMT", "Mon, 07 Dec 2026 10:00:00 GMT", 3600},
        {"", "Fri, 15 Jan 2027 08:10:00 GMT", "", 600}, // no Date: against the clock
        {"", "0", "Mon, 07 Dec 2026 10:00:00 GMT", kNone},
        {"", "Mon, 07 Dec 2026 09:00:00 GMT", "Mon, 07 Dec 2026 10:00:00 GMT", kNone},
        {"", "", "", kNone},
    };
    for (const auto& c : cases) {
        HttpResult answer;
        answer.cacheControl = c.cacheControl;
        answer.expires = c.expires;
        answer.date = c.date;
        const auto until = freshUntil(answer, now);
        if (c.seconds == kNone)
            EXPECT_FALSE(until) << c.cacheControl << c.expires;
        else
            EXPECT_EQ(until, now + std::chrono::seconds(c.seconds)) << c.cacheControl << c.expires;
    }
}

TEST(FeedCache, RetryAfterIsBoundedToADay)
{
    constexpr long long kNone = LLONG_MIN;
    const auto now = std::chrono::system_clock::from_time_t(1800000000);
    struct Case
    {
        std::string value;
        long long seconds; // from now
    };
    const Case cases[] = {
        {"120", 120},
        {"0", 0},
        {"9999999999", 86400},
        {"Fri, 15 Jan 2027 08:02:00 GMT", 120},
        {"Sat, 16 Jan 2027 10:00:00 GMT", 86400},
        {"Mon, 01 Jan 2001 00:00:00 GMT", 978307200LL - 1800000000LL},
        {"Fri, 31 Dec 9999 23:59:59 GMT", 86400},
        {"soon", kNone},
        {"", kNone},
    };
    for (const auto& c : cases) {
        const auto when = retryAfterTime(c.value, now);
        if (c.seconds == kNone) {
            EXPECT_FALSE(when) << c.value;
        } else {
            ASSERT_TRUE(when) << c.value;
            EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(*when - now).count(),
                      c.seconds)
                << c.value;
        }
    }
}

TEST_F(NewsRefreshTest, UnchangedFeedsAreNotSentAgainAndBusyOnesAreLeftAlone)
{
    // Publishers that answer conditional requests, and two that ask to be left alone.
    std::map<std::string, int> fullAnswers, requests;
    std::map<std::string, std::string> conditions;
    bool busy = false;
    std::mutex answering; // the server answers on several threads at once
    server.server().Get(
        R"(/polite/(\w+))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(answering);
            const std::string name = request.matches[1];
            ++requests[name];
            conditions[name] = request.get_header_value("If-None-Match") + "|" +
                               request.get_header_value("If-Modified-Since");
            if (busy && (name == "busy" || name == "new")) {
                response.status = name == "busy" ? 503 : 429;
                response.set_header("Retry-After", "120");
                return;
            }
            if (name == "etag" && request.get_header_value("If-None-Match") == "\"v1\"") {
                response.status = 304;
                return;
            }
            if (name == "date" &&
                request.get_header_value("If-Modified-Since") == "Mon, 07 Dec 2026 10:00:00 GMT") {
                response.status = 304;
                return;
            }
            ++fullAnswers[name];
            if (name == "etag")
                response.set_header("ETag", "\"v1\"");
            if (name == "date")
                response.set_header("Last-Modified", "Mon, 07 Dec 2026 10:00:00 GMT");
            if (name == "busy" || name == "new")
                response.set_header("ETag", "\"" + name + "\""); // kept, never answered 304
            response.set_content(rss(name, {{"http://" + name + ".dk/1", name + " one"}}),
                                 "application/rss+xml");
        });
    FeedCache cache(dir.file("cache"));
    const auto run = [&] {
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.updatingText = "Opdaterer nyheder";
        context.completedText = "Opdatering komplet";
        context.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        context.http = &http;
        context.cache = &cache;
        refreshNewsPage(context);
    };
    dir.write("newsfeeds.txt", "");
    std::string selected;
    for (const char* name : {"etag", "date", "busy"})
        selected += server.url(std::string("/polite/") + name) + "\r\n";
    dir.write("newsselected.txt", selected);
    run();
    const std::string first = dir.read("news.html");

    // The same page again, with the items now seen: only conditional requests were
    // answered, and the busy publisher's feed is its stored one.
    busy = true;
    statuses.clear();
    run();
    std::string expected = first;
    for (std::size_t at; (at = expected.find("feed-line-new.gif")) != std::string::npos;)
        expected.replace(at, 17, "feed-line.gif");
    EXPECT_EQ(dir.read("news.html"), expected);
    EXPECT_EQ(fullAnswers["etag"], 1);
    EXPECT_EQ(fullAnswers["date"], 1);
    EXPECT_EQ(conditions["etag"], "\"v1\"|");
    EXPECT_EQ(conditions["date"], "|Mon, 07 Dec 2026 10:00:00 GMT");
    for (const auto& status : statuses)
        EXPECT_NE(status.rfind("Fejl ", 0), 0u) << status;

    // Until then the busy publisher is not asked at all; one never seen fails as before.
    dir.write("newsselected.txt", selected + server.url("/polite/new") + "\r\n");
    statuses.clear();
    run();
    EXPECT_EQ(requests["busy"], 2);
    EXPECT_EQ(requests["new"], 1);
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Opdaterer nyheder", "Fejl " + server.url("/polite/new"),
                                        "Opdatering komplet \x96 1 af 4 feeds fejlede"}));
    EXPECT_NE(dir.read("news.html").find("busy one"), std::string::npos);
}

TEST_F(NewsRefreshTest, AWebsitesAddressShowsTheFeedItsPageAnnounces)
{
    std::map<std::string, int> requests;
    int current = 1;      // the feed the site announces; the other one is gone
    int refusals = 0;     // how many times more the current feed fails before it answers
    int alsoAnswers = 0;  // an earlier feed that still answers
    std::mutex answering; // the server answers on several threads at once
    server.server().Get(
        R"(/site/(.*))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(answering);
            const std::string path = request.matches[1];
            ++requests[path];
            if (path.empty()) {
                response.set_content("<!DOCTYPE html><html><head><title>Sitet</title>"
                                     "<link rel=\"alternate\" type=\"application/rss+xml\" "
                                     "href=\"feed-" +
                                         std::to_string(current) +
                                         ".xml\"></head><body>Velkommen</body></html>",
                                     "text/html");
            } else if (path == "feed-" + std::to_string(current) + ".xml" && refusals > 0) {
                --refusals;
                response.status = 503;
            } else if (path == "feed-" + std::to_string(current) + ".xml" ||
                       path == "feed-" + std::to_string(alsoAnswers) + ".xml") {
                response.set_content(rss("site", {{"http://site.dk/" + path, "Nyhed " + path}}),
                                     "application/rss+xml");
            } else if (path == "kept" && request.get_header_value("If-None-Match") == "\"p1\"") {
                response.status = 304;
            } else if (path == "moved") {
                response.set_redirect(server.url("/site/sub/atom"));
            } else if (path == "sub/atom") {
                if (request.get_header_value("If-None-Match") == "\"a1\"") {
                    response.status = 304;
                    return;
                }
                response.set_header("ETag", "\"a1\"");
                response.set_content("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>A</title>"
                                     "<entry><title>Relativ</title><link href=\"1\"/></entry>"
                                     "</feed>",
                                     "application/atom+xml");
            } else if (path == "local") {
                response.set_content("<html><head><title>Lokal</title><link rel=\"alternate\" "
                                     "type=\"application/rss+xml\" href=\"file:///etc/passwd\">"
                                     "</head></html>",
                                     "text/html");
            } else {
                response.status = 404;
            }
        });
    FeedCache cache(dir.file("cache"));
    const auto run = [&] {
        statuses.clear();
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.updatingText = "Opdaterer nyheder";
        context.completedText = "Opdatering komplet";
        context.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        context.http = &http;
        context.cache = &cache;
        refreshNewsPage(context);
        return dir.read("news.html");
    };
    const std::string typed = server.url("/site/");
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", typed + "\r\n");
    const auto shows = [](const std::string& page, const std::string& feed, bool isNew) {
        return page.find(NewsPageWriter::headingText("http://site.dk/", "site") +
                         NewsPageWriter::itemText("http://site.dk/" + feed, "Nyhed " + feed,
                                                  isNew)) != std::string::npos;
    };
    const std::vector<std::string> complete{"Opdaterer nyheder", "Opdatering komplet", ""};

    // The page, then at once the feed it announces.
    EXPECT_TRUE(shows(run(), "feed-1.xml", true));
    EXPECT_EQ(statuses, complete);
    EXPECT_EQ(requests[""], 1);
    EXPECT_EQ(requests["feed-1.xml"], 1);

    // Later refreshes ask the feed directly.
    EXPECT_TRUE(shows(run(), "feed-1.xml", false));
    EXPECT_EQ(requests[""], 1);
    EXPECT_EQ(requests["feed-1.xml"], 2);

    // The feed moved: its failure sends the refresh to the page again, which leads on.
    current = 2;
    EXPECT_TRUE(shows(run(), "feed-2.xml", true));
    EXPECT_EQ(statuses, complete);
    EXPECT_EQ(requests["feed-1.xml"], 3);
    EXPECT_EQ(requests[""], 2);
    EXPECT_TRUE(shows(run(), "feed-2.xml", false));
    EXPECT_EQ(requests[""], 2);
    EXPECT_EQ(requests["feed-2.xml"], 2);
    EXPECT_EQ(dir.read("newsselected.txt"), typed + "\r\n") << "the typed address stays";

    // A page kept in the cache from before, unchanged since, leads on as well.
    cache.store(server.url("/site/kept"),
                {"<html><link rel=alternate type=application/rss+xml href=feed-2.xml></html>",
                 true,
                 "\"p1\"",
                 "",
                 {}});
    dir.write("newsselected.txt", server.url("/site/kept") + "\r\n");
    EXPECT_TRUE(shows(run(), "feed-2.xml", false));
    EXPECT_EQ(requests["kept"], 1);

    // A page that announces a local file leads nowhere.
    dir.write("newsselected.txt", server.url("/site/local") + "\r\n");
    const std::string page = run();
    EXPECT_EQ(page.find("root:"), std::string::npos);
    EXPECT_EQ(requests["local"], 1);

    // An Atom feed's relative link leads where the feed came from, after its redirect.
    dir.write("newsselected.txt", server.url("/site/moved") + "\r\n");
    EXPECT_NE(run().find(NewsPageWriter::itemText(server.url("/site/sub/1"), "Relativ", true)),
              std::string::npos);
    // Its answer as the version before kept it, without the address it came from: the
    // unchanged feed still leads where the redirect went.
    const std::string head = "nuvio-feed 5\n" + server.url("/site/moved") + "\n";
    for (const auto& file : std::filesystem::directory_iterator(dir.file("cache"))) {
        std::string text = test::TempDir::readFile(file.path().string());
        if (text.rfind(head, 0) != 0)
            continue;
        std::size_t at = 0; // past the head's seventh line, the size; then the address, type
        for (int line = 0; line < 7; ++line) // and lifetime
            at = text.find('\n', at) + 1;
        for (int line = 0; line < 3; ++line)
            text.erase(at, text.find('\n', at) + 1 - at);
        text[11] = '2';
        std::ofstream(file.path(), std::ios::binary | std::ios::trunc) << text;
    }
    EXPECT_NE(run().find(NewsPageWriter::itemText(server.url("/site/sub/1"), "Relativ", false)),
              std::string::npos);
    EXPECT_EQ(requests.size(), 7u) << "nothing else was asked";

    dir.write("newsselected.txt", typed + "\r\n");
    EXPECT_TRUE(shows(run(), "feed-2.xml", true));
    // Moved again, and the new feed fails at first: the old feed's last good answer keeps
    // its headlines (not new again) until the new one answers.
    current = 3;
    refusals = 1;
    EXPECT_TRUE(shows(run(), "feed-2.xml", false));
    EXPECT_EQ(requests["feed-3.xml"], 1);
    EXPECT_TRUE(shows(run(), "feed-3.xml", true));

    // A day later the page is read again, while its feed still answers: it may have moved
    // without the old one failing.
    const auto pageReads = requests[""];
    EXPECT_TRUE(shows(run(), "feed-3.xml", false));
    EXPECT_EQ(requests[""], pageReads) << "read at most once a day";
    cache.rememberFoundFeed(typed, server.url("/site/feed-3.xml"));
    for (const auto& file : std::filesystem::directory_iterator(dir.file("cache"))) {
        std::string text = test::TempDir::readFile(file.path().string());
        if (text.find("\n" + server.url("/site/feed-3.xml")) == std::string::npos ||
            text.find("found ") == std::string::npos)
            continue;
        // The fifth line of its head is when the page is due: now a day ago.
        std::size_t at = 0;
        for (int line = 0; line < 5; ++line)
            at = text.find('\n', at) + 1;
        const std::size_t end = text.find('\n', at);
        text.replace(at, end - at, std::to_string(std::stoll(text.substr(at, end - at)) - 86401));
        std::ofstream(file.path(), std::ios::binary | std::ios::trunc) << text;
    }
    current = 4;
    alsoAnswers = 3;
    EXPECT_TRUE(shows(run(), "feed-4.xml", true));
    EXPECT_EQ(requests["feed-3.xml"], 4) << "it answered, and was left";
    EXPECT_EQ(requests[""], pageReads + 1);

    // Two websites on a server that answers nothing: their remembered feeds cost the one
    // wait, and their pages are not asked again only to wait as long once more each.
    std::atomic<int> silentRequests{0};
    test::RawServer silent([&](int socket) {
        if (!test::readRequestHead(socket).empty())
            ++silentRequests;
        char byte;
        while (::recv(socket, &byte, 1, 0) > 0) {
        }
    });
    dir.write("newsselected.txt", silent.url("/a/") + "\r\n" + silent.url("/b/") + "\r\n");
    cache.rememberFoundFeed(silent.url("/a/"), silent.url("/a/feed.xml"));
    cache.rememberFoundFeed(silent.url("/b/"), silent.url("/b/feed.xml"));
    run();
    EXPECT_EQ(silentRequests.load(), 2) << "only the feeds were asked";
}

TEST_F(NewsRefreshTest, PublishersAreAskedNoMoreThanTheyWant)
{
    // Publishers that say how long an answer stands, that moved, and that closed; over
    // three starts and an hour of one-minute ticks on a clock the test keeps.
    std::map<std::string, int> requests;
    std::map<std::string, std::string> conditions;
    std::set<std::string> sentAlong; // cookies and referrers no feed request may carry
    bool closing = false;
    std::mutex answering; // the server answers on several threads at once
    server.server().Get(
        R"(/poll/(\w+))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(answering);
            const std::string name = request.matches[1];
            ++requests[name];
            conditions[name] = request.get_header_value("If-None-Match");
            for (const char* header : {"Cookie", "Referer"})
                if (request.has_header(header))
                    sentAlong.insert(name + ": " + header);
            response.set_header("Set-Cookie", "reader=" + name + "; Path=/");
            const auto feed = [&] {
                response.set_content(rss(name, {{"http://" + name + ".dk/1", name + " one"}}),
                                     "application/rss+xml");
            };
            if (name == "fresh") {
                response.set_header("Cache-Control", "public, max-age=3600");
                if (request.get_header_value("If-None-Match") == "W/\"f 1\"") {
                    response.status = 304;
                    return;
                }
                response.set_header("ETag", "W/\"f 1\"");
            } else if (name == "expires") {
                response.set_header("Date", "Mon, 07 Dec 2026 10:00:00 GMT"); // the clock aside
                response.set_header("Expires", "Mon, 07 Dec 2026 11:00:00 GMT");
            } else if (name == "nocache") {
                response.set_header("Cache-Control", "max-age=600, no-cache");
            } else if (name == "old") {
                response.set_redirect(server.url("/poll/moved"), 301);
                return;
            } else if (name == "temporary") {
                response.set_redirect(server.url("/poll/target"), 302);
                return;
            } else if (name == "gone" && closing) {
                response.status = 410;
                return;
            }
            feed();
        });
    // Read under the lock the server's threads write under.
    const auto asked = [&](const auto& counted) {
        const std::lock_guard lock(answering);
        return counted;
    };
    auto clock = std::chrono::system_clock::now();
    std::unique_ptr<HttpClient> client;
    const auto start = [&] {
        client = std::make_unique<HttpClient>(quickLimits());
        feedCache = std::make_unique<FeedCache>(dir.file("cache"));
    };
    const auto tick = [&](std::chrono::minutes after) {
        statuses.clear();
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.updatingText = "Opdaterer nyheder";
        context.completedText = "Opdatering komplet";
        context.showStatus = [this](const std::string& text) { statuses.push_back(text); };
        context.http = client.get();
        context.cache = feedCache.get();
        const auto now = clock + after;
        context.clock = [now] { return now; };
        return refreshNewsPage(context).failures;
    };
    const std::vector<std::string> names{"fresh", "expires", "nocache", "old", "temporary", "gone"};
    std::string selected;
    for (const auto& name : names)
        selected += server.url("/poll/" + name) + "\r\n";
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", selected);

    start();
    EXPECT_TRUE(tick(0min).empty());
    {
        const std::lock_guard lock(answering);
        closing = true;
    }
    start();
    const auto closed = tick(1min);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(failureListText(closed), server.url("/poll/gone") + ": lukket af udgiveren");
    start();
    for (int minute = 2; minute < 60; ++minute)
        EXPECT_TRUE(tick(std::chrono::minutes(minute)).empty()) << minute;
    EXPECT_EQ(asked(requests), (std::map<std::string, int>{{"fresh", 1},
                                                           {"expires", 1},
                                                           {"nocache", 60},
                                                           {"old", 1},
                                                           {"moved", 60},
                                                           {"temporary", 60},
                                                           {"target", 60},
                                                           {"gone", 2}}));
    EXPECT_TRUE(asked(sentAlong).empty()) << *asked(sentAlong).begin();
    const std::string page = dir.read("news.html");
    for (const auto& name : {"fresh", "expires", "moved", "gone"})
        EXPECT_NE(page.find(std::string(name) + " one"), std::string::npos) << name;

    // Past the hour, asked again: conditionally, with the validator as it was sent.
    EXPECT_TRUE(tick(61min).empty());
    EXPECT_EQ(asked(requests)["fresh"], 2);
    EXPECT_EQ(asked(conditions)["fresh"], "W/\"f 1\"");
    EXPECT_EQ(asked(requests)["expires"], 2);
    EXPECT_NE(dir.read("news.html").find("fresh one"), std::string::npos);

    // The closed feed chosen anew is asked again.
    dir.write("newsselected.txt", server.url("/poll/fresh") + "\r\n");
    tick(62min);
    dir.write("newsselected.txt", selected);
    EXPECT_EQ(tick(63min).size(), 1u);
    EXPECT_EQ(asked(requests)["gone"], 3);
    EXPECT_EQ(asked(requests)["fresh"], 2);
}
