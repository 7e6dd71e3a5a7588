// SPDX-License-Identifier: MIT
#include "core/language/languagekey.h"
#include "core/shell/pageurls.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(LanguageKey, OnlyAsciiCapitalsAreLowered)
{
    EXPECT_EQ(languageKey("Dansk"), "dansk");
    EXPECT_EQ(languageKey("ENGLISH"), "english");
    EXPECT_EQ(languageKey("\xC6"
                          "ble"),
              "\xC6"
              "ble")
        << "Æ is not an ASCII capital";
    EXPECT_EQ(languageKey(""), "");
}

TEST(LocalPageURL, PlainConcatenation)
{
    AppSettings s;
    s.InstallPath = "/home/a b/nuvio";
    s.UserLanguage = "Dansk";
    EXPECT_EQ(LocalPageURL(s, "index"), "file:///home/a b/nuvio/index.html?l=dansk");
    s.InstallPath.clear();
    s.UserLanguage.clear();
    EXPECT_EQ(LocalPageURL(s, "about"), "file:///about.html?l=");
}

TEST(StartView, OnlyTheFirstCharacterCounts)
{
    test::TempDir dir;
    AppSettings s;
    s.InstallPath = dir.path();
    s.UserLanguage = "Dansk";
    struct Case
    {
        const char* side;
        StartViewKind view;
        std::string target;
        bool plain;
    };
    const std::string file = "file://" + dir.path();
    const Case cases[] = {
        {"*", StartViewKind::Main, file + "/index.html?l=dansk", false},
        {"", StartViewKind::Main, file + "/index.html?l=dansk", false},
        {"-1", StartViewKind::Main, file + "/index.html?l=dansk", false},
        {"1", StartViewKind::Radio, file + "/netradio.html?l=dansk", false},
        {"10", StartViewKind::Radio, file + "/netradio.html?l=dansk", false},
        {"2", StartViewKind::Main, file + "/search.html?l=dansk", false},
        {"0", StartViewKind::Main, dir.path() + "/index.html?l=dansk", true},
        {"3", StartViewKind::Main, file + "/index.html?l=dansk", false},
    };
    for (const auto& c : cases) {
        s.AppStartSide = c.side;
        const auto start = startView(s);
        EXPECT_EQ(start.view, c.view) << c.side;
        EXPECT_EQ(start.target, c.target) << c.side;
        EXPECT_EQ(start.plainPath, c.plain) << c.side;
    }
    dir.write("news.html", "<html></html>");
    s.AppStartSide = "0";
    EXPECT_EQ(startView(s).target, dir.path() + "/news.html");
    EXPECT_TRUE(startView(s).plainPath);
}

TEST(ViewRectFor, TenPixelMargins)
{
    EXPECT_EQ(viewRectFor(376, 900, 29, 17), (WindowBounds{10, 39, 356, 834}));
    EXPECT_EQ(viewRectFor(20, 66, 29, 17), (WindowBounds{10, 39, 0, 0}));
}
