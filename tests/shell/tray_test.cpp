// SPDX-License-Identifier: MIT
#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"
#include "gui/platform/application.h"
#include "gui/platform/mnemonics.h"
#include "support/formfixture.h"

#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

using namespace nuvio;
using TrayTest = test::FormFixture;

namespace {

// Where the icon's window sits inside the tray host, from the X server's own window tree:
// Qt's idea of the icon's place is not reliable once the host has embedded it.
QPoint trayIconCentre()
{
    QProcess tree;
    tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    tree.waitForFinished(5000);
    const QStringList lines =
        QString::fromLatin1(tree.readAllStandardOutput()).split(QLatin1Char('\n'));
    // Window lines end in "WxH+x+y  +absX+absY".
    const QString place =
        QStringLiteral("\\s+(\\d+)x(\\d+)[+-]\\d+[+-]\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)");
    const auto rectOf = [](const QRegularExpressionMatch& m) {
        return QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                     m.captured(2).toInt());
    };
    QRect panel;
    const QRegularExpression panelLine(QStringLiteral("\\(\"panel\" \"trayer\"\\)") + place);
    for (const QString& text : lines) {
        if (const auto m = panelLine.match(text); m.hasMatch())
            panel = rectOf(m);
    }
    const QString name = QRegularExpression::escape(QCoreApplication::applicationName());
    const QRegularExpression iconLine(QStringLiteral("\"%1\": \\(\"%1\"").arg(name) +
                                      QStringLiteral(".*") + place);
    for (const QString& text : lines) {
        const auto m = iconLine.match(text);
        if (m.hasMatch() && panel.contains(rectOf(m).center()))
            return rectOf(m).center();
    }
    return {};
}

// A real click through the X server, as the tray host receives it from the user.
void clickAt(const QPoint& point, int button)
{
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(point.x()),
                       QString::number(point.y()), QStringLiteral("click"),
                       QString::number(button)});
}

} // namespace

TEST_F(TrayTest, WithoutTheSettingOrATrayMinimisingStaysOnTheTaskBar)
{
    struct Case
    {
        const char* what;
        bool setting;
        bool trayAvailable; // asked when minimising: a tray may come and go
    };
    const Case cases[] = {
        {"setting off", false, true},
        {"no notification area on this desktop", true, false},
    };
    auto& f = create();
    for (const auto& c : cases) {
        settings.MinToSysTray = c.setting;
        f.trayAvailable = [&c] { return c.trayAvailable; };
        f.showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f)) << c.what;
        f.showMinimized();
        QTest::qWait(300);
        EXPECT_FALSE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible()) << c.what;
        EXPECT_TRUE(f.isVisible()) << c.what << ": the window can still be brought back";
    }
}

TEST_F(TrayTest, MinimiseToTrayAndClickBack)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "no tray host on this display";
    writeHive("\"MinToSysTray\"=\"-1\"\n");
    auto& f = create();
    ASSERT_TRUE(settings.MinToSysTray);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 3000))
        << "the window leaves the screen";
    EXPECT_TRUE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible());
    EXPECT_EQ(widget<QSystemTrayIcon>(f, "TrayIconData")->toolTip(), "nuvio");

    // The icon needs a moment to be embedded in the tray.
    QPoint icon;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(icon = trayIconCentre()).isNull(); }, 5000));
    // and a moment more before the embedded icon takes clicks.
    QTest::qWait(500);

    clickAt(icon, 3); // the right button opens the icon's menu and nothing more
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget<QMenu>(f, "TrayMenu")->isVisible(); }, 3000));
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible());
    QTest::keyClick(widget<QMenu>(f, "TrayMenu"), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !widget<QMenu>(f, "TrayMenu")->isVisible(); }, 3000));

    clickAt(icon, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isVisible(); }, 5000))
        << "a left click brings the window back";
    EXPECT_FALSE(f.isMinimized());
    EXPECT_FALSE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible()) << "and removes the icon";
}

TEST_F(TrayTest, RightClickMenuRestoresAndQuitsInTheInterfaceLanguage)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "no tray host on this display";
    writeHive("\"MinToSysTray\"=\"-1\"\n\"UserLanguage\"=\"Deutsch\"\n");
    dir.write("deutsch.ini",
              "[MainMenu]\r\nAfslut=Beenden\r\n[Messages]\r\nTrayRestore=nuvio anzeigen\r\n");
    auto& f = create();
    loadAddedTexts(dir.path() + "/deutsch.ini");
    f.applyTexts(readLanguageTexts(dir.path() + "/deutsch.ini"));
    const auto toTray = [&] {
        f.show();
        f.showMinimized();
        return QTest::qWaitFor([&] { return !f.isVisible(); }, 3000);
    };
    // The desktop's menu opens where the icon is; its items are clicked like the user does.
    const auto chooseFromTrayMenu = [&](const char* item) -> QString {
        QPoint icon;
        if (!QTest::qWaitFor([&] { return !(icon = trayIconCentre()).isNull(); }, 5000))
            return QStringLiteral("no icon in the tray");
        // A freshly embedded icon may miss the first clicks.
        auto* menu = widget<QMenu>(f, "TrayMenu");
        for (int attempt = 0; attempt < 5 && !menu->isVisible(); ++attempt) {
            QTest::qWait(500);
            clickAt(icon, 3);
            [[maybe_unused]] const bool shown =
                QTest::qWaitFor([&] { return menu->isVisible(); }, 1000);
        }
        if (!menu->isVisible())
            return QStringLiteral("no menu");
        QTest::qWait(200);
        QAction* action = widget<QAction>(*menu, item);
        clickAt(menu->mapToGlobal(menu->actionGeometry(action).center()), 1);
        return withoutMnemonic(action->text());
    };
    const auto cleanup = qScopeGuard([&] { loadAddedTexts(dir.path() + "/none.ini"); });

    ASSERT_TRUE(toTray());
    EXPECT_EQ(chooseFromTrayMenu("TrayRestore"), "nuvio anzeigen");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isVisible(); }, 5000))
        << "the menu's first item brings the window back";
    EXPECT_FALSE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible());
    EXPECT_FALSE(f.quitRequested());

    ASSERT_TRUE(toTray());
    EXPECT_EQ(chooseFromTrayMenu("TrayAfslut"), "Beenden");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.quitRequested(); }, 5000)) << "and its last quits";
}

TEST_F(TrayTest, IconIsRemovedAtExit)
{
    writeHive("\"MinToSysTray\"=\"-1\"\n");
    auto& f = create();
    f.show();
    f.showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 3000));
    QPointer<QSystemTrayIcon> trayIcon = widget<QSystemTrayIcon>(f, "TrayIconData");
    form.reset();
    EXPECT_TRUE(trayIcon.isNull());
    EXPECT_EQ(hiveValue("MinToSysTray"), "-1");
}

TEST_F(TrayTest, ErrorReportWhileInTheTrayDoesNotEndTheProgram)
{
    auto& f = create();
    f.show();
    f.hide();                                         // as in the tray
    const MessageHook hook = setMessageHook(nullptr); // the real box, closed by the user
    QTimer::singleShot(0, [] { NuvioApplication::showException(QStringLiteral("Fejl")); });
    QTimer::singleShot(700, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QTimer::singleShot(2000, [] { QCoreApplication::exit(7); });
    const int code = QApplication::exec();
    setMessageHook(hook);
    EXPECT_EQ(code, 7) << "closing the box ended the program";
    EXPECT_FALSE(f.quitRequested());
    f.show();
    f.close();
    EXPECT_TRUE(f.quitRequested()) << "the close box is a quit path";
}

TEST_F(TrayTest, NewsCommandBringsTheWindowBackFromTheTray)
{
    writeHive("\"MinToSysTray\"=\"-1\"\n");
    auto& f = create();
    f.show();
    f.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 3000));
    ASSERT_TRUE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible());
    f.VisNyheder();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(widget<QSystemTrayIcon>(f, "TrayIconData")->isVisible());
}
