// SPDX-License-Identifier: MIT
#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/alertsound.h"
#include "gui/shell/startup.h"
#include "support/formfixture.h"
#include "support/loopbackserver.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>

using namespace nuvio;
using NewsAlertTest = test::FormFixture;

namespace {

const char* kFeed =
    "<rss><channel><title>Lokal</title><link>http://lokal.dk/</link>"
    "<item><title>Nyhed</title><link>http://lokal.dk/1</link></item></channel></rss>";

} // namespace

TEST_F(NewsAlertTest, AlertByTheSetting)
{
    dir.write("news.html", "<html>news</html>");
    dir.write("about.html", "<html>about</html>");
    auto& f = create();
    f.show();
    struct Case
    {
        int obs;
        bool front;
        bool sound;
    };
    for (const Case c : {Case{0, false, false}, Case{1, true, false}, Case{2, false, true},
                         Case{3, true, true}, Case{7, false, false}}) {
        settings.ObsFunktion = c.obs;
        f.Om1Click();
        f.NetRadio1Click();
        ASSERT_EQ(f.frontView(), widget<QWebEngineView>(f, "RadioBrowser"));
        QSignalSpy shown(&f, &TForm1::newsShown);
        EXPECT_NO_THROW(f.CallObs()) << c.obs;
        EXPECT_EQ(f.frontView() == widget<QWebEngineView>(f, "WebBrowser1"), c.front) << c.obs;
        EXPECT_EQ(shown.count(), c.front ? 1 : 0) << c.obs;
        // The news page replaces whatever the main view showed, in front or not.
        EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->url().path().toStdString(),
                  dir.file("news.html"))
            << c.obs;
        EXPECT_FALSE(widget<QWebEngineView>(f, "WebBrowser1")->url().query().isEmpty()) << c.obs;
    }
}

TEST_F(NewsAlertTest, SoundAfterAFailedOpenIsReported)
{
    dir.write("update.wav", "broken");
    auto& f = create();
    ASSERT_EQ(messages.size(), 1u) << "the failed open was reported at start-up";
    settings.ObsFunktion = 3;
    try {
        f.CallObs();
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "No MCI device open");
    }
    EXPECT_EQ(f.frontView(), widget<QWebEngineView>(f, "WebBrowser1"))
        << "the news came forward before the sound failed";
}

TEST_F(NewsAlertTest, RefreshThroughTheWindow)
{
    test::LoopbackServer server;
    server.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        response.set_content(kFeed, "application/rss+xml");
    });
    server.start();
    dir.write("newsfeeds.txt", "Lokal," + server.url("/feed") + "\r\n");
    dir.write("newsselected.txt", "Lokal\r\n");
    writeHive("\"ObsFunktion\"=\"1\"\n");
    auto& f = create();
    f.show();
    f.NetRadio1Click();

    // A click during the transfer is handled: the window stays live.
    bool handledDuringRefresh = false;
    QTimer::singleShot(100, &f, [&] { handledDuringRefresh = f.isRefreshing(); });
    QSignalSpy refreshed(&f, &TForm1::newsRefreshed);
    QSignalSpy shown(&f, &TForm1::newsShown);
    widget<QTimer>(f, "Timer2")->start();
    f.UpdateNews();
    EXPECT_FALSE(widget<QTimer>(f, "Timer2")->isActive()) << "any refresh cancels the start-up one";
    EXPECT_TRUE(handledDuringRefresh);
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(shown.count(), 1) << "new items show the news";
    EXPECT_EQ(f.frontView(), widget<QWebEngineView>(f, "WebBrowser1"));
    EXPECT_EQ(f.statusText(), "") << "the status panel ends empty";
    EXPECT_NE(dir.read("news.html").find("http://lokal.dk/1"), std::string::npos);

    // Asked for while one runs: remembered, and run once afterwards.
    QTimer::singleShot(100, &f, [&] {
        f.UpdateNews();
        f.UpdateNews();
    });
    f.UpdateNews();
    EXPECT_EQ(refreshed.count(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return refreshed.count() == 3; }, 5000));
    QTest::qWait(500);
    EXPECT_EQ(refreshed.count(), 3);
    EXPECT_EQ(shown.count(), 1) << "nothing was new the second and third time";

    // OK in the settings dialog with new feeds while a refresh runs: the news shown is the
    // previous page, whole, and the new choice gets a refresh of its own afterwards.
    const std::string previous = dir.read("news.html");
    MainWindowCommands commands;
    commands.showSettingsDialog = [&] { settings.FeedsChanged = true; };
    f.setCommands(commands);
    std::string shownPage;
    QTimer::singleShot(100, &f, [&] {
        f.Indstillinger1Click();
        shownPage = dir.read(widget<QWebEngineView>(f, "WebBrowser1")
                                 ->url()
                                 .path()
                                 .toStdString()
                                 .substr(dir.path().size() + 1));
    });
    f.UpdateNews();
    EXPECT_EQ(shownPage, previous);
    EXPECT_TRUE(QTest::qWaitFor([&] { return refreshed.count() == 5; }, 5000));
}

TEST_F(NewsAlertTest, TheTrayIconCountsNewHeadlinesUntilTheNewsAreShown)
{
    test::LoopbackServer server;
    server.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kFeed, "application/rss+xml");
    });
    server.start();
    dir.write("newsfeeds.txt", "Lokal," + server.url("/feed") + "\r\n");
    dir.write("newsselected.txt", "Lokal\r\n");
    writeHive("\"ObsFunktion\"=\"2\"\n"); // a sound; the news are not shown
    auto& f = create();
    const auto tray = widget<QSystemTrayIcon>(f, "TrayIconData");
    f.UpdateNews();
    EXPECT_EQ(tray->toolTip(), "nuvio \u2013 Nye overskrifter: 1");
    f.UpdateNews();
    EXPECT_EQ(tray->toolTip(), "nuvio \u2013 Nye overskrifter: 1") << "nothing new: still unseen";
    f.VisNyheder();
    EXPECT_EQ(tray->toolTip(), "nuvio");
}

TEST_F(NewsAlertTest, FailedFeedsStayOnTheStatusLineUntilTheNextRun)
{
    test::LoopbackServer server;
    server.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kFeed, "application/rss+xml");
    });
    server.start();
    // The catalogue's names are others' text: markup in one is shown as it is written.
    const QString refused = QStringLiteral("<b>Nede</b><br>");
    dir.write("newsfeeds.txt", "Lokal," + server.url("/feed") + "\r\n" + refused.toStdString() +
                                   ",http://127.0.0.1:1/none\r\n");
    dir.write("newsselected.txt", "Lokal\r\n" + refused.toStdString() + "\r\n");
    auto& f = create();
    std::vector<QString> seen;
    widget<QLabel>(f, "Label2")->setText(QStringLiteral("Færdig"));
    QObject::connect(&f, &TForm1::statusShown, [&](const QString& text) { seen.push_back(text); });
    f.UpdateNews();
    const QString line = QStringLiteral("Færdig – 1 af 2 feeds fejlede");
    EXPECT_EQ(seen,
              (std::vector<QString>{QStringLiteral("Opdaterer nyheder"), "Fejl " + refused, line}));
    auto* panel = widget<QLabel>(f, "StatusBar1Panel0");
    EXPECT_EQ(panel->text(), line);
    const QString list = refused + QStringLiteral(": ingen forbindelse");
    // What the tooltip draws: markup where its first line looks like markup, as Qt decides.
    const QString tip = panel->toolTip();
    EXPECT_EQ(Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip,
              list);
    EXPECT_EQ(panel->accessibleDescription(), list);
    QTest::mouseClick(panel, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u) << "a click lists the failed feeds";
    EXPECT_EQ(messages[0].text, line + "\n\n" + list);
    messages.clear();
    // From the keyboard alone: Tab reaches the line, Enter or Space lists them, and so does
    // an item of the Funktioner menu while feeds have failed.
    EXPECT_TRUE(panel->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(panel, Qt::Key_Return);
    QTest::keyClick(panel, Qt::Key_Space);
    auto* item = widget<QAction>(f, "ShowFailedFeeds");
    EXPECT_TRUE(item->isVisible());
    item->trigger();
    ASSERT_EQ(messages.size(), 3u);
    for (const auto& message : messages)
        EXPECT_EQ(message.text, line + "\n\n" + list);
    messages.clear();

    // Another language chosen in the settings meanwhile: the line and its list are said in
    // it, and back. With no vendor server, nothing else takes the line.
    for (const char* file : {"languages.ini", "english.ini", "dansk.ini"})
        dir.write(file, readFileBytes(std::string(NUVIO_SOURCE_DIR "/data/") + file));
    Tsettings dialog(f);
    Tdownloading progress;
    MainWindowCommands commands = standardCommands(f, dialog, progress);
    std::string chosen;
    commands.showSettingsDialog = [&] { settings.UserLanguage = chosen; };
    f.setCommands(commands);
    const auto danishAgain = qScopeGuard([] { loadAddedTexts(""); });
    const auto choose = [&](const std::string& language) {
        chosen = language;
        f.Indstillinger1Click();
    };
    choose("English");
    EXPECT_EQ(panel->text(), QStringLiteral("Update complete – 1 of 2 feeds failed"));
    EXPECT_EQ(panel->accessibleDescription(), refused + QStringLiteral(": no connection"));
    choose("Dansk");
    EXPECT_EQ(panel->text(), QStringLiteral("Opdatering komplet – 1 af 2 feeds fejlede"));
    EXPECT_EQ(panel->accessibleDescription(), list);
    EXPECT_TRUE(messages.empty());
    // Chosen while a run goes on: the run ends in the new language, not half in the old.
    const auto midRun = QObject::connect(&f, &TForm1::statusShown, [&](const QString& text) {
        if (text == QStringLiteral("Opdaterer nyheder"))
            choose("English");
    });
    f.UpdateNews();
    QObject::disconnect(midRun);
    EXPECT_EQ(panel->text(), QStringLiteral("Update complete – 1 of 2 feeds failed"));
    choose("Dansk");
    messages.clear();
    f.setCommands({});
    widget<QLabel>(f, "Label2")->setText(QStringLiteral("Færdig"));

    // A long address: its line breaks rather than run off the screen with its reason.
    const QString longAddress = QStringLiteral("http://127.0.0.1:1/") +
                                QStringLiteral("nyheder/indland/politik/").repeated(9);
    dir.write("newsselected.txt", longAddress.toStdString() + "\r\n");
    f.UpdateNews();
    QToolTip::showText(panel->mapToGlobal(QPoint(2, 2)), panel->toolTip(), panel);
    const auto* tipLabel = [] {
        for (QWidget* each : QApplication::topLevelWidgets()) {
            if (each->inherits("QTipLabel") && each->isVisible())
                return each;
        }
        return static_cast<QWidget*>(nullptr);
    }();
    ASSERT_NE(tipLabel, nullptr);
    EXPECT_TRUE(panel->screen()->geometry().contains(tipLabel->geometry()))
        << "the tooltip of " << tipLabel->width() << " pixels fits the screen's "
        << panel->screen()->geometry().width();
    QToolTip::hideText();

    // Offline with many feeds: the list stays within a screen, the rest counted.
    std::string many;
    QString listed;
    for (int i = 0; i < 30; ++i) {
        const QString url = QStringLiteral("http://127.0.0.1:1/%1").arg(i);
        many += url.toStdString() + "\r\n";
        if (i < 20)
            listed += url + QStringLiteral(": ingen forbindelse\n");
    }
    dir.write("newsselected.txt", many);
    f.UpdateNews();
    QTest::mouseClick(panel, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, f.statusText() + "\n\n" + listed + QStringLiteral("\u2026 +10"));
    messages.clear();

    // Nothing failed: the complete text alone, and the list goes with the line.
    dir.write("newsselected.txt", "Lokal\r\n");
    seen.clear();
    f.UpdateNews();
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("Opdaterer nyheder"),
                                          QStringLiteral("Færdig"), QString()}));
    EXPECT_EQ(panel->toolTip(), QString());
    EXPECT_EQ(panel->accessibleDescription(), QString());
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_EQ(messages.size(), 0u);
    EXPECT_FALSE(item->isVisible());

    // A line the narrow window cuts at its edge is whole in its tooltip, markup as written.
    f.ShowStatus("Ingen opdateringsserver: de lokale sider f\xF8lger med <b>programpakken</b>");
    EXPECT_EQ(QTextDocumentFragment::fromHtml(panel->toolTip()).toPlainText(), panel->text());
}
