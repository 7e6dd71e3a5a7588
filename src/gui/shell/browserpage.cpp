// SPDX-License-Identifier: MIT
#include "gui/shell/browserpage.h"

#include "gui/platform/urlopener.h"
#include "gui/shell/newspagescheme.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace nuvio {

// Catches the first navigation of a page a link or script asked for, then goes away. Until
// then the opener's scripts can reach it (a blank `window.open("")` page never navigates),
// so it loads through the view's guard and may read no local file.
class NewWindowCatcher : public QWebEnginePage
{
public:
    explicit NewWindowCatcher(BrowserPage& origin)
        : QWebEnginePage(origin.profile(), &origin), m_origin(origin)
    {
        settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        if (origin.m_guard)
            setUrlRequestInterceptor(origin.m_guard);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        if (m_origin.admit(url))
            m_origin.navigateFromPage(url);
        deleteLater();
        return false;
    }

private:
    BrowserPage& m_origin;
};

namespace {

// Both views send these links out before they load; should one ever get through, it fails
// like any address the view cannot reach.
class RefusingSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    }
};

const char* const kOutsideSchemes[] = {"realhttp", "realhttps"};

void installSchemeHandlers(QWebEngineProfile* profile)
{
    for (const char* name : kOutsideSchemes) {
        if (!profile->urlSchemeHandler(name))
            profile->installUrlSchemeHandler(name, new RefusingSchemeHandler(profile));
    }
}

} // namespace

BrowserPage::BrowserPage(Rule rule, UrlOpener& opener, QObject* parent)
    : QWebEnginePage(parent), m_rule(std::move(rule)), m_opener(&opener)
{
    installSchemeHandlers(profile());
}

void BrowserPage::setGuard(QWebEngineUrlRequestInterceptor* guard)
{
    m_guard = guard;
    setUrlRequestInterceptor(guard);
}

void BrowserPage::navigateFromPage(const QUrl& url)
{
    // Loading the address from outside (setUrl) would skip the checks the engine makes on
    // what a page may open, such as a web page opening a local file.
    const QByteArray quoted =
        QJsonDocument(QJsonArray{url.toString(QUrl::FullyEncoded)}).toJson(QJsonDocument::Compact);
    runJavaScript(QStringLiteral("window.location.href = %1[0];").arg(QString::fromUtf8(quoted)),
                  QWebEngineScript::ApplicationWorld);
}

bool BrowserPage::admit(const QUrl& url)
{
    const QByteArray text = url.toString(QUrl::FullyEncoded).toUtf8();
    const NavigationDecision decision =
        m_rule(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!decision.divert)
        return true;
    if (!decision.urlToOpen.empty())
        m_opener->open(decision.urlToOpen);
    return false;
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool)
{
    return admit(url);
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    return new NewWindowCatcher(*this);
}

void registerBrowserSchemes()
{
    // The browser treats an unknown scheme as an external protocol and, without a user
    // gesture, drops the link silently; as registered schemes "realhttp" links reach the
    // before-navigate rules like any other.
    const std::pair<const char*, int> schemes[] = {{"realhttp", 80}, {"realhttps", 443}};
    for (const auto& [name, port] : schemes) {
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::HostAndPort);
        scheme.setDefaultPort(port);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
    NewsPageScheme::registerScheme();
}

} // namespace nuvio
