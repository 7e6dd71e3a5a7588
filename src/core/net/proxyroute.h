// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"

#include <optional>
#include <string>
#include <string_view>

namespace nuvio {

// The proxy a request to `url` goes through, as the desktop says: its GNOME or KDE settings,
// a PAC script or WPAD, or the http_proxy, https_proxy, all_proxy and no_proxy variables
// (libproxy reads them all). In libcurl's form ("http://[user:password@]host:port",
// "socks5h://host:port"; a SOCKS proxy resolves the names, as a user behind one needs);
// empty for a direct connection. The loopback addresses are always asked directly: no proxy
// can reach the user's own machine. Safe from any thread.
std::string proxyFor(std::string_view url);

// Whether the proxy is a SOCKS one (its failures then name the server behind it otherwise).
bool isSocksProxy(std::string_view proxy);

// A proxy's login given in this session for a proxy the desktop names without one, by the
// proxy's origin (credentials.h): every request through that proxy answers its 407 with it,
// the feeds', the update's and the views' alike. Safe from any thread.
void setProxyLogin(const std::string& proxyOrigin, const Credentials& credentials);
// The login for requests through `proxy` (as proxyFor names it), when one was given.
std::optional<Credentials> proxyLogin(std::string_view proxy);

} // namespace nuvio
