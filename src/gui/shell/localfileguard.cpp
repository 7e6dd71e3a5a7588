// SPDX-License-Identifier: MIT
#include "gui/shell/localfileguard.h"

#include "gui/shell/newspagescheme.h"

#include <QFile>
#include <QFileInfo>

namespace nuvio {

QString fileInsideInstallFolder(const std::string& installPath, const QString& file)
{
    const QString folder =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(installPath))).canonicalFilePath();
    const QString real = QFileInfo(file).canonicalFilePath();
    const bool inside =
        !folder.isEmpty() && !real.isEmpty() && real.startsWith(folder + QLatin1Char('/'));
    return inside ? real : QString();
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
