// SPDX-License-Identifier: MIT
#pragma once

#include "core/shell/navigationrules.h"

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <functional>

class QWebEngineUrlRequestInterceptor;

namespace nuvio {

class UrlOpener;

// A browser view's page that applies its view's before-navigate rule to every navigation,
// the program's own, links, and those of frames inside the page, and hands what the rule
// diverts to the system. A web page shown in the view (a station's site in the radio view)
// is not trusted as the local pages are: what it diverts goes out only on the user's click
// in the view, one address a click; its scripts, frames and timers send nothing out.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using Rule = std::function<NavigationDecision(std::string_view url)>;

    BrowserPage(Rule rule, UrlOpener& opener, QObject* parent = nullptr);

    void setOpener(UrlOpener& opener) { m_opener = &opener; }
    // The guard every page of this view loads through, the hidden ones popups make included.
    void setGuard(QWebEngineUrlRequestInterceptor* guard);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // A link or script that asks for a new window is judged by the same rule; what the rule
    // admits opens in this view, as a navigation of this page's own, so the engine's checks
    // on what a page may open still apply.
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class NewWindowCatcher;
    // Who started a navigation: the program, the page on its own, or the page in answer to
    // what may be the user's click on a link.
    enum class Asker { Program, Page, Link };

    // Whether `url` is let into the view (true) or diverted; what the rule diverts goes to
    // the system when `asker` may send it there.
    bool admit(const QUrl& url, Asker asker);
    bool mayHandOut(Asker asker);
    bool showsWebPage() const;
    void navigateFromPage(const QUrl& url);

    Rule m_rule;
    UrlOpener* m_opener;
    QWebEngineUrlRequestInterceptor* m_guard = nullptr;
    // The user's last click (or key that follows a link) in this page's view, not yet used
    // to hand an address out.
    QElapsedTimer m_sinceClick;
};

// Makes the pseudo-schemes of the radio page's outside links, and the news page's scheme,
// known to the browser. Call once, before the application object exists.
void registerBrowserSchemes();

} // namespace nuvio
