// SPDX-License-Identifier: MIT
// Every document of the shared feed corpus through a whole refresh from a loopback server:
// nothing crashes, the page stays inert, it is the same page whether the bodies arrive
// whole or in pieces of 128 bytes or of one byte, only a document the scanner can take
// nothing from is reported as no feed, and every well-formed Atom document lists as many
// headlines as an XML parser finds entries in it.
#include "core/net/httpclient.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/newsrefresh.h"
#include "support/loopbackserver.h"
#include "support/pageinert.h"
#include "support/tempdir.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>

using namespace nuvio;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> files;
    const fs::path root = fs::path(NUVIO_SOURCE_DIR) / ".." / "shared" / "corpus" / "feedparser";
    if (!fs::is_directory(root))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && entry.path().extension() == ".xml")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Whether a scan of the document finds anything at all: a title, a link or an item.
bool scannerFindsAnything(const std::string& body)
{
    struct Found : FeedSink
    {
        bool any = false;
        void feedHeading(std::string_view link, std::string_view title) override
        {
            any = any || !link.empty() || !title.empty();
        }
        void item(std::string_view, std::string_view) override { any = true; }
    } found;
    scanFeed(FeedText(prepareFeedText(body)), 999, found, [] {});
    return found.any;
}

} // namespace

TEST(CorpusReplay, EveryFeedWholeAndInPieces)
{
    const auto files = corpusFiles();
    if (files.empty())
        GTEST_SKIP() << "the shared feed corpus is not beside the repository";

    std::vector<std::string> bodies;
    for (const auto& file : files)
        bodies.push_back(test::TempDir::readFile(file));

    // Every run asks the same addresses (an Atom feed's relative links resolve against
    // them); the server is told how to cut the bodies.
    std::atomic<std::size_t> pieces{0};
    test::LoopbackServer server;
    server.server().Get(
        R"(/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::size_t piece = pieces.load();
            const std::size_t index = std::stoul(request.matches[1]);
            const std::string& body = bodies.at(index);
            if (piece == 0) {
                response.set_content(body, "application/xml");
                return;
            }
            response.set_chunked_content_provider(
                "application/xml", [&body, piece](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= body.size()) {
                        sink.done();
                        return true;
                    }
                    return sink.write(body.data() + offset, std::min(piece, body.size() - offset));
                });
        });
    server.start();

    std::string firstPage;
    for (const std::size_t piece : {0u, 128u, 1u}) {
        pieces = piece;
        test::TempDir dir;
        std::string selected;
        for (std::size_t i = 0; i < bodies.size(); ++i)
            selected += server.url("/" + std::to_string(i)) + "\r\n";
        dir.write("newsselected.txt", selected);
        dir.write("newsfeeds.txt", "");
        HttpClient http;
        std::vector<std::string> statuses;
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.maxNewsPerFeed = 999;
        context.showStatus = [&](const std::string& text) { statuses.push_back(text); };
        context.http = &http;
        const auto failures = refreshNewsPage(context).failures;
        const std::string page = dir.read("news.html");
        EXPECT_EQ(test::pageInertnessProblem(page), "") << "pieces of " << piece;
        for (const auto& failure : failures) {
            const std::size_t index =
                std::stoul(failure.entry.substr(failure.entry.rfind('/') + 1));
            EXPECT_EQ(failure.reason, HttpFailure::None) << files[index];
            EXPECT_FALSE(scannerFindsAnything(bodies[index]))
                << files[index] << " was reported as no feed, but has something to read";
        }
        if (piece == 0)
            firstPage = page;
        else
            EXPECT_TRUE(page == firstPage) << "pieces of " << piece << " gave another page";
    }
    RecordProperty("documents", static_cast<int>(bodies.size()));
    std::printf("replayed %zu feed documents, whole and in pieces of 128 and 1 bytes\n",
                bodies.size());
}

namespace {

// The entries of a well-formed Atom document, as an XML parser counts them: children of
// its root feed element in the Atom 1.0 or 0.3 namespace. None for anything else.
std::optional<int> atomEntries(const std::string& body)
{
    QXmlStreamReader xml(QByteArray::fromStdString(body));
    int depth = 0, entries = 0;
    QString atom;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 0) {
                atom = xml.namespaceUri().toString();
                if (xml.name() != u"feed" ||
                    (atom != u"http://www.w3.org/2005/Atom" && atom != u"http://purl.org/atom/ns#"))
                    return std::nullopt;
            } else if (depth == 1 && xml.name() == u"entry" && xml.namespaceUri() == atom) {
                ++entries;
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    if (xml.hasError() || atom.isEmpty())
        return std::nullopt;
    return entries;
}

struct CountingSink : FeedSink
{
    void feedHeading(std::string_view, std::string_view) override {}
    void item(std::string_view, std::string_view) override { ++items; }
    int items = 0;
};

} // namespace

TEST(CorpusReplay, AtomDocumentsListEveryEntry)
{
    const auto files = corpusFiles();
    if (files.empty())
        GTEST_SKIP() << "the shared feed corpus is not beside the repository";
    int checked = 0, listed = 0;
    for (const auto& file : files) {
        const std::string body = test::TempDir::readFile(file);
        const auto entries = atomEntries(body);
        // A document that mentions "<channel" anywhere keeps the RSS scan.
        if (!entries || body.find("<channel") != std::string::npos)
            continue;
        CountingSink sink;
        scanFeed(FeedText(prepareFeedText(body)), 999, sink, {});
        EXPECT_EQ(sink.items, *entries) << file;
        ++checked;
        listed += sink.items;
    }
    EXPECT_GT(checked, 400);
    std::printf("%d well-formed Atom documents list every entry, %d in all\n", checked, listed);
}
