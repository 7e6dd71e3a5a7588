// SPDX-License-Identifier: MIT
#include "gui/shell/sitelogins.h"

#include "core/net/proxyroute.h"
#include "core/news/feedlogins.h"
#include "gui/language/loadlanguage.h"
#include "gui/platform/keyring.h"
#include "gui/platform/logindialog.h"
#include "gui/platform/webproxy.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <memory>

namespace nuvio {

namespace {

// A keyring that does not answer (a locked one waiting for its prompt) holds the refresh
// back no longer than this.
constexpr int kKeyringPatienceMs = 10000;

bool needsLogin(const FeedFailure& failure)
{
    return failure.reason == HttpFailure::Status && failure.status == 401 &&
           !credentialOrigin(failure.url).empty();
}

// Keeps a login in `keyring`, waiting for its answer: whether it took it.
bool saveAndWait(Keyring& keyring, const std::string& origin, const Credentials& credentials)
{
    QEventLoop loop;
    auto answer = std::make_shared<std::optional<bool>>();
    keyring.save(origin, credentials, [answer, &loop](bool kept) {
        *answer = kept;
        loop.quit();
    });
    if (!answer->has_value()) {
        QTimer::singleShot(kKeyringPatienceMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return answer->value_or(false);
}

bool sessionBusThere()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

} // namespace

SiteLogins::SiteLogins(QObject* parent) : QObject(parent), m_keyring(new Keyring(this)) {}

void SiteLogins::lookUp(const std::string& installPath)
{
    std::vector<std::string> origins;
    // The proxies the feeds and the views go through may have a login kept too.
    std::set<std::string> proxies;
    proxies.insert(credentialOrigin(proxyFor("http://www.example.com/")));
    for (const auto& origin : chosenFeedOrigins(installPath)) {
        proxies.insert(credentialOrigin(proxyFor(origin + "/")));
        if (m_read.insert(origin).second)
            origins.push_back(origin);
    }
    proxies.erase(std::string());
    for (const auto& proxy : proxies) {
        if (m_read.insert(proxy).second)
            origins.push_back(proxy);
    }
    if (!origins.empty()) {
        QEventLoop loop;
        bool done = false;
        m_keyring->load(origins, m_store, [&] {
            done = true;
            loop.quit();
        });
        if (!done) {
            QTimer::singleShot(kKeyringPatienceMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    for (const auto& proxy : proxies) {
        const auto login = m_store.find(proxy);
        const auto used = proxyLogin(proxy);
        if (login && (!used || used->user != login->user || used->password != login->password))
            useForProxy(proxy, *login);
    }
}

bool SiteLogins::askProxy(const std::vector<FeedFailure>& failures, QWidget* parent)
{
    for (const auto& failure : failures) {
        if (failure.reason != HttpFailure::Proxy || failure.status != 407)
            continue;
        const std::string origin = credentialOrigin(proxyFor(failure.url));
        if (origin.empty() || !m_proxiesAsked.insert(origin).second)
            continue;
        if (!askFor(origin, proxyLogin(origin).has_value(), parent))
            return false;
        useForProxy(origin, *m_store.find(origin));
        return true;
    }
    return false;
}

void SiteLogins::useForProxy(const std::string& origin, const Credentials& credentials)
{
    // A login to a proxy spoken to over plain http is read on the way, as a site's is.
    if (origin.starts_with("http:") && !credentials.plainHttp)
        return;
    setProxyLogin(origin, credentials);
    routeViewsLikeFeeds();
}

bool SiteLogins::ask(const std::vector<FeedFailure>& failures, QWidget* parent)
{
    for (const auto& failure : failures) {
        if (needsLogin(failure)) {
            const std::string origin = credentialOrigin(failure.url);
            return askFor(origin, m_store.find(origin).has_value(), parent);
        }
    }
    return false;
}

bool SiteLogins::askRefused(const std::vector<FeedFailure>& failures, QWidget* parent)
{
    for (const auto& failure : failures) {
        if (needsLogin(failure) && m_store.forRequest(failure.url))
            return askFor(credentialOrigin(failure.url), true, parent);
    }
    return false;
}

MovedLogin SiteLogins::keep(const std::string& origin, const Credentials& credentials)
{
    m_store.set(origin, credentials);
    m_read.insert(origin);
    if (!m_keyring->available())
        return MovedLogin::Session;
    return saveAndWait(*m_keyring, origin, credentials) ? MovedLogin::Keyring : MovedLogin::Session;
}

MovedLogin keepLoginWithoutWindow(const std::string& origin, const Credentials& credentials)
{
    // Without a session bus the keyring library would try to start one of its own, or
    // wait: the login is left out, and the program asks for it where it is needed.
    if (!sessionBusThere())
        return MovedLogin::LeftOut;
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "nuvio";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    Keyring keyring;
    return saveAndWait(keyring, origin, credentials) ? MovedLogin::Keyring : MovedLogin::LeftOut;
}

bool SiteLogins::askFor(const std::string& origin, bool refused, QWidget* parent)
{
    const LoginTexts texts{uiText(AddedText::LoginTitle),
                           uiText(AddedText::LoginUser),
                           uiText(AddedText::LoginPassword),
                           uiText(AddedText::LoginPlainHttp),
                           uiText(AddedText::LoginSessionOnly),
                           uiText(AddedText::LoginRefused),
                           QStringLiteral("OK"),
                           uiText(AddedText::FileDialogCancel)};
    LoginDialog dialog(origin, texts, m_keyring->available(), refused,
                       m_store.find(origin).value_or(Credentials{}), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    keep(origin, dialog.credentials());
    return true;
}

} // namespace nuvio
