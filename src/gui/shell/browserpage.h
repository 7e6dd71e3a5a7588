// SPDX-License-Identifier: MIT
#pragma once

#include "core/shell/navigationrules.h"

#include <QWebEnginePage>
#include <functional>

class QWebEngineUrlRequestInterceptor;

namespace nuvio {

class UrlOpener;

// A browser view's page that applies its view's before-navigate rule to every navigation,
// the program's own, links, and those of frames inside the page, and hands what the rule
// diverts to the system.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using Rule = std::function<NavigationDecision(std::string_view url)>;

    BrowserPage(Rule rule, UrlOpener& opener, QObject* parent = nullptr);

    void setOpener(UrlOpener& opener) { m_opener = &opener; }
    // The guard every page of this view loads through, the hidden ones popups make included.
    void setGuard(QWebEngineUrlRequestInterceptor* guard);
    // Whether `url` would be let into the view (true) or diverted; diverts it if not.
    bool admit(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // A link or script that asks for a new window is judged by the same rule; what the rule
    // admits opens in this view, as a navigation of this page's own, so the engine's checks
    // on what a page may open still apply.
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    friend class NewWindowCatcher;
    void navigateFromPage(const QUrl& url);

    Rule m_rule;
    UrlOpener* m_opener;
    QWebEngineUrlRequestInterceptor* m_guard = nullptr;
};

// Makes the pseudo-schemes of the radio page's outside links, and the news page's scheme,
// known to the browser. Call once, before the application object exists.
void registerBrowserSchemes();

} // namespace nuvio
