// SPDX-License-Identifier: MIT
#include "core/news/feedexchange.h"
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
#include <QTest>
#include <QTimer>
#include <memory>

using namespace nuvio;

namespace {

const char* kPassword = "Hemmelig-7Q2x";

std::string feed(const std::string& title)
{
    return "<rss><channel><title>" + title + "</title><item><title>" + title +
           " nyhed</title><link>http://example.com/" + title + "</link></item></channel></rss>";
}

// A keyring of this run's own on the session bus, unlocked with a known password, as a
// desktop session would start it.
bool startKeyring(const std::string& folder)
{
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder));
    QProcess daemon;
    daemon.start(QStringLiteral("gnome-keyring-daemon"),
                 {QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
    if (!daemon.waitForStarted(5000))
        return false;
    daemon.write("keyring-test");
    daemon.closeWriteChannel();
    return daemon.waitForFinished(10000) && daemon.exitCode() == 0;
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

} // namespace

class SiteLoginTest : public test::FormFixture
{
};

TEST_F(SiteLoginTest, ALoginGivenOnceIsKeptInTheKeyringAndSentOnlyToItsSite)
{
    test::TempDir keyringFolder;
    ASSERT_TRUE(startKeyring(keyringFolder.path())) << "gnome-keyring-daemon under a session bus";
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
