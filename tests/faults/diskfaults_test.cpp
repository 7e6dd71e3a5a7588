// A full disk and a read-only disk under each of the program's writes: the documented
// message, and no file left torn.
#include "deffiles/definitionupdate.h"
#include "net/httpclient.h"
#include "news/feedlists.h"
#include "news/newsrefresh.h"
#include "platform/errors.h"
#include "platform/registryhive.h"
#include "settings/settingsstore.h"
#include "support/loopbackserver.h"
#include "support/smalldisk.h"
#include "support/tempdir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace nuvio;
namespace fs = std::filesystem;

namespace {

enum class Fault { Full, ReadOnly };

std::string failure(const std::function<void()>& write)
{
    try {
        write();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

class DiskFaultTest : public ::testing::TestWithParam<Fault>
{
protected:
    void SetUp() override
    {
        if (!disk.available())
            GTEST_SKIP() << "no private tmpfs here (needs root)";
        server.server().Get(R"(/localfiles/v100/(.*))", [](const httplib::Request& request,
                                                           httplib::Response& response) {
            const std::string name = request.matches[1];
            if (name == "dansk_filelist.txt")
                response.set_content("a.html!a.html\r\nlogo.gif!logo.gif\r\n", "text/plain");
            else
                response.set_content(std::string(20000, 'n'), "text/html");
        });
        server.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
            std::string feed = "<rss><channel><title>T</title><link>http://t</link>";
            for (int i = 0; i < 200; ++i)
                feed += "<item><title>Nyhed " + std::to_string(i) + "</title><link>http://t/" +
                        std::to_string(i) + "</link></item>";
            response.set_content(feed + "</channel></rss>", "application/rss+xml");
        });
        server.start();
    }

    void breakDisk()
    {
        if (GetParam() == Fault::Full)
            disk.fill();
        else
            ASSERT_TRUE(disk.setReadOnly(true));
    }

    std::string expected(const char* full, const char* readOnly) const
    {
        return GetParam() == Fault::Full ? full : readOnly;
    }

    test::SmallDisk disk{256};
    test::LoopbackServer server;
};

} // namespace

TEST_P(DiskFaultTest, ChosenFeeds)
{
    const std::string path = disk.file("newsselected.txt");
    writeSelectedFeeds(path, {"Old"});
    breakDisk();
    EXPECT_EQ(failure([&] {
                  writeSelectedFeeds(path, {"New", "Feeds"});
              }),
              expected("Disk full", "File access denied"));
    EXPECT_EQ(test::TempDir::readFile(path), "Old\r\n");
}

TEST_P(DiskFaultTest, SettingsHive)
{
    const std::string hive = disk.file("hive.reg");
    AppSettings settings;
    SaveSettings(hive, settings, {1, 2, 300, 400}, 60000);
    const std::string before = test::TempDir::readFile(hive);
    breakDisk();
    settings.UserLanguage = "English";
    EXPECT_EQ(failure([&] {
                  SaveSettings(hive, settings, {5, 6, 300, 400}, 60000);
              }),
              "Failed to set data for 'mleft'");
    EXPECT_EQ(test::TempDir::readFile(hive), before);
}

TEST_P(DiskFaultTest, DefinitionFiles)
{
    const std::string root = disk.path();
    {
        std::ofstream(disk.file("a.html")) << "old a";
        std::ofstream(disk.file("logo.gif")) << "old gif";
        std::ofstream(disk.file("filelist.txt")) << "old list";
    }
    breakDisk();
    HttpClient http;
    DefinitionUpdateContext context;
    context.installPath = root;
    context.serverBaseUrl = server.url("/");
    context.userLanguage = "Dansk";
    context.http = &http;
    const std::string error = failure([&] { UpdateDefinitionFiles(context); });
    if (GetParam() == Fault::Full)
        EXPECT_EQ(error, "Stream write error");
    else
        EXPECT_EQ(error.rfind("Cannot create file \"" + disk.file("a.html") + "\". ", 0), 0u)
            << error;
    EXPECT_EQ(test::TempDir::readFile(disk.file("a.html")), "old a");
    EXPECT_EQ(test::TempDir::readFile(disk.file("logo.gif")), "old gif");
    EXPECT_EQ(test::TempDir::readFile(disk.file("filelist.txt")), "old list");
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().filename().string().find(".XXXXXX"), std::string::npos);
}

TEST_P(DiskFaultTest, NewsPage)
{
    {
        std::ofstream(disk.file("newsfeeds.txt")) << "";
        std::ofstream(disk.file("newsselected.txt")) << server.url("/feed") << "\r\n";
    }
    breakDisk();
    HttpClient http;
    NewsRefreshContext context;
    context.installPath = disk.path();
    context.showStatus = [](const std::string&) {};
    context.http = &http;
    EXPECT_EQ(failure([&] { UpdateNews(context); }), expected("Disk full", "File access denied"));
}

INSTANTIATE_TEST_SUITE_P(Faults, DiskFaultTest, ::testing::Values(Fault::Full, Fault::ReadOnly),
                         [](const auto& p) {
                             return p.param == Fault::Full ? "FullDisk" : "ReadOnlyDisk";
                         });
