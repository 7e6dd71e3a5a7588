// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>
#include <functional>
#include <string>

namespace nuvio {

// fileInsideInstallFolder (core/platform/installfolder.h) for the views' file names.
QString fileInsideInstallFolder(const std::string& installPath, const QString& file);

// Whether a request for the local `url` (a file URL or the news page's scheme) comes from
// the program itself or from a page of the same scheme: no web page may load anything local.
bool loadedByOwnKind(const QUrl& url, const QUrl& initiator);

// Keeps a view's pages from reading the user's files: a local page may load its style
// sheet, images and scripts from the install directory, but no script may fetch a local
// file, no frame or worker may show one, and nothing outside the install directory is
// loaded. The news page, shown through its own scheme, also loads nothing from the web.
// Every page of a view uses it, the hidden ones that popups make included.
class LocalFileGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    explicit LocalFileGuard(std::function<std::string()> installPath, QObject* parent = nullptr);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::function<std::string()> m_installPath;
};

} // namespace nuvio
