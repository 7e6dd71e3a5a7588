// SPDX-License-Identifier: MIT
#include "gui/shell/localfileguard.h"

#include "core/platform/installfolder.h"
#include "gui/shell/newspagescheme.h"

#include <QFile>
#include <QFileInfo>

namespace nuvio {

QString fileInsideInstallFolder(const std::string& installPath, const QString& file)
{
    return QFile::decodeName(QByteArray::fromStdString(
        fileInsideInstallFolder(installPath, QFile::encodeName(file).toStdString())));
}

bool loadedByOwnKind(const QUrl& url, const QUrl& initiator)
{
    // The program's own loads have no initiator.
    return initiator.isEmpty() || initiator.scheme() == url.scheme();
}

LocalFileGuard::LocalFileGuard(std::function<std::string()> installPath, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), m_installPath(std::move(installPath))
{}

void LocalFileGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QUrl url = info.requestUrl();
    const bool main = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
    const bool ours = NewsPageScheme::isOurs(url);
    if (!url.isLocalFile() && !ours) {
        if (!main && NewsPageScheme::isOurs(info.firstPartyUrl()))
            info.block(true);
        return;
    }
    // A page loads local files of its own kind only: a file page its own file URLs, the
    // news page what its scheme serves. A web page gets nothing local, not even a failure
    // that differs between a file that exists and one that does not.
    if (!loadedByOwnKind(url, info.initiator())) {
        info.block(true);
        return;
    }
    switch (info.resourceType()) {
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
        return; // the page itself; the before-navigate rules decide about it
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeSharedWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeServiceWorker:
    case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypePrefetch:
    case QWebEngineUrlRequestInfo::ResourceTypePing:
    case QWebEngineUrlRequestInfo::ResourceTypeCspReport:
    case QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadMainFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadSubFrame:
        info.block(true);
        return;
    default:
        break;
    }
    const bool inside =
        !fileInsideInstallFolder(m_installPath(), ours ? url.path() : url.toLocalFile()).isEmpty();
    if (!inside)
        info.block(true);
}

} // namespace nuvio
