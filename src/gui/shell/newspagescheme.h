// SPDX-License-Identifier: MIT
#pragma once

#include "core/shell/navigationrules.h"

#include <QByteArray>
#include <QFile>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

class QIODevice;
class QWebEngineUrlRequestJob;

namespace nuvio {

// The news page declares no character set, and the browser would guess one from its bytes:
// a single UTF-8 feed would then turn every other feed's Danish letters into garbage. The
// page is therefore shown through this scheme, which serves the install directory's files
// and says of news.html that it is windows-1252. The file itself is not touched.
class NewsPageScheme : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static constexpr const char* kName = kNewsPageScheme;

    explicit NewsPageScheme(std::function<std::string()> installPath, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // The address the view loads for `url`: the news page's file URL becomes ours (query
    // kept); every other URL stays as it is.
    QUrl viewUrl(const QUrl& url) const;

    // Makes the scheme known to the browser. Call once, before the application object exists.
    static void registerScheme();
    static bool isOurs(const QUrl& url);

private:
    struct HeldReply
    {
        QPointer<QWebEngineUrlRequestJob> job;
        QString path;
        QByteArray type;
    };
    void reply(QWebEngineUrlRequestJob* job, const QString& path, const QByteArray& type);
    void pageHandedOver(const QIODevice* page);

    std::function<std::string()> m_installPath;
    // The engine takes the page in 64 KB pieces and, once its style sheet is in, lays out
    // and paints everything it has after each piece: a page of thousands of headlines took
    // three (500 feeds) to ten times (14 MB) as long as when the rest waits until the page
    // is all handed over.
    QPointer<QIODevice> m_page;
    std::vector<HeldReply> m_held;
};

// The news page's file, which says once when the engine has read it to its end. The engine
// reads on a thread of its own.
class NewsPageFile : public QFile
{
    Q_OBJECT
public:
    using QFile::QFile;

signals:
    void handedOver();

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    qint64 m_read = 0;
    std::atomic<bool> m_told{false};
};

} // namespace nuvio
