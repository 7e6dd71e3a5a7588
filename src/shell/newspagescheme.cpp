// SPDX-License-Identifier: MIT
#include "shell/newspagescheme.h"

#include "news/newspage.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace nuvio {

namespace {

constexpr const char* kHost = "local";

QString canonicalInstallPath(const std::string& installPath)
{
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(installPath))).canonicalFilePath();
}

} // namespace

NewsPageScheme::NewsPageScheme(std::function<std::string()> installPath, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_installPath(std::move(installPath))
{}

void NewsPageScheme::registerScheme()
{
    QWebEngineUrlScheme scheme(kName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
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
    const QString folder = canonicalInstallPath(m_installPath());
    const QString file = QFileInfo(url.toLocalFile()).absoluteFilePath();
    if (folder.isEmpty() || QFileInfo(file).canonicalFilePath() !=
                                folder + QLatin1Char('/') + QString::fromLatin1(kNewsPageFile))
        return url;
    QUrl ours = url;
    ours.setScheme(QString::fromLatin1(kName));
    ours.setHost(QString::fromLatin1(kHost));
    return ours;
}

void NewsPageScheme::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const QString folder = canonicalInstallPath(m_installPath());
    const QFileInfo info(QFileInfo(url.path()).canonicalFilePath());
    // Only the install directory's own files, and nothing a link leads out to.
    if (url.host() != QLatin1String(kHost) || folder.isEmpty() || !info.isFile() ||
        !info.filePath().startsWith(folder + QLatin1Char('/'))) {
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
