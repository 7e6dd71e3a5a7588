// SPDX-License-Identifier: MIT
// Runs in a session bus of its own (dbus-run-session), with a stand-in notification service.
#include "support/formfixture.h"
#include "support/loopbackserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <filesystem>

using namespace nuvio;

namespace {

// The second headline is 2,000 characters long.
const std::string kFeed =
    "<rss><channel><title>Lokal</title><link>http://lokal.dk/</link>"
    "<item><title>Told &amp; skat</title><link>http://lokal.dk/1</link></item>"
    "<item><title>Anden " +
    std::string(1994, 'a') +
    "</title><link>http://lokal.dk/2</link></item>"
    "<item><title>Tredje</title><link>http://lokal.dk/3</link></item>"
    "<item><title>Fjerde</title><link>http://lokal.dk/4</link></item>"
    "</channel></rss>";

class NotificationTest : public test::FormFixture
{
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        service.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(NUVIO_SOURCE_DIR "/tests/shell/fake_notifications.py")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return service.canReadLine(); }, 10000))
            << "the notification service did not start";
        ASSERT_EQ(service.readLine().trimmed(), "ready");
    }
    void TearDown() override
    {
        service.closeWriteChannel();
        if (!service.waitForFinished(5000))
            service.kill();
        FormFixture::TearDown();
    }

    // The next notification the service received within the time, or an empty object.
    QJsonObject nextNotification(int timeoutMs)
    {
        if (!service.canReadLine() &&
            !QTest::qWaitFor([&] { return service.canReadLine(); }, timeoutMs))
            return {};
        return QJsonDocument::fromJson(service.readLine()).object();
    }

    QProcess service;
};

} // namespace

// New headlines while the window is out of sight reach the desktop's notification service
// with their number and the first three; a click there shows the news.
TEST_F(NotificationTest, NewHeadlinesOutOfSight)
{
    test::LoopbackServer server;
    server.server().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kFeed, "application/rss+xml");
    });
    server.start();
    dir.write("newsfeeds.txt", "Lokal," + server.url("/feed") + "\r\n");
    dir.write("newsselected.txt", "Lokal\r\n");

    enum class Window { InTray, Minimised, Shown };
    struct Case
    {
        const char* what;
        int obs;
        Window window;
        bool notified;
    };
    const Case cases[] = {
        {"in the tray, a sound", 2, Window::InTray, true},
        {"minimised, the page", 1, Window::Minimised, true},
        {"in the tray, no alert", 0, Window::InTray, false},
        {"in sight", 2, Window::Shown, false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.file("news.html")); // every headline is new
        writeHive("\"ObsFunktion\"=\"" + std::to_string(c.obs) + "\"\n\"MinToSysTray\"=\"" +
                  (c.window == Window::InTray ? "-1" : "0") + "\"\n");
        auto& f = create();
        if (c.window == Window::Minimised)
            f.showMinimized();
        else if (c.window == Window::Shown)
            f.show();
        f.UpdateNews();
        const QJsonObject note = nextNotification(c.notified ? 10000 : 1500);
        ASSERT_EQ(!note.isEmpty(), c.notified) << c.what;
        if (!c.notified)
            continue;
        EXPECT_EQ(note[QStringLiteral("app")].toString(), QStringLiteral("nuvio")) << c.what;
        EXPECT_EQ(note[QStringLiteral("summary")].toString(), QStringLiteral("Nye overskrifter: 4"))
            << c.what;
        EXPECT_EQ(note[QStringLiteral("body")].toString(),
                  QStringLiteral("Told &amp; skat\nAnden ") + QString(93, QLatin1Char('a')) +
                      QChar(0x2026) + QStringLiteral("\nTredje"))
            << c.what;
        EXPECT_EQ(note[QStringLiteral("actions")].toArray().first().toString(),
                  QStringLiteral("default"))
            << c.what;

        // The click: the window with the news, whatever the alert did.
        f.NetRadio1Click();
        QSignalSpy shown(&f, &TForm1::newsShown);
        service.write("click " + QByteArray::number(note[QStringLiteral("id")].toInt()) + "\n");
        EXPECT_TRUE(shown.wait(10000)) << c.what;
        EXPECT_TRUE(f.isVisible() && !f.isMinimized()) << c.what;
        EXPECT_EQ(f.frontView(), widget<QWebEngineView>(f, "WebBrowser1")) << c.what;
        EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->url().path().toStdString(),
                  dir.file("news.html"))
            << c.what;
        form.reset();
    }
}
