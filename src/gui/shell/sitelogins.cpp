// SPDX-License-Identifier: MIT
#include "gui/shell/sitelogins.h"

#include "core/news/feedlogins.h"
#include "gui/language/loadlanguage.h"
#include "gui/platform/keyring.h"
#include "gui/platform/logindialog.h"

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
    for (const auto& origin : chosenFeedOrigins(installPath)) {
        if (m_read.insert(origin).second)
            origins.push_back(origin);
    }
    if (origins.empty())
        return;
    QEventLoop loop;
    bool done = false;
    m_keyring->load(origins, m_store, [&] {
        done = true;
        loop.quit();
    });
    if (done)
        return;
    QTimer::singleShot(kKeyringPatienceMs, &loop, &QEventLoop::quit);
    loop.exec();
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
