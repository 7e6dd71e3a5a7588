// SPDX-License-Identifier: MIT
#include "core/deffiles/definitionupdate.h"
#include "core/language/addedtexts.h"
#include "core/net/httpclient.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace nuvio;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(FileList, OnlyCrLfEndsALine)
{
    struct Case
    {
        std::string list;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a!b\r\n", {"a!b"}},
        {"a!b", {"a!b"}},
        {"a!b\r\nc!d\r\n", {"a!b", "c!d"}},
        {"a!b\r\n\r\nc!d\r\n", {"a!b", "", "c!d"}},
        {"a!b\nc!d\n", {"a!b\nc!d\n"}},
        {"a!b\rc!d", {"a!b\rc!d"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileListLines(c.list), c.lines) << testing::PrintToString(c.list);
}

TEST(FileList, EntryFields)
{
    struct Case
    {
        std::string line;
        bool keep, image;
        std::string remote, local;
    };
    const Case cases[] = {
        {"index.html!index.html", false, false, "index.html", "index.html"},
        {"*index.html!index.html", true, false, "index.html", "index.html"},
        {"**a*b.html!c*d.html", true, false, "ab.html", "cd.html"},
        {"a*b.html!c.html", false, false, "a*b.html", "c.html"},
        {"logo.gif!logo.gif", false, true, "logo.gif", "logo.gif"},
        {"photo.jpg!x", false, true, "photo.jpg", "x"},
        {"PHOTO.JPG!x", false, false, "PHOTO.JPG", "x"},
        {"icon.png!icon.png", false, false, "icon.png", "icon.png"},
        {"my page.html!local.html", false, false, "my", "page.html"},
        {"\"my page.html\"!\"my local.html\"", false, false, "my page.html", "my local.html"},
        {"a!b\nc!d\n", false, false, "a", "b"},
        {"  a  !  b  ", false, false, "a", "b"},
        {"a!b!c", false, false, "a", "b"},
        {"a!", false, false, "a", ""},
    };
    for (const auto& c : cases) {
        const auto entry = readFileListEntry(c.line);
        EXPECT_EQ(entry.keepIfPresent, c.keep) << c.line;
        EXPECT_EQ(entry.image, c.image) << c.line;
        EXPECT_EQ(entry.remoteName, c.remote) << c.line;
        EXPECT_EQ(entry.localName, c.local) << c.line;
    }
    for (const auto& [line, index] :
         std::vector<std::pair<std::string, int>>{{"", 0}, {"   ", 0}, {"only", 1}, {"*", 0}}) {
        try {
            readFileListEntry(line);
            FAIL() << line;
        } catch (const NuvioError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(LocalFilePath, NothingOutsideTheInstallDirectory)
{
    test::TempDir dir;
    test::TempDir outside;
    fs::create_directory(dir.file("sub"));
    fs::create_directory_symlink(outside.path(), dir.file("link"));
    fs::create_directory_symlink(dir.file("sub"), dir.file("innerlink"));
    struct Case
    {
        std::string name;
        bool allowed;
    };
    const Case cases[] = {
        {"index.html", true}, {"sub/page.html", true}, {"innerlink/page.html", true},
        {"../x", false},      {"/etc/x", false},       {"a/../../x", false},
        {"sub/../x", false},  {"..", false},           {"link/x", false},
        {"link/../x", false}, {"..hidden", true},      {"a..b", true},
        {"missing/x", true}, // the write itself fails with the system's reason
    };
    for (const auto& c : cases) {
        if (c.allowed) {
            EXPECT_EQ(localFilePath(dir.path(), c.name), dir.path() + "/" + c.name) << c.name;
            continue;
        }
        try {
            localFilePath(dir.path(), c.name);
            FAIL() << c.name;
        } catch (const NuvioError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir.path() + "/" + c.name +
                                                 "\". The name leads outside the install directory")
                << c.name;
        }
    }
}

namespace {

std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

} // namespace

TEST(AgeCheck, WholeDaysFromTodaysMidnight)
{
    // Days are the local calendar's, also across a change to or from summer time.
    const std::string oldZone = std::getenv("TZ") ? std::getenv("TZ") : "";
    ::setenv("TZ", "Europe/Copenhagen", 1);
    ::tzset();
    struct Case
    {
        std::chrono::system_clock::time_point now, stored;
        int days;
        bool stale;
    };
    const auto now = localTime(2026, 12, 7, 15);
    const Case cases[] = {
        {now, localTime(2026, 11, 6, 10), 30, false}, // 31 days before: span 30.58, age 30
        {now, localTime(2026, 11, 5, 10), 30, true},  // 32 days before: age 31
        {now, localTime(2026, 12, 6, 10), 0, false},  // yesterday: age 0
        {now, localTime(2026, 12, 5, 10), 0, true},   // the day before: age 1
        {now, localTime(2026, 12, 7, 9), 0, false},
        {now, localTime(2027, 1, 16, 10), 30, true}, // forty days ahead counts by its distance
        {now, localTime(2027, 1, 6, 10), 30, false},
        {now, localTime(2026, 11, 7, 0), 30, false}, // exactly 30 days: not greater
        {now, localTime(2026, 11, 6, 23), 30, false},
        {now, localTime(2026, 11, 5, 23), 30, true},
        {now, localTime(2026, 12, 7, 10), -1, true}, // a negative setting makes every list stale
        // Summer time ends on 25 October: 30 days and 23 hours by the calendar.
        {localTime(2026, 11, 25, 15), localTime(2026, 10, 25, 1), 30, false},
        // and begins on 29 March: 31 calendar days, though one hour less has passed.
        {localTime(2026, 4, 29, 15), localTime(2026, 3, 29, 0), 30, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isStale(c.stored, c.now, c.days), c.stale)
            << std::chrono::system_clock::to_time_t(c.stored) << " days " << c.days;
    if (oldZone.empty())
        ::unsetenv("TZ");
    else
        ::setenv("TZ", oldZone.c_str(), 1);
    ::tzset();
}

namespace {

struct Recorder : UpdateProgress
{
    void begin(std::size_t n) override { events.push_back("begin " + std::to_string(n)); }
    void at(std::size_t i) override { events.push_back("at " + std::to_string(i)); }
    void end() override { events.push_back("end"); }
    std::vector<std::string> events;
};

class DefinitionUpdateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.server().Get(R"(/localfiles/v100/(.*))",
                            [this](const httplib::Request& request, httplib::Response& response) {
                                const std::string name = request.matches[1];
                                requests.push_back(name);
                                const auto found = files.find(name);
                                if (found == files.end()) {
                                    response.status = 404;
                                    return;
                                }
                                response.set_content(found->second, "application/octet-stream");
                            });
        server.start();
    }

    DefinitionUpdateContext context()
    {
        DefinitionUpdateContext c;
        c.installPath = dir.path();
        c.serverBaseUrl = server.url("/");
        c.userLanguage = "Dansk";
        c.http = &http;
        c.progress = &progress;
        c.yield = [this] { ++yields; };
        return c;
    }

    std::string run() { return run(context()); }
    std::string run(const DefinitionUpdateContext& c)
    {
        try {
            fetchDefinitionFiles(c);
            return "";
        } catch (const NuvioError& e) {
            return e.what();
        }
    }

    test::TempDir dir;
    test::LoopbackServer server;
    HttpClient http;
    Recorder progress;
    std::map<std::string, std::string> files;
    std::vector<std::string> requests;
    int yields = 0;
};

} // namespace

TEST_F(DefinitionUpdateTest, StoresEveryFileAndTheListLast)
{
    const std::string gif("GIF89a\0\x01\x02\0end", 12);
    files = {{"dansk_filelist.txt",
              "index.html!index.html\r\n*keep.html!keep.html\r\n*fetch.html!fetch.html\r\n"
              "logo.gif!img/"
              "logo.gif\r\nPIC.JPG!pic.txt\r\nicon.png!icon.png\r\nempty.html!empty.html\r\n"},
             {"index.html", std::string("<html>\r\n\xE6\xF8\xE5\n</html>")},
             {"keep.html", "new keep"},
             {"fetch.html", "fetched"},
             {"logo.gif", gif},
             {"PIC.JPG", std::string("JPG\0tail", 8)},
             {"icon.png", std::string("\x89PNG\0rest", 9)},
             {"empty.html", ""}};
    dir.write("keep.html", "old keep");
    dir.write("index.html", "old index");
    fs::create_directory(dir.file("img"));
    EXPECT_EQ(run(), "");
    EXPECT_EQ(dir.read("index.html"), std::string("<html>\r\n\xE6\xF8\xE5\n</html>"));
    EXPECT_EQ(dir.read("keep.html"), "old keep");
    EXPECT_EQ(dir.read("fetch.html"), "fetched");
    EXPECT_EQ(dir.read("img/logo.gif"), gif) << "images are stored byte for byte";
    EXPECT_EQ(dir.read("pic.txt"), "JPG") << "capital extensions go the text way";
    EXPECT_EQ(dir.read("icon.png"), "\x89PNG");
    EXPECT_EQ(dir.read("empty.html"), "");
    EXPECT_EQ(dir.read("filelist.txt"), files["dansk_filelist.txt"]);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "keep.html"), 0)
        << "a kept file is not asked for";
    EXPECT_EQ(progress.events.front(), "begin 0") << "shown while the list loads";
    EXPECT_EQ(progress.events[1], "begin 7");
    EXPECT_EQ(progress.events[progress.events.size() - 2], "at 7") << "ends full";
    EXPECT_EQ(progress.events.back(), "end");
    EXPECT_EQ(progress.events.size(), 11u);
    EXPECT_GT(yields, 0);
}

TEST_F(DefinitionUpdateTest, ListNameFromTheLanguageKey)
{
    files = {{"english_filelist.txt", ""}, {"dansk_filelist.txt", ""}};
    auto c = context();
    c.userLanguage = "DANSK";
    fetchDefinitionFiles(c);
    c.userLanguage = "English";
    fetchDefinitionFiles(c);
    EXPECT_EQ(requests, (Lines{"dansk_filelist.txt", "english_filelist.txt"}));
    EXPECT_EQ(dir.read("filelist.txt"), "");
    EXPECT_EQ(progress.events,
              (Lines{"begin 0", "begin 0", "at 0", "end", "begin 0", "begin 0", "at 0", "end"}))
        << "an empty list completes";
}

TEST_F(DefinitionUpdateTest, FailureInTheMiddle)
{
    struct Case
    {
        const char* what;
        std::string list;
        std::string error;
    };
    const Case cases[] = {
        {"missing file on the server", "a.html!a.html\r\ngone.html!gone.html\r\nb.html!b.html\r\n",
         "HTTP/1.1 404 Not Found"},
        {"blank line", "a.html!a.html\r\n\r\nb.html!b.html\r\n", "List index out of bounds (0)"},
        {"one name", "a.html!a.html\r\nlonely\r\nb.html!b.html\r\n",
         "List index out of bounds (1)"},
        {"folder that does not exist", "a.html!a.html\r\nb.html!nowhere/b.html\r\n", ""},
        {"a way out", "a.html!a.html\r\nb.html!../b.html\r\n", ""},
    };
    for (const auto& c : cases) {
        files = {{"dansk_filelist.txt", c.list}, {"a.html", "new a"}, {"b.html", "new b"}};
        dir.write("a.html", "old a");
        dir.write("b.html", "old b");
        dir.write("filelist.txt", "old list");
        const std::string error = run();
        EXPECT_FALSE(error.empty()) << c.what;
        if (!c.error.empty()) {
            EXPECT_EQ(error, c.error) << c.what;
        } else {
            EXPECT_EQ(error.rfind("Cannot create file \"" + dir.path() + "/", 0), 0u)
                << c.what << ": " << error;
        }
        EXPECT_EQ(dir.read("a.html"), "new a") << c.what << ": what was stored stays";
        EXPECT_EQ(dir.read("b.html"), "old b")
            << c.what << ": what was not reached keeps its contents";
        EXPECT_EQ(dir.read("filelist.txt"), "old list") << c.what;
        EXPECT_EQ(progress.events.back(), "end")
            << c.what << ": the window goes even after a failure";
        EXPECT_FALSE(fs::exists(fs::path(dir.path()).parent_path() / "b.html"));
    }
    files.clear();
    progress.events.clear();
    EXPECT_EQ(run(), "HTTP/1.1 404 Not Found") << "no list at all";
    EXPECT_EQ(progress.events, (Lines{"begin 0", "end"})) << "shown while it was asked for";
}

namespace {
int diskFull(std::size_t)
{
    return ENOSPC;
}
} // namespace

TEST_F(DefinitionUpdateTest, FullDiskLeavesOldFilesWhole)
{
    files = {{"dansk_filelist.txt", "a.html!a.html\r\nlogo.gif!logo.gif\r\n"},
             {"a.html", "new"},
             {"logo.gif", "GIF"}};
    dir.write("a.html", "old a");
    dir.write("logo.gif", "old gif");
    setWriteFaultHook(diskFull);
    const std::string error = run();
    setWriteFaultHook(nullptr);
    EXPECT_EQ(error, "Stream write error");
    EXPECT_EQ(dir.read("a.html"), "old a");
    EXPECT_EQ(dir.read("logo.gif"), "old gif");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2)
        << "no temporary file left behind";
}

TEST_F(DefinitionUpdateTest, PlantedLinkIsNotFollowed)
{
    test::TempDir outside;
    fs::create_directory_symlink(outside.path(), dir.file("pages"));
    files = {{"dansk_filelist.txt", "x.html!pages/x.html\r\n"}, {"x.html", "evil"}};
    EXPECT_EQ(run(), "Cannot create file \"" + dir.path() +
                         "/pages/x.html\". The name leads outside the install directory");
    EXPECT_FALSE(fs::exists(outside.file("x.html")));
}

TEST_F(DefinitionUpdateTest, NamesWithBlanksAndLettersArrive)
{
    files = {{"dansk _filelist.txt", "\"my page.html\"!\"my local.html\"\r\nk\xF8"
                                     "benhavn.html!kbh.html\r\n"},
             {"my page.html", "blank"},
             {"k\xF8"
              "benhavn.html",
              "letter"}};
    auto c = context();
    c.userLanguage = "Dansk "; // a language key with a trailing blank
    EXPECT_EQ(run(c), "");
    EXPECT_EQ(dir.read("my local.html"), "blank");
    EXPECT_EQ(dir.read("kbh.html"), "letter");
}

TEST_F(DefinitionUpdateTest, NoVendorServerNoRequest)
{
    files = {{"dansk_filelist.txt", "a.html!a.html\r\n"}, {"a.html", "a"}};
    auto c = context();
    c.serverBaseUrl.clear();
    std::vector<std::string> said;
    c.showStatus = [&](const std::string& text) { said.push_back(text); };
    EXPECT_EQ(run(c), "") << "the age check finds no list, and asks for nothing";
    fetchDefinitionFilesIfStale(c);
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(progress.events.empty()) << "no progress window either";
    const std::string noServer = addedText(AddedText::NoUpdateServer);
    EXPECT_EQ(said, (Lines{noServer, noServer}));
    EXPECT_FALSE(fs::exists(dir.file("filelist.txt")));
}

TEST_F(DefinitionUpdateTest, AgeCheckRunsOnlyWhenStale)
{
    files = {{"dansk_filelist.txt", "a.html!a.html\r\n"}, {"a.html", "a"}};
    auto c = context();
    EXPECT_TRUE(fetchDefinitionFilesIfStale(c)) << "no list yet";
    EXPECT_FALSE(fetchDefinitionFilesIfStale(c)) << "just stored";
    const auto later = std::chrono::system_clock::now() + std::chrono::hours(24 * 40);
    EXPECT_TRUE(fetchDefinitionFilesIfStale(c, later));
}
