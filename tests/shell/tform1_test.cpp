// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"
#include "gui/platform/messagebox.h"
#include "gui/shell/alertsound.h"
#include "gui/shell/tform1.h"
#include "support/formfixture.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>

using namespace nuvio;

using test::FormFixture;
using TForm1Test = FormFixture;

TEST_F(TForm1Test, CreationLoadsSettingsAndPlacesTheWindow)
{
    writeHive("\"mleft\"=\"12\"\n\"mtop\"=\"34\"\n\"mwidth\"=\"320\"\n\"mheight\"=\"640\"\n");
    auto& f = create();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(f.windowTitle(), "nuvio v.1.00");
    EXPECT_EQ(f.bounds(), (WindowBounds{12, 34, 320, 640}));
    EXPECT_EQ(f.refreshInterval(), 15u * 60000u);
    EXPECT_TRUE(widget<QTimer>(f, "Timer1")->isActive());
    EXPECT_FALSE(widget<QTimer>(f, "Timer2")->isActive());
    EXPECT_FALSE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible())
        << "the tray icon is prepared, not shown";
    EXPECT_EQ(widget<QSystemTrayIcon>(f, "TrayIconData")->toolTip(), "nuvio");
    EXPECT_TRUE(widget<nuvio::AlertSound>(f, "MediaPlayer1")->isOpen());
    EXPECT_TRUE(program.ServerBaseURL.empty()) << "no vendor server unless one is configured";
}

TEST_F(TForm1Test, BrokenSoundAndBadSettingsAreReportedAndStartUpGoesOn)
{
    writeHive("\"MaxNewsPerFeed\"=\"mange\"\n");
    dir.write("update.wav", "not a sound");
    auto& f = create();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Writing default settings to reg.db.");
    EXPECT_EQ(messages[1].caption, "nuvio v.1.00");
    EXPECT_EQ(messages[1].icon, MessageIcon::Error);
    EXPECT_TRUE(messages[1].text.endsWith('.'));
    EXPECT_FALSE(widget<nuvio::AlertSound>(f, "MediaPlayer1")->isOpen());
    EXPECT_EQ(settings.InstallPath, dir.path());
    EXPECT_THROW(widget<nuvio::AlertSound>(f, "MediaPlayer1")->play(), NuvioError);
}

TEST_F(TForm1Test, DestroyingSavesEverySettingOnce)
{
    writeHive("");
    auto& f = create();
    f.move(7, 8);
    f.resize(300, 700);
    settings.MinToSysTray = true;
    settings.UpdateNewsOnApplicationStart = false;
    f.setRefreshInterval(minutesToInterval(25));
    form.reset();
    EXPECT_EQ(hiveValue("mleft"), "7");
    EXPECT_EQ(hiveValue("mtop"), "8");
    EXPECT_EQ(hiveValue("mwidth"), "300");
    EXPECT_EQ(hiveValue("mheight"), "700");
    EXPECT_EQ(hiveValue("RefreshInterval"), "25");
    EXPECT_EQ(hiveValue("MinToSysTray"), "-1");
    EXPECT_EQ(hiveValue("UpdateNewsOnApplicationStart"), "0");
    EXPECT_EQ(hiveValue("InstallPath"), dir.path()) << "never written, still there";
}

TEST_F(TForm1Test, AMovedWindowIsSavedOnceItRests)
{
    // Saved without waiting for the exit, which a session that ends may never reach.
    writeHive("");
    auto& f = create();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.move(31, 41);
    QTest::qWait(300);
    f.move(37, 47);
    EXPECT_NE(hiveValue("mleft"), "37") << "not while it still moves";
    EXPECT_TRUE(QTest::qWaitFor([&] { return hiveValue("mleft") == "37"; }, 3000));
    EXPECT_EQ(hiveValue("mtop"), "47");
}

TEST_F(TForm1Test, StartViews)
{
    writeHive("\"AppStartSide\"=\"10\"\n");
    dir.write("netradio.html", "<html><body>radio</body></html>");
    auto& f = create();
    f.openStartView();
    EXPECT_EQ(f.frontView(), widget<QWebEngineView>(f, "RadioBrowser"));
    EXPECT_EQ(widget<QWebEngineView>(f, "RadioBrowser")->url().toString().toStdString(),
              "file://" + dir.path() + "/netradio.html?l=dansk");
    EXPECT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "RadioBrowser")));
}

TEST_F(TForm1Test, PlainPathStartViewKeepsItsQuery)
{
    writeHive("\"AppStartSide\"=\"0\"\n\"UserLanguage\"=\"English\"\n");
    dir.write("index.html",
              "<html><head><script>document.title = location.search;</script></head></html>");
    auto& f = create();
    f.show();
    f.openStartView();
    EXPECT_EQ(f.frontView(), widget<QWebEngineView>(f, "WebBrowser1"));
    ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "WebBrowser1")));
    EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->url().toLocalFile().toStdString(),
              dir.path() + "/index.html");
    EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->title(), "?l=english");
}

TEST_F(TForm1Test, ViewsKeepTheirMargins)
{
    writeHive("");
    auto& f = create();
    f.show();
    for (const QSize size : {QSize(376, 918), QSize(270, 500), QSize(500, 300)}) {
        f.resize(size);
        QCoreApplication::processEvents();
        const QWidget* client = f.centralWidget();
        const QRect r = widget<QWebEngineView>(f, "WebBrowser1")->geometry();
        EXPECT_EQ(r.left(), 10);
        EXPECT_EQ(r.top(), widget<QToolBar>(f, "ToolBar1")->height() + 10);
        EXPECT_EQ(client->width() - r.right() - 1, 10);
        EXPECT_EQ(widget<QStatusBar>(f, "StatusBar1")->geometry().top() - r.bottom() - 1, 10);
        EXPECT_EQ(widget<QStatusBar>(f, "StatusBar1")->geometry().bottom(), client->height() - 1);
        EXPECT_EQ(widget<QWebEngineView>(f, "RadioBrowser")->geometry(), r);
        // The status line whole: descenders ("g", "j", "p") were cut off.
        const QLabel* panel = widget<QLabel>(f, "StatusBar1Panel0");
        EXPECT_GE(panel->height(), panel->fontMetrics().height());
    }
}

TEST_F(TForm1Test, RefreshTimers)
{
    writeHive("\"RefreshInterval\"=\"0\"\n");
    auto& f = create();
    EXPECT_FALSE(widget<QTimer>(f, "Timer1")->isActive()) << "interval 0 means no periodic refresh";

    f.setRefreshInterval(600000);
    EXPECT_TRUE(widget<QTimer>(f, "Timer1")->isActive());
    QTest::qWait(50);
    const int remaining = widget<QTimer>(f, "Timer1")->remainingTime();
    f.setRefreshInterval(600000);
    EXPECT_LE(widget<QTimer>(f, "Timer1")->remainingTime(), remaining)
        << "the same interval does not restart the countdown";
    f.setRefreshInterval(0);
    EXPECT_FALSE(widget<QTimer>(f, "Timer1")->isActive());

    QSignalSpy due(&f, &TForm1::newsRefreshed);
    settings.UpdateNewsOnApplicationStart = false;
    f.armStartupRefresh();
    EXPECT_FALSE(widget<QTimer>(f, "Timer2")->isActive());
    settings.UpdateNewsOnApplicationStart = true;
    f.armStartupRefresh();
    EXPECT_TRUE(widget<QTimer>(f, "Timer2")->isActive());
    EXPECT_EQ(widget<QTimer>(f, "Timer2")->interval(), 2000);
    EXPECT_TRUE(due.wait(5000));
    QTest::qWait(2500);
    EXPECT_EQ(due.count(), 1) << "the start-up refresh fires once";
}

TEST_F(TForm1Test, FailuresOfSlotsAreReportedWhereTheyHappen)
{
    // Signals reach the slots directly here: a failure that left its slot would reach
    // this test instead of the error report.
    dir.write("newsselected.txt", "A\r\n"); // and no catalogue: "File not found"
    auto& f = create();
    MainWindowCommands commands;
    commands.UpdateDefinitionFiles = [] { throw NuvioError("Kan ikke opdatere"); };
    f.setCommands(commands);
    struct Case
    {
        const char* what;
        std::function<void()> signal;
        QString message;
    };
    const Case cases[] = {
        {"refresh timer",
         [&] {
             QMetaObject::invokeMethod(widget<QTimer>(f, "Timer1"), "timeout",
                                       Qt::DirectConnection);
         },
         "File not found."},
        {"start-up refresh timer",
         [&] {
             QMetaObject::invokeMethod(widget<QTimer>(f, "Timer2"), "timeout",
                                       Qt::DirectConnection);
         },
         "File not found."},
        {"menu item", [&] { widget<QAction>(f, "Opdatrnuvio1")->trigger(); }, "Kan ikke opdatere."},
    };
    for (const auto& c : cases) {
        messages.clear();
        EXPECT_NO_THROW(c.signal()) << c.what;
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_EQ(messages[0].text, c.message) << c.what;
        EXPECT_FALSE(f.isRefreshing()) << c.what;
    }
}

TEST_F(TForm1Test, NoInstallPathAndAGarbageHive)
{
    dir.write(
        "hive.reg",
        std::string(
            "\x00\xff garbage\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"mleft\"=\"5\"\n"
            "\"AppStartSide\"=\"2\"\n",
            89));
    auto& f = create();
    EXPECT_EQ(settings.InstallPath, "");
    EXPECT_EQ(f.bounds().left, 5);
    ASSERT_EQ(messages.size(), 1u) << "the missing sound is reported, nothing else";
    f.openStartView();
    EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->url().toString().toStdString(),
              "file:///search.html?l=dansk");
    form.reset();
    const std::string saved = dir.read("hive.reg");
    EXPECT_EQ(saved.find(std::string("\x00\xff garbage", 10)), 10u)
        << "the garbage is kept, after a header";
    EXPECT_EQ(hiveValue("UserLanguage"), "Dansk");
}
