#pragma once

#include "shell/navigationrules.h"

#include <QWebEnginePage>
#include <functional>

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
    // Whether `url` would be let into the view (true) or diverted; diverts it if not.
    bool admit(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // A link that asks for a new window is judged by the same rule; what the rule admits
    // opens in this view.
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    Rule m_rule;
    UrlOpener* m_opener;
};

// Makes the pseudo-schemes of the radio page's outside links known to the browser. Call
// once, before the application object exists.
void registerBrowserSchemes();

} // namespace nuvio
