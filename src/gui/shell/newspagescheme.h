// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>
#include <string>

namespace nuvio {

// The news page declares no character set, and the browser would guess one from its bytes:
// a single UTF-8 feed would then turn every other feed's Danish letters into garbage. The
// page is therefore shown through this scheme, which serves the install directory's files
// and says of news.html that it is windows-1252. The file itself is not touched.
class NewsPageScheme : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static constexpr const char* kName = "nuvio";

    explicit NewsPageScheme(std::function<std::string()> installPath, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // The address the view loads for `url`: the news page's file URL becomes ours (query
    // kept); every other URL stays as it is.
    QUrl viewUrl(const QUrl& url) const;

    // Makes the scheme known to the browser. Call once, before the application object exists.
    static void registerScheme();
    static bool isOurs(const QUrl& url);

private:
    std::function<std::string()> m_installPath;
};

} // namespace nuvio
