// SPDX-License-Identifier: MIT
#include "core/net/proxyroute.h"
#include "core/news/feedexchange.h"
#include "core/shell/opmlcommand.h"
#include "gui/platform/webproxy.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/sitelogins.h"
#include "support/formfixture.h"
#include "support/loginserver.h"
#include "support/loopbackserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

using namespace nuvio;

namespace {

const char* kPassword = "Hemmelig-7Q2x";

std::string feed(const std::string& title)
{
    return "<rss><channel><title>" + title + "</title><item><title>" + title +
           " nyhed</title><link>http://example.com/" + title + "</link></item></channel></rss>";
}

// A keyring of this run's own on the session bus, unlocked with a known password, as a
// desktop session would start it: once, for all the tests of the run, as a second daemon
// would find the first on the bus and leave its keyring locked.
bool startKeyring()
{
    static test::TempDir folder;
    static const bool started = [] {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.path()));
        QProcess daemon;
        daemon.start(QStringLiteral("gnome-keyring-daemon"),
                     {QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        if (!daemon.waitForStarted(5000))
            return false;
        daemon.write("keyring-test");
        daemon.closeWriteChannel();
        return daemon.waitForFinished(10000) && daemon.exitCode() == 0;
    }();
    return started;
}

// Answers the first login dialog that opens in the next `ms` with the password, agreeing
// to plain http; counts it.
std::shared_ptr<int> answerLoginDialogs(const char* password, int ms = 5000)
{
    auto asked = std::make_shared<int>(0);
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, asked, password] {
        auto* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != QLatin1String("LoginDialog"))
            return;
        ++*asked;
        dialog->findChild<QLineEdit*>(QStringLiteral("LoginUser"))->setText(QStringLiteral("anne"));
        dialog->findChild<QLineEdit*>(QStringLiteral("LoginPassword"))
            ->setText(QString::fromLatin1(password));
        dialog->findChild<QCheckBox*>(QStringLiteral("LoginPlainHttp"))->setChecked(true);
        poll->stop();
        poll->deleteLater();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("LoginOk")),
                          Qt::LeftButton);
    });
    QTimer::singleShot(ms, poll, &QObject::deleteLater);
    poll->start();
    return asked;
}

// Every file under `folder` that holds `text`.
QStringList filesHolding(const std::string& folder, const QByteArray& text)
{
    QStringList found;
    QDirIterator it(QString::fromStdString(folder), QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            found << file.fileName();
    }
    return found;
}

std::string readStream(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        text.append(buffer, n);
    return text;
}

} // namespace

class SiteLoginTest : public test::FormFixture
{
};

TEST_F(SiteLoginTest, ALoginGivenOnceIsKeptInTheKeyringAndSentOnlyToItsSite)
{
    ASSERT_TRUE(startKeyring()) << "gnome-keyring-daemon under a session bus";
    test::LoopbackServer other("127.0.0.2");
    std::vector<std::string> otherAuthorizations;
    other.server().Get("/feed", [&](const httplib::Request& request, httplib::Response& response) {
        otherAuthorizations.push_back(request.get_header_value("Authorization"));
        response.set_content(feed("Andensteds"), "application/rss+xml");
    });
    other.start();

    struct Case
    {
        test::LoginScheme scheme;
        const char* title;
    };
    const Case cases[] = {{test::LoginScheme::Basic, "Basis"},
                          {test::LoginScheme::Digest, "Digest"}};
    // Each site on a port of its own while the test runs: a port used again would be the
    // same site, whose login is already kept.
    std::vector<std::unique_ptr<test::LoopbackServer>> servers;
    std::vector<std::unique_ptr<test::LoginGate>> gates;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        auto& server = *servers.emplace_back(std::make_unique<test::LoopbackServer>());
        auto& gate =
            *gates.emplace_back(std::make_unique<test::LoginGate>(c.scheme, "anne", kPassword));
        gate.serve(server.server(), "/feed", feed(c.title));
        server.server().Get("/moved",
                            [&](const httplib::Request& request, httplib::Response& response) {
                                if (gate.admitted(request))
                                    response.set_redirect(other.url("/feed"), 302);
                                else
                                    gate.challenge(response);
                            });
        server.start();
        dir.write("newsfeeds.txt", std::string(c.title) + "," + server.url("/feed") +
                                       "\r\nFlyttet," + server.url("/moved") + "\r\n");
        dir.write("newsselected.txt", std::string(c.title) + "\r\nFlyttet\r\n");
        const std::string page = dir.file("news.html");

        auto& f = create();
        f.UpdateNews();
        auto* panel = widget<QLabel>(f, "StatusBar1Panel0");
        EXPECT_TRUE(panel->toolTip().contains(QStringLiteral("login")))
            << panel->toolTip().toStdString();
        const auto asked = answerLoginDialogs(kPassword);
        QSignalSpy refreshed(&f, &TForm1::newsRefreshed);
        QTest::mouseClick(panel, Qt::LeftButton);
        EXPECT_EQ(*asked, 1);
        ASSERT_GE(refreshed.size(), 1) << "the feed is asked again with the login at once";
        EXPECT_TRUE(messages.empty());
        std::string text = test::TempDir::readFile(page);
        EXPECT_NE(text.find("<b>" + std::string(c.title) + "</b>"), std::string::npos) << text;
        EXPECT_NE(text.find("<b>Andensteds</b>"), std::string::npos);
        EXPECT_TRUE(panel->toolTip().isEmpty()) << panel->toolTip().toStdString();

        // Started again: the keyring gives the login, nothing is asked.
        form.reset();
        dir.write("news.html", "");
        auto& again = create();
        const auto askedAgain = answerLoginDialogs("wrong", 300);
        again.UpdateNews();
        QTest::qWait(500);
        EXPECT_EQ(*askedAgain, 0);
        text = test::TempDir::readFile(page);
        EXPECT_NE(text.find("<b>" + std::string(c.title) + "</b>"), std::string::npos);
        form.reset();
    }
    for (const auto& authorization : otherAuthorizations)
        EXPECT_EQ(authorization, "") << "a redirect to another host takes no login along";
    EXPECT_GE(otherAuthorizations.size(), 4u);

    ASSERT_EQ(exportOpmlFile(dir.path(), dir.file("export.opml")), 2);
    EXPECT_EQ(filesHolding(dir.path(), kPassword), QStringList());
    EXPECT_EQ(filesHolding(qEnvironmentVariable("XDG_CACHE_HOME").toStdString(), kPassword),
              QStringList());
}

TEST_F(SiteLoginTest, ALoginWrittenIntoAnAddressGoesToTheKeyringAndTheAddressWithout)
{
    ASSERT_TRUE(startKeyring()) << "gnome-keyring-daemon under a session bus";
    enum class Way { Typed, Command };
    struct Case
    {
        Way way;
        const char* title;
    };
    const Case cases[] = {{Way::Typed, "Indtastet"}, {Way::Command, "Importeret"}};
    std::vector<std::unique_ptr<test::LoopbackServer>> servers;
    std::vector<std::unique_ptr<test::LoginGate>> gates;
    std::string origin;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        auto& server = *servers.emplace_back(std::make_unique<test::LoopbackServer>());
        auto& gate = *gates.emplace_back(
            std::make_unique<test::LoginGate>(test::LoginScheme::Basic, "anne", kPassword));
        gate.serve(server.server(), "/feed", feed(c.title));
        server.start();
        const std::string address = server.url("/feed");
        origin = address.substr(0, address.rfind('/'));
        const std::string withLogin =
            "http://anne:" + std::string(kPassword) + "@" + address.substr(7);
        dir.write("newsfeeds.txt", "");
        dir.write("newsselected.txt", "");
        const std::string told = "Brugernavn og adgangskode til " + origin +
                                 " er taget ud af adressen og gemt i n\u00f8gleringen";
        if (c.way == Way::Typed) {
            auto& f = create();
            setInputHook([&](const QString&, const QString&, int) -> std::optional<QString> {
                return QString::fromStdString(withLogin);
            });
            dir.write("languages.ini", "Dansk\r\n");
            Tsettings dialog(f);
            dialog.show();
            dialog.Button7Click();
            setInputHook(nullptr);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text.toStdString(), told);
            dialog.Button2Click();
            messages.clear();
            form.reset();
        } else {
            writeHive("");
            dir.write("feeds.opml", "<opml version=\"2.0\"><body><outline text=\"x\" xmlUrl=\"" +
                                        withLogin + "\"/></body></opml>");
            std::string option = "--import-opml=" + dir.file("feeds.opml");
            char name[] = "nuvio";
            char* argv[] = {name, option.data(), nullptr};
            std::FILE* out = std::tmpfile();
            std::FILE* err = std::tmpfile();
            EXPECT_EQ(
                runOpmlCommand(2, argv, 1, dir.file("hive.reg"), out, err, keepLoginWithoutWindow),
                0);
            EXPECT_TRUE(
                QString::fromLocal8Bit(readStream(out)).contains(QString::fromStdString(told)));
            EXPECT_EQ(readStream(err), "");
            std::fclose(out);
            std::fclose(err);
            std::remove(dir.file("feeds.opml").c_str()); // the password's only copy of ours
        }
        EXPECT_EQ(test::TempDir::readFile(dir.file("newsselected.txt")), address + "\r\n");

        // The refresh finds the login in the keyring; nothing is asked.
        auto& f = create();
        const auto asked = answerLoginDialogs("wrong", 300);
        f.UpdateNews();
        QTest::qWait(500);
        EXPECT_EQ(*asked, 0);
        EXPECT_NE(test::TempDir::readFile(dir.file("news.html"))
                      .find("<b>" + std::string(c.title) + "</b>"),
                  std::string::npos);
        form.reset();
    }

    // The way README gives to forget a kept password.
    QProcess forget;
    forget.start(QStringLiteral("secret-tool"),
                 {QStringLiteral("clear"), QStringLiteral("server"), QStringLiteral("nuvio"),
                  QStringLiteral("user"), QString::fromStdString(origin)});
    ASSERT_TRUE(forget.waitForFinished(10000));
    EXPECT_EQ(forget.exitCode(), 0) << forget.readAllStandardError().toStdString();
    auto& f = create();
    f.UpdateNews();
    EXPECT_TRUE(widget<QLabel>(f, "StatusBar1Panel0")->toolTip().contains(QStringLiteral("login")))
        << "forgotten, the site asks for a login again";
    form.reset();

    EXPECT_EQ(filesHolding(dir.path(), kPassword), QStringList());
}

TEST_F(SiteLoginTest, AProxyAskingForALoginIsAskedOnceAndTakesFeedsAndViews)
{
    ASSERT_TRUE(startKeyring()) << "gnome-keyring-daemon under a session bus";
    // The feed's and the station's hosts resolve nowhere: only the proxy answers for them.
    test::LoopbackServer proxy;
    const std::string login =
        "Basic " + QByteArray("anne:" + QByteArray(kPassword)).toBase64().toStdString();
    std::mutex mutex;
    std::vector<std::string> asked;
    proxy.server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("Proxy-Authorization") != login) {
            response.status = 407;
            response.set_header("Proxy-Authenticate", "Basic realm=\"work\"");
            return;
        }
        std::lock_guard lock(mutex);
        asked.push_back(request.path);
        if (request.path == "http://feeds.nuvio.test/rss")
            response.set_content(feed("Bagved"), "application/rss+xml");
        else
            response.set_content("<html><head><title>through the proxy</title></head></html>",
                                 "text/html");
    });
    proxy.start();
    const std::string origin = proxy.url("");
    ::setenv("http_proxy", origin.c_str(), 1);
    routeViewsLikeFeeds();
    const auto direct = qScopeGuard([] {
        ::unsetenv("http_proxy");
        routeViewsLikeFeeds();
    });
    dir.write("newsfeeds.txt", "");
    dir.write("newsselected.txt", "http://feeds.nuvio.test/rss\r\n");
    const std::string page = dir.file("news.html");
    // Fetched through the proxy, not taken from the cache of an earlier run.
    const auto fetched = [&] {
        const auto feedsAsked = [&] {
            std::lock_guard lock(mutex);
            return std::count(asked.begin(), asked.end(), "http://feeds.nuvio.test/rss");
        };
        const auto before = feedsAsked();
        for (int i = 0; i < 100; ++i) {
            if (feedsAsked() > before &&
                test::TempDir::readFile(page).find("<b>Bagved</b>") != std::string::npos)
                return true;
            QTest::qWait(100);
        }
        return false;
    };

    auto& f = create();
    const auto askedFirst = answerLoginDialogs(kPassword);
    QTimer::singleShot(0, &f, [&f] { f.UpdateNews(); });
    EXPECT_TRUE(fetched()) << "asked after the run, and fetched with the login at once";
    EXPECT_EQ(*askedFirst, 1);
    f.show();
    auto* radio = widget<QWebEngineView>(f, "RadioBrowser");
    f.navigate(radio, "http://radio.nuvio.test/first");
    test::waitForLoad(radio);
    f.navigate(radio, "http://radio.nuvio.test/station");
    ASSERT_TRUE(test::waitForLoad(radio));
    EXPECT_EQ(radio->title().toStdString(), "through the proxy");
    form.reset();

    // Started again, with the session's login gone: the keyring gives it, nothing is asked.
    setProxyLogin(credentialOrigin(origin), {});
    dir.write("news.html", "");
    auto& again = create();
    const auto askedAgain = answerLoginDialogs("wrong", 3000);
    QTimer::singleShot(0, &again, [&again] { again.UpdateNews(); });
    EXPECT_TRUE(fetched());
    QTest::qWait(300);
    EXPECT_EQ(*askedAgain, 0);
    form.reset();
    EXPECT_EQ(filesHolding(dir.path(), kPassword), QStringList());
}
