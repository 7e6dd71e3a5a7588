// SPDX-License-Identifier: MIT
// A full disk and a read-only disk under each of the program's writes: the documented
// message, and no file left torn.
#include "core/deffiles/definitionupdate.h"
#include "core/net/httpclient.h"
#include "core/news/feedlists.h"
#include "core/news/newsrefresh.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"
#include "support/loopbackserver.h"
#include "support/smalldisk.h"
#include "support/tempdir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const std::string error = failure([&] { fetchDefinitionFiles(context); });
    if (GetParam() == Fault::Full)
        EXPECT_EQ(error, "Stream write error");
    else
        EXPECT_EQ(error.rfind("Cannot create file \"" + disk.file("a.html") + "\". ", 0), 0u)
            << error;
    EXPECT_EQ(test::TempDir::readFile(disk.file("a.html")), "old a");
    EXPECT_EQ(test::TempDir::readFile(disk.file("logo.gif")), "old gif");
    EXPECT_EQ(test::TempDir::readFile(disk.file("filelist.txt")), "old list");
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().filename().string().find(kTemporarySuffix), std::string::npos);
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
    EXPECT_EQ(failure([&] { refreshNewsPage(context); }),
              expected("Disk full", "File access denied"));
}

INSTANTIATE_TEST_SUITE_P(Faults, DiskFaultTest, ::testing::Values(Fault::Full, Fault::ReadOnly),
                         [](const auto& p) {
                             return p.param == Fault::Full ? "FullDisk" : "ReadOnlyDisk";
                         });

namespace {

struct HelperRun
{
    int code = -1;
    std::string output;
};

// One write by the helper program, as this user or (when we are root) as another one.
HelperRun writeOnceAs(bool otherUser, const std::string& helper, const std::string& args)
{
    const std::string command =
        (otherUser ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "") + helper +
        " once " + args + " 2>&1";
    HelperRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

TEST(WriteProtection, ProtectedFilesStayAsTheyAre)
{
    test::LoopbackServer server;
    server.server().Get(R"(/localfiles/v100/(.*))", [](const httplib::Request& request,
                                                       httplib::Response& response) {
        response.set_content(request.matches[1] == "dansk_filelist.txt" ? "a.html!a.html\r\n"
                                                                        : "new a",
                             "text/plain");
    });
    server.start();
    std::vector<bool> users = {false};
    if (::getuid() == 0 && ::system("command -v setpriv >/dev/null") == 0)
        users.push_back(true);
    for (const bool otherUser : users) {
        test::TempDir dir;
        // The folder is the writer's own: only the files' protection stands in the way.
        ::chmod(dir.path().c_str(), 0755);
        if (otherUser) {
            ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
        }
        const std::string helper = dir.file("helper");
        fs::copy_file(CRASH_HELPER, helper);
        struct Case
        {
            const char* what;
            const char* file;
            std::string args;
            std::string error;
        };
        const Case cases[] = {
            {"chosen feeds", "newsselected.txt", "select " + dir.file("newsselected.txt") + " New",
             "File access denied"},
            {"chosen feeds emptied", "newsselected.txt", "select " + dir.file("newsselected.txt"),
             "File access denied"},
            {"settings", "hive.reg", "save " + dir.file("hive.reg"),
             "Failed to set data for 'mleft'"},
            {"definition file", "a.html", "update " + dir.path() + " " + server.url("/"),
             "Cannot create file \"" + dir.file("a.html") + "\". Permission denied"},
        };
        for (const auto& c : cases) {
            const std::string what = std::string(c.what) + (otherUser ? " (other user)" : "");
            dir.write(c.file, "protected");
            ::chmod(dir.file(c.file).c_str(), 0444);
            if (otherUser) {
                ASSERT_EQ(::chown(dir.file(c.file).c_str(), 65534, 65534), 0);
            }
            const HelperRun run = writeOnceAs(otherUser, helper, c.args);
            EXPECT_EQ(run.code, 1) << what << ": " << run.output;
            EXPECT_EQ(run.output, c.error) << what;
            EXPECT_EQ(dir.read(c.file), "protected") << what;
            EXPECT_EQ(fs::status(dir.file(c.file)).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read)
                << what;
            fs::remove(dir.file(c.file));
        }
    }
}

TEST(WriteProtection, WritesThroughALinkKeepTheLink)
{
    test::TempDir dir;
    fs::create_directory(dir.file("real"));
    fs::create_symlink("real/hive.reg", dir.file("hive.reg"));
    for (int round = 0; round < 2; ++round) { // the link's target missing, then present
        AppSettings settings;
        settings.UserLanguage = round ? "English" : "Deutsch";
        SaveSettings(dir.file("hive.reg"), settings, {1, 2, 300, 400}, 60000);
        EXPECT_TRUE(fs::is_symlink(dir.file("hive.reg"))) << round;
        EXPECT_NE(dir.read("real/hive.reg").find(settings.UserLanguage), std::string::npos)
            << round;
    }
}

TEST(FeedCacheFolder, LinksAndFoldersOfOthersAreNeverWrittenThrough)
{
    if (::getuid() != 0 || ::system("command -v setpriv >/dev/null") != 0)
        GTEST_SKIP() << "needs root and setpriv to run the refresh as another user";
    constexpr uid_t kUser = 65534;
    test::LoopbackServer server;
    server.server().Get("/feed", [](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("If-None-Match") == "\"v1\"") {
            response.status = 304;
            return;
        }
        response.set_header("ETag", "\"v1\"");
        response.set_content("<rss><channel><title>Real</title><link>http://real.dk/</link>"
                             "<item><title>Real one</title><link>http://real.dk/1</link></item>"
                             "</channel></rss>",
                             "application/rss+xml");
    });
    server.start();
    struct Case
    {
        const char* what;
        uid_t folderOwner;
        mode_t folderMode;
        bool targetExists;
        bool used; // the entry is replaced by the feed's answer
    };
    const Case cases[] = {
        {"a link in the user's own folder", kUser, 0700, true, true},
        {"a link to a file not there yet", kUser, 0700, false, true},
        {"a folder others may write", kUser, 0777, true, false},
        {"another user's folder", 0, 0777, true, false},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        ::chmod(dir.path().c_str(), 0755);
        ASSERT_EQ(::chown(dir.path().c_str(), kUser, kUser), 0);
        dir.write("newsfeeds.txt", "");
        dir.write("newsselected.txt", server.url("/feed") + "\r\n");
        const std::string helper = dir.file("helper");
        fs::copy_file(CRASH_HELPER, helper);
        const std::string cache = dir.file("cache");
        const auto run = [&] {
            for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
                ::lchown(entry.path().c_str(), kUser, kUser);
            ::chown(cache.c_str(), c.folderOwner, c.folderOwner);
            return writeOnceAs(true, helper, "refresh " + dir.path() + " " + cache);
        };
        // A first refresh keeps the feed; then its entry becomes a link to a file of the
        // user's that holds what a stored feed looks like.
        ASSERT_EQ(run().code, 0) << c.what;
        fs::path entry; // the feed's, beside the list of the feeds chosen
        for (const auto& file : fs::directory_iterator(cache)) {
            if (test::TempDir::readFile(file.path().string()).find("Real one") != std::string::npos)
                entry = file.path();
        }
        ASSERT_FALSE(entry.empty()) << c.what;
        std::string stored = test::TempDir::readFile(entry.string());
        stored.replace(stored.find("Real one"), 8, "Link one");
        if (c.targetExists)
            dir.write("target", stored);
        fs::remove(entry);
        fs::create_symlink(dir.file("target"), entry);
        ::chmod(cache.c_str(), c.folderMode);

        const HelperRun second = run();
        EXPECT_EQ(second.code, 0) << c.what << ": " << second.output;
        EXPECT_EQ(second.output, "|||") << c.what << ": no failure, no Fejl";
        const std::string page = dir.read("news.html");
        EXPECT_NE(page.find("Real one"), std::string::npos) << c.what;
        EXPECT_EQ(page.find("Link one"), std::string::npos) << c.what;
        EXPECT_EQ(fs::exists(dir.file("target")), c.targetExists) << c.what;
        if (c.targetExists) {
            EXPECT_EQ(dir.read("target"), stored) << c.what << ": the link's target untouched";
        }
        EXPECT_EQ(fs::is_symlink(entry), !c.used) << c.what;
        if (c.used) {
            EXPECT_NE(test::TempDir::readFile(entry.string()).find("Real one"), std::string::npos)
                << c.what;
        }
    }
}
