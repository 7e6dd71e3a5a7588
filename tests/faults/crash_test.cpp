// SPDX-License-Identifier: MIT
// The program killed at random moments while it saves its settings and while it updates
// its local files: afterwards the hive and every file are whole, old or new.
#include "core/platform/atomicfile.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace nuvio;
namespace fs = std::filesystem;

namespace {

constexpr int kKills = 40;

pid_t spawnHelper(std::vector<std::string> args)
{
    args.insert(args.begin(), CRASH_HELPER);
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, CRASH_HELPER, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

void killAfter(pid_t pid, std::mt19937& random, int maxMs)
{
    std::this_thread::sleep_for(std::chrono::microseconds(500 + random() % (maxMs * 1000)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

TEST(Crash, KilledWhileSavingTheSettings)
{
    test::TempDir dir;
    const std::string hive = dir.file("hive.reg");
    dir.write("hive.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"a\"=\"b\"\r\n");
    std::mt19937 random(4711);
    const std::map<std::string, std::set<std::string>> allowed = {
        {"mleft", {"1", "2"}},
        {"mtop", {"3", "4"}},
        {"mwidth", {"300"}},
        {"mheight", {"400"}},
        {"RefreshInterval", {"1", "2"}},
        {"MaxNewsPerFeed", {"11", "22"}},
        {"AppStartSide", {"*"}},
        {"UpdateNewsOnApplicationStart", {"-1"}},
        {"MinToSysTray", {"-1", "0"}},
        {"ObsFunktion", {"1"}},
        {"CheckLocalDays", {"30"}},
        {"UserLanguage", {"English", "Deutsch"}}};
    int complete = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t pid = spawnHelper({"save", hive});
        ASSERT_GT(pid, 0);
        // Long enough for whole saves under a sanitizer on a busy machine; the helper saves
        // over and over, so every kill still lands in the middle of one.
        killAfter(pid, random, 120);
        const std::string text = dir.read("hive.reg");
        ASSERT_EQ(text.rfind("REGEDIT4", 0), 0u) << "kill " << kill;
        ASSERT_NE(text.find("\"a\"=\"b\""), std::string::npos)
            << "kill " << kill << ": another key was lost";
        RegistryKey key(hive, kSettingsKeyPath);
        ASSERT_TRUE(key.openOrCreate());
        bool all = true;
        for (const auto& [name, values] : allowed) {
            const std::string value = key.readString(name);
            if (value.empty()) {
                all = false; // not written yet in the first rounds
                continue;
            }
            EXPECT_TRUE(values.count(value)) << "kill " << kill << ": " << name << " = " << value;
        }
        complete += all;
    }
    EXPECT_GT(complete, 0);
    std::printf("%d kills while saving; every hive whole\n", kKills);
}

TEST(Crash, KilledWhileUpdatingTheLocalFiles)
{
    const std::string list =
        "a.html!a.html\r\nb.html!b.html\r\nlogo.gif!logo.gif\r\nc.css!c.css\r\n";
    std::atomic<int> round{0};
    test::LoopbackServer server;
    server.server().Get(R"(/localfiles/v100/(.*))",
                        [&](const httplib::Request& request, httplib::Response& response) {
                            const std::string name = request.matches[1];
                            if (name == "dansk_filelist.txt") {
                                ++round;
                                response.set_content(list, "text/plain");
                                return;
                            }
                            std::string body;
                            const std::string unit = "v" + std::to_string(round.load() % 10) + "-";
                            while (body.size() < 200000)
                                body += unit;
                            response.set_content(body, "application/octet-stream");
                        });
    server.start();

    test::TempDir dir;
    const std::string original(200001, 'o');
    for (const char* name : {"a.html", "b.html", "logo.gif", "c.css"})
        dir.write(name, original);
    std::mt19937 random(1234);
    int changed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t pid = spawnHelper({"update", dir.path(), server.url("/")});
        ASSERT_GT(pid, 0);
        killAfter(pid, random, 60);
        for (const char* name : {"a.html", "b.html", "logo.gif", "c.css"}) {
            const std::string text = dir.read(name);
            if (text == original)
                continue;
            ASSERT_EQ(text.size() % 3, 0u) << name << " after kill " << kill;
            ASSERT_GE(text.size(), 200000u) << name << " is cut short after kill " << kill;
            for (std::size_t i = 3; i < text.size(); i += 3)
                ASSERT_EQ(text.compare(i, 3, text, 0, 3), 0)
                    << name << " mixes two versions after kill " << kill;
        }
        if (fs::exists(dir.file("filelist.txt"))) {
            ASSERT_EQ(dir.read("filelist.txt"), list);
        }
        changed += dir.read("a.html") != original;
    }
    EXPECT_GT(changed, 0) << "the runs got far enough to replace files";
    // What the killed writes left behind goes at the next start, and nothing else does.
    dir.write("notes.backup", "mine");
    dir.write("a.html.nuvio-tmp-mine", "mine too");
    removeLeftoverTemporaryFiles(dir.path());
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string());
    left.erase("filelist.txt"); // there when a run got to its end
    EXPECT_EQ(left, (std::set<std::string>{"a.html", "b.html", "logo.gif", "c.css", "notes.backup",
                                           "a.html.nuvio-tmp-mine"}));
    std::printf("%d kills while updating; every file whole\n", kKills);
}

TEST(Crash, StartUpCleanupLeavesAnotherCopysWriteAlone)
{
    // Two copies of the program with one install folder: one is writing its page while
    // the other starts; a third was killed in the middle of a write.
    test::TempDir dir;
    const auto waitFor = [](const std::string& path) {
        for (int i = 0; i < 500 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(path);
    };
    const pid_t killed = spawnHelper({"hold", dir.file("hive.reg")});
    ASSERT_TRUE(waitFor(dir.file("hive.reg.ready")));
    ::kill(killed, SIGKILL);
    ::waitpid(killed, nullptr, 0);
    const pid_t writer = spawnHelper({"hold", dir.file("news.html")});
    ASSERT_TRUE(waitFor(dir.file("news.html.ready")));

    removeLeftoverTemporaryFiles(dir.path());
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string().substr(0, 20));
    EXPECT_EQ(left,
              (std::set<std::string>{"hive.reg.ready", "news.html.nuvio-tmp-", "news.html.ready"}))
        << "the killed write's file goes, the live one's stays";

    dir.write("news.html.go", "");
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the live write completes";
    EXPECT_EQ(dir.read("news.html"), "first half, second half");
}
