// SPDX-License-Identifier: MIT
#include "gui/platform/webproxy.h"

#include "core/net/proxyroute.h"

#include <QNetworkProxy>
#include <QUrl>

namespace nuvio {

void routeViewsLikeFeeds()
{
    const QUrl proxy(QString::fromStdString(proxyFor("http://www.example.com/")));
    if (proxy.isEmpty()) {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        return;
    }
    const bool socks = proxy.scheme().startsWith(QLatin1String("socks"));
    QNetworkProxy route(socks ? QNetworkProxy::Socks5Proxy : QNetworkProxy::HttpProxy, proxy.host(),
                        static_cast<quint16>(proxy.port(socks ? 1080 : 8080)));
    // A login in the proxy's address, or one given in this session: the engine answers the
    // proxy's 407 with it.
    route.setUser(proxy.userName());
    route.setPassword(proxy.password());
    if (const auto login = proxyLogin(proxy.toString().toStdString());
        login && proxy.userName().isEmpty()) {
        route.setUser(QString::fromStdString(login->user));
        route.setPassword(QString::fromStdString(login->password));
    }
    QNetworkProxy::setApplicationProxy(route);
}

} // namespace nuvio
