// SPDX-License-Identifier: MIT
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"
#include "support/tempdir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

using namespace nuvio;

namespace {

std::string hiveWith(const std::string& values)
{
    return "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n" + values;
}

std::string valueOf(const std::string& hivePath, const char* name)
{
    RegistryKey key(hivePath, kSettingsKeyPath);
    EXPECT_TRUE(key.openOrCreate());
    return key.readString(name);
}

} // namespace

TEST(DefaultWindowBounds, FromTheScreenHeight)
{
    struct Case
    {
        int screen, width, height;
    };
    const Case cases[] = {{768, 270, 653},
                          {1024, 357, 870},
                          {1080, 376, 918},
                          {600, 270, 510},
                          {0, 270, 0},
                          // 10 × 0.85 is 8.5 and rounds to the even 8.
                          {10, 270, 8},
                          {1440, 502, 1224}};
    for (const auto& c : cases) {
        const auto b = defaultWindowBounds(c.screen);
        EXPECT_EQ(b.width, c.width) << c.screen;
        EXPECT_EQ(b.height, c.height) << c.screen;
        EXPECT_EQ(b.left, 0);
        EXPECT_EQ(b.top, 0);
    }
}

TEST(LoadSettings, EmptyOrMissingHiveGivesDefaultsSilently)
{
    test::TempDir dir;
    dir.write("empty.reg", "");
    for (const std::string& path : {dir.file("missing.reg"), dir.file("empty.reg")}) {
        AppSettings s;
        s.UserLanguage = "changed";
        s.InstallPath = "/kept";
        const auto loaded = LoadSettings(path, s, 768);
        EXPECT_FALSE(loaded.readFailed);
        EXPECT_EQ(loaded.bounds, (WindowBounds{0, 0, 270, 653}));
        EXPECT_EQ(loaded.refreshIntervalMs, 15u * 60000u);
        EXPECT_EQ(s.InstallPath, "/kept") << "the install path is never reset";
        EXPECT_EQ(s.AppStartSide, "*");
        EXPECT_EQ(s.MaxNewsPerFeed, 25);
        EXPECT_TRUE(s.UpdateNewsOnApplicationStart);
        EXPECT_FALSE(s.MinToSysTray);
        EXPECT_EQ(s.ObsFunktion, 1);
        EXPECT_EQ(s.CheckLocalDays, 30);
        EXPECT_EQ(s.UserLanguage, "Dansk");
    }
}

TEST(LoadSettings, ReadsEveryValue)
{
    test::TempDir dir;
    dir.write("h.reg",
              hiveWith("\"InstallPath\"=\"/opt/nuvio\"\n\"mleft\"=\"10\"\n\"mtop\"=\"-5\"\n"
                       "\"mwidth\"=\"200\"\n\"mheight\"=\"700\"\n\"RefreshInterval\"=\"0\"\n"
                       "\"MaxNewsPerFeed\"=\"999\"\n\"UpdateNewsOnApplicationStart\"=\"False\"\n"
                       "\"AppStartSide\"=\"10\"\n\"MinToSysTray\"=\"1\"\n\"ObsFunktion\"=\"3\"\n"
                       "\"CheckLocalDays\"=\"0\"\n\"UserLanguage\"=\"english\"\n"));
    AppSettings s;
    const auto loaded = LoadSettings(dir.file("h.reg"), s, 1080);
    EXPECT_FALSE(loaded.readFailed);
    EXPECT_EQ(loaded.bounds, (WindowBounds{10, -5, 200, 700}))
        << "a stored width under 270 is kept";
    EXPECT_EQ(loaded.refreshIntervalMs, 0u) << "0 minutes stops the periodic refresh";
    EXPECT_EQ(s.InstallPath, "/opt/nuvio");
    EXPECT_EQ(s.MaxNewsPerFeed, 999);
    EXPECT_FALSE(s.UpdateNewsOnApplicationStart);
    EXPECT_EQ(s.AppStartSide, "10");
    EXPECT_TRUE(s.MinToSysTray);
    EXPECT_EQ(s.ObsFunktion, 3);
    EXPECT_EQ(s.CheckLocalDays, 0);
    EXPECT_EQ(s.UserLanguage, "english");
}

TEST(LoadSettings, FirstBadValueEndsTheReading)
{
    struct Case
    {
        const char* what;
        std::string values;
        bool failed;
    };
    const std::string before =
        "\"InstallPath\"=\"/x\"\n\"mleft\"=\"3\"\n\"mtop\"=\"4\"\n\"mwidth\"=\"300\"\n"
        "\"mheight\"=\"600\"\n\"RefreshInterval\"=\"20\"\n";
    const std::string after =
        "\"UpdateNewsOnApplicationStart\"=\"0\"\n\"AppStartSide\"=\"2\"\n\"MinToSysTray\"=\"-1\"\n"
        "\"ObsFunktion\"=\"0\"\n\"CheckLocalDays\"=\"60\"\n\"UserLanguage\"=\"Norsk\"\n";
    const Case cases[] = {
        {"word", before + "\"MaxNewsPerFeed\"=\"mange\"\n" + after, true},
        {"dword", before + "\"MaxNewsPerFeed\"=dword:00000005\n" + after, true},
        {"unparsable line", before + "\"MaxNewsPerFeed\"=###\n" + after, true},
        {"empty keeps default", before + "\"MaxNewsPerFeed\"=\"\"\n" + after, false},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        dir.write("h.reg", hiveWith(c.values));
        AppSettings s;
        const auto loaded = LoadSettings(dir.file("h.reg"), s, 768);
        EXPECT_EQ(loaded.readFailed, c.failed) << c.what;
        EXPECT_EQ(s.InstallPath, "/x") << c.what;
        EXPECT_EQ(loaded.bounds, (WindowBounds{3, 4, 300, 600})) << c.what;
        EXPECT_EQ(loaded.refreshIntervalMs, 20u * 60000u) << c.what;
        EXPECT_EQ(s.MaxNewsPerFeed, 25) << c.what;
        if (c.failed) {
            EXPECT_TRUE(s.UpdateNewsOnApplicationStart) << c.what;
            EXPECT_EQ(s.AppStartSide, "*") << c.what;
            EXPECT_FALSE(s.MinToSysTray) << c.what;
            EXPECT_EQ(s.ObsFunktion, 1) << c.what;
            EXPECT_EQ(s.CheckLocalDays, 30) << c.what;
            EXPECT_EQ(s.UserLanguage, "Dansk") << c.what;
        } else {
            EXPECT_EQ(s.UserLanguage, "Norsk") << c.what;
        }
    }
}

TEST(LoadSettings, WrongTypeForTheFirstNumberAndBadBooleans)
{
    test::TempDir dir;
    dir.write("h.reg", hiveWith("\"mleft\"=dword:00000010\n\"UserLanguage\"=\"Svenska\"\n"));
    AppSettings s;
    auto loaded = LoadSettings(dir.file("h.reg"), s, 768);
    EXPECT_TRUE(loaded.readFailed);
    EXPECT_EQ(loaded.bounds, (WindowBounds{0, 0, 270, 653}));
    EXPECT_EQ(s.UserLanguage, "Dansk");

    dir.write("h.reg", hiveWith("\"MinToSysTray\"=\"yes\"\n\"AppStartSide\"=\"1\"\n"));
    loaded = LoadSettings(dir.file("h.reg"), s, 768);
    EXPECT_TRUE(loaded.readFailed);
    EXPECT_EQ(s.AppStartSide, "1") << "read before the bad boolean";
    EXPECT_FALSE(s.MinToSysTray);
}

TEST(LoadSettings, UnreadableHiveIsSilentDefaults)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("h.reg"));
    AppSettings s;
    const auto loaded = LoadSettings(dir.file("h.reg"), s, 768);
    EXPECT_FALSE(loaded.readFailed);
    EXPECT_EQ(s.UserLanguage, "Dansk");
}

TEST(SaveSettings, WritesTwelveValuesInOrderAndKeepsTheRest)
{
    test::TempDir dir;
    dir.write("h.reg",
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Keep]\n\"a\"=\"b\"\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"InstallPath\"=\"/opt/n\"\n"
              "\"Other\"=dword:00000002\n");
    AppSettings s;
    s.MaxNewsPerFeed = 40;
    s.AppStartSide = "-1";
    s.UpdateNewsOnApplicationStart = false;
    s.MinToSysTray = true;
    s.ObsFunktion = 2;
    s.CheckLocalDays = 90;
    s.UserLanguage = "English";
    // 1.5 minutes rounds to the even 2; 2.5 minutes to 2 as well.
    SaveSettings(dir.file("h.reg"), s, {5, 6, 300, 800}, 90000);
    const std::string written = dir.read("h.reg");
    const std::string expected =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Keep]\n\"a\"=\"b\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"InstallPath\"=\"/opt/n\"\n"
        "\"Other\"=dword:00000002\n\"mleft\"=\"5\"\n\"mtop\"=\"6\"\n\"mwidth\"=\"300\"\n"
        "\"mheight\"=\"800\"\n\"RefreshInterval\"=\"2\"\n\"MaxNewsPerFeed\"=\"40\"\n"
        "\"AppStartSide\"=\"-1\"\n\"UpdateNewsOnApplicationStart\"=\"0\"\n"
        "\"MinToSysTray\"=\"-1\"\n\"ObsFunktion\"=\"2\"\n\"CheckLocalDays\"=\"90\"\n"
        "\"UserLanguage\"=\"English\"\n";
    EXPECT_EQ(written, expected);

    SaveSettings(dir.file("h.reg"), s, {5, 6, 300, 800}, 150000);
    EXPECT_EQ(valueOf(dir.file("h.reg"), "RefreshInterval"), "2");
    SaveSettings(dir.file("h.reg"), s, {5, 6, 300, 800}, 0);
    EXPECT_EQ(valueOf(dir.file("h.reg"), "RefreshInterval"), "0");

    // What was saved loads back to the same values.
    AppSettings back;
    const auto loaded = LoadSettings(dir.file("h.reg"), back, 768);
    EXPECT_FALSE(loaded.readFailed);
    EXPECT_EQ(loaded.bounds, (WindowBounds{5, 6, 300, 800}));
    EXPECT_EQ(back.AppStartSide, "-1");
    EXPECT_TRUE(back.MinToSysTray);
    EXPECT_EQ(back.UserLanguage, "English");
}

namespace {
int failingWrites(std::size_t)
{
    return ENOSPC;
}
} // namespace

TEST(SaveSettings, FailuresAtExit)
{
    test::TempDir dir;
    const std::string original = hiveWith("\"mleft\"=\"1\"\n");
    dir.write("h.reg", original);
    AppSettings s;

    // A full disk: the first write fails, naming its value, and the hive stays whole.
    setWriteFaultHook(failingWrites);
    try {
        SaveSettings(dir.file("h.reg"), s, {9, 9, 300, 800}, 60000);
        setWriteFaultHook(nullptr);
        FAIL();
    } catch (const NuvioError& e) {
        setWriteFaultHook(nullptr);
        EXPECT_STREQ(e.what(), "Failed to set data for 'mleft'");
    }
    EXPECT_EQ(dir.read("h.reg"), original);

    // A hive that cannot be opened is left alone silently.
    std::filesystem::create_directory(dir.file("folder.reg"));
    EXPECT_NO_THROW(SaveSettings(dir.file("folder.reg"), s, {1, 1, 1, 1}, 60000));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.reg")));
}

TEST(RefreshInterval, MinutesAndMilliseconds)
{
    EXPECT_EQ(minutesToInterval(15), 900000u);
    EXPECT_EQ(minutesToInterval(0), 0u);
    EXPECT_EQ(intervalToMinutes(900000), 15);
    EXPECT_EQ(intervalToMinutes(30000), 0) << "half a minute rounds to the even 0";
    EXPECT_EQ(intervalToMinutes(89999), 1);
    EXPECT_EQ(intervalToMinutes(minutesToInterval(60)), 60);
}
