// SPDX-License-Identifier: MIT
#include "gui/shell/newspagescheme.h"

#include "core/news/newspage.h"
#include "gui/shell/localfileguard.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace nuvio {

namespace {
constexpr const char* kHost = "local";
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
    auto* file = new QFile(info.filePath(), job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    QByteArray type =
        QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).name().toLatin1();
    if (info.fileName() == QLatin1String(kNewsPageFile))
        type = "text/html; charset=windows-1252";
    job->reply(type, file);
}

} // namespace nuvio
