// SPDX-License-Identifier: MIT
// Every document of the shared feed corpus through a whole refresh from a loopback server:
// nothing crashes, the page stays inert, and it is the same page whether the bodies arrive
// whole or in pieces of 128 bytes or of one byte.
#include "core/net/httpclient.h"
#include "core/news/newsrefresh.h"
#include "support/loopbackserver.h"
#include "support/pageinert.h"
#include "support/tempdir.h"

#include <algorithm>
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

} // namespace

TEST(CorpusReplay, EveryFeedWholeAndInPieces)
{
    const auto files = corpusFiles();
    if (files.empty())
        GTEST_SKIP() << "the shared feed corpus is not beside the repository";

    std::vector<std::string> bodies;
    for (const auto& file : files)
        bodies.push_back(test::TempDir::readFile(file));

    test::LoopbackServer server;
    server.server().Get(
        R"(/(\d+)/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
            const std::size_t piece = std::stoul(request.matches[1]);
            const std::size_t index = std::stoul(request.matches[2]);
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
        test::TempDir dir;
        std::string selected;
        for (std::size_t i = 0; i < bodies.size(); ++i)
            selected += server.url("/" + std::to_string(piece) + "/" + std::to_string(i)) + "\r\n";
        dir.write("newsselected.txt", selected);
        dir.write("newsfeeds.txt", "");
        HttpClient http;
        std::vector<std::string> statuses;
        NewsRefreshContext context;
        context.installPath = dir.path();
        context.maxNewsPerFeed = 999;
        context.showStatus = [&](const std::string& text) { statuses.push_back(text); };
        context.http = &http;
        refreshNewsPage(context);
        const std::string page = dir.read("news.html");
        EXPECT_EQ(test::pageInertnessProblem(page), "") << "pieces of " << piece;
        EXPECT_EQ(std::count_if(statuses.begin(), statuses.end(),
                                [](const std::string& s) { return s.rfind("Fejl ", 0) == 0; }),
                  0)
            << "pieces of " << piece;
        if (piece == 0)
            firstPage = page;
        else
            EXPECT_TRUE(page == firstPage) << "pieces of " << piece << " gave another page";
    }
    RecordProperty("documents", static_cast<int>(bodies.size()));
    std::printf("replayed %zu feed documents, whole and in pieces of 128 and 1 bytes\n",
                bodies.size());
}
