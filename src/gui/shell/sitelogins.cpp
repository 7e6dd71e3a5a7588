// SPDX-License-Identifier: MIT
#include "gui/shell/sitelogins.h"

#include "core/news/feedlogins.h"
#include "gui/language/loadlanguage.h"
#include "gui/platform/keyring.h"
#include "gui/platform/logindialog.h"

#include <QEventLoop>
#include <QTimer>

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

void SiteLogins::keep(const std::string& origin, const Credentials& credentials)
{
    m_store.set(origin, credentials);
    m_read.insert(origin);
    m_keyring->save(origin, credentials, [](bool) {});
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
