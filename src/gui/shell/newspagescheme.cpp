// SPDX-License-Identifier: MIT
#include "gui/shell/newspagescheme.h"

#include "core/news/newspage.h"
#include "gui/shell/localfileguard.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTimer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace nuvio {

namespace {
constexpr const char* kHost = "local";
// The page's other files wait at most this long for it.
constexpr int kLongestHoldMs = 5000;
} // namespace

NewsPageScheme::NewsPageScheme(std::function<std::string()> installPath, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_installPath(std::move(installPath))
{}

void NewsPageScheme::registerScheme()
{
    QWebEngineUrlScheme scheme(kName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // As local as file URLs: a web page may neither show nor embed what it serves.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool NewsPageScheme::isOurs(const QUrl& url)
{
    return url.scheme() == QLatin1String(kName);
}

QUrl NewsPageScheme::viewUrl(const QUrl& url) const
{
    if (!url.isLocalFile())
        return url;
    const std::string installPath = m_installPath();
    const QString news = fileInsideInstallFolder(
        installPath,
        QFile::decodeName(QByteArray::fromStdString(installPath + "/" + kNewsPageFile)));
    if (news.isEmpty() || QFileInfo(url.toLocalFile()).canonicalFilePath() != news)
        return url;
    QUrl ours = url;
    ours.setScheme(QString::fromLatin1(kName));
    ours.setHost(QString::fromLatin1(kHost));
    return ours;
}

void NewsPageScheme::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    // Refused before the file is looked at: a web page must not learn whether it exists.
    if (!loadedByOwnKind(url, job->initiator())) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // Only the install folder's own files, and nothing a link leads out to.
    const QFileInfo info(fileInsideInstallFolder(m_installPath(), url.path()));
    if (url.host() != QLatin1String(kHost) || !info.isFile()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QByteArray type =
        QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).name().toLatin1();
    if (info.fileName() != QLatin1String(kNewsPageFile)) {
        if (m_page) {
            m_held.push_back({job, info.filePath(), type});
            return;
        }
        reply(job, info.filePath(), type);
        return;
    }
    auto* page = new NewsPageFile(info.filePath(), job);
    if (!page->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    m_page = page;
    connect(
        page, &NewsPageFile::handedOver, this, [this, page] { pageHandedOver(page); },
        Qt::QueuedConnection);
    connect(page, &QObject::destroyed, this, [this, page] { pageHandedOver(page); });
    QTimer::singleShot(kLongestHoldMs, this, [this, page] { pageHandedOver(page); });
    job->reply("text/html; charset=windows-1252", page);
}

qint64 NewsPageFile::readData(char* data, qint64 maxSize)
{
    const qint64 read = QFile::readData(data, maxSize);
    if (read <= 0 || (m_read += read) >= size()) {
        if (!m_told.exchange(true))
            emit handedOver();
    }
    return read;
}

void NewsPageScheme::reply(QWebEngineUrlRequestJob* job, const QString& path,
                           const QByteArray& type)
{
    auto* file = new QFile(path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    job->reply(type, file);
}

void NewsPageScheme::pageHandedOver(const QIODevice* page)
{
    // Only the page being shown holds the others back; an earlier one's word is late.
    if (m_page && m_page != page)
        return;
    m_page = nullptr;
    std::vector<HeldReply> held;
    held.swap(m_held);
    for (const HeldReply& each : held) {
        if (each.job)
            reply(each.job, each.path, each.type);
    }
}

} // namespace nuvio
