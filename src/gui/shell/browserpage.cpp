// SPDX-License-Identifier: MIT
#include "gui/shell/browserpage.h"

#include "gui/platform/urlopener.h"
#include "gui/shell/newspagescheme.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

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
        settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
        if (origin.m_guard)
            setUrlRequestInterceptor(origin.m_guard);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override
    {
        // Never the program's: only a page asks for a new window.
        if (m_origin.admit(url, type == NavigationTypeLinkClicked ? BrowserPage::Asker::Link
                                                                  : BrowserPage::Asker::Page))
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

// How long a click may wait for the navigation it starts: a link's navigation follows its
// click within milliseconds, a page's timer should not ride on a click long past.
constexpr qint64 kClickLifetimeMs = 2000;

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
    // Left to itself the engine hands a clicked link of a scheme it does not know (smb:,
    // mailto:, whatever the desktop registered) to the desktop after the rule let it pass;
    // only the rule decides what leaves.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // The view's input widget is the engine's and changes with the page's process; the
    // application sees every click whatever widget it reaches.
    QCoreApplication::instance()->installEventFilter(this);
    // A click that took the view to a new page is spent: the new page's scripts must not
    // send out an address on it.
    connect(this, &QWebEnginePage::loadStarted, this, [this] { m_sinceClick.invalidate(); });
}

bool BrowserPage::eventFilter(QObject* watched, QEvent* event)
{
    const auto activatesLink = [event] {
        if (event->type() == QEvent::MouseButtonRelease)
            return (static_cast<QMouseEvent*>(event)->button() &
                    (Qt::LeftButton | Qt::MiddleButton)) != 0;
        if (event->type() != QEvent::KeyPress)
            return false;
        // Space scrolls or presses a button but follows no link: counting it would let a
        // page send an address out whenever the user scrolls.
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    };
    if (watched->isWidgetType() && activatesLink()) {
        const QWebEngineView* view = QWebEngineView::forPage(this);
        const auto* target = static_cast<QWidget*>(watched);
        if (view && (target == view || view->isAncestorOf(target)))
            m_sinceClick.start();
    }
    return false;
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

bool BrowserPage::admit(const QUrl& url, Asker asker)
{
    const QByteArray text = url.toString(QUrl::FullyEncoded).toUtf8();
    const NavigationDecision decision =
        m_rule(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!decision.divert)
        return true;
    if (!decision.urlToOpen.empty() && mayHandOut(asker))
        m_opener->open(decision.urlToOpen);
    return false;
}

bool BrowserPage::mayHandOut(Asker asker)
{
    if (asker == Asker::Program || !showsWebPage())
        return true;
    if (asker != Asker::Link || !m_sinceClick.isValid() ||
        m_sinceClick.hasExpired(kClickLifetimeMs))
        return false;
    m_sinceClick.invalidate(); // one address a click
    return true;
}

bool BrowserPage::showsWebPage() const
{
    // While the program leaves a web page for a local one the shown address is already the
    // new one, but the web page still runs: it counts as long as either is from the web.
    const auto local = [](const QUrl& shown) {
        return shown.isEmpty() || shown.isLocalFile() || NewsPageScheme::isOurs(shown);
    };
    return !local(url()) || !local(history()->currentItem().url());
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool)
{
    const Asker asker = type == NavigationTypeTyped         ? Asker::Program
                        : type == NavigationTypeLinkClicked ? Asker::Link
                                                            : Asker::Page;
    // A headline without a link leads to the page itself: reloading it would lose the
    // place read to, and show an error once the page file is replaced.
    if (asker == Asker::Link && url == this->url() && !showsWebPage())
        return false;
    return admit(url, asker);
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
