// SPDX-License-Identifier: MIT
#include "core/net/proxyroute.h"

#include "core/platform/asciitext.h"

#include <QUrl>
#include <cstdlib>
#include <map>
#include <mutex>
#include <proxy.h>

namespace nuvio {

namespace {

std::string hostOf(std::string_view url)
{
    return QUrl(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())))
        .host()
        .toLower()
        .toStdString();
}

bool isLoopback(const std::string& host)
{
    return host == "localhost" || host.ends_with(".localhost") || host == "::1" ||
           host.starts_with("127.");
}

// libproxy's answer in libcurl's terms; empty for direct or a kind libcurl cannot use.
std::string curlProxy(std::string_view proxy)
{
    const auto replaced = [&](std::string_view scheme, std::string_view by) {
        return std::string(by) + std::string(proxy.substr(scheme.size()));
    };
    if (startsWithIgnoringAsciiCase(proxy, "http://") ||
        startsWithIgnoringAsciiCase(proxy, "https://") ||
        startsWithIgnoringAsciiCase(proxy, "socks5h://") ||
        startsWithIgnoringAsciiCase(proxy, "socks4a://"))
        return std::string(proxy);
    if (startsWithIgnoringAsciiCase(proxy, "socks5://"))
        return replaced("socks5://", "socks5h://");
    if (startsWithIgnoringAsciiCase(proxy, "socks://"))
        return replaced("socks://", "socks5h://");
    if (startsWithIgnoringAsciiCase(proxy, "socks4://"))
        return replaced("socks4://", "socks4a://");
    return {};
}

std::string environment(const char* lower, const char* upper)
{
    const char* value = std::getenv(lower);
    if (!value || !*value)
        value = std::getenv(upper);
    return value ? value : "";
}

// no_proxy as every tool reads it: "*", or names whose host or a domain above it matches.
bool exempted(const std::string& host)
{
    const std::string list = lowerAsciiCopy(environment("no_proxy", "NO_PROXY"));
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        std::string_view name = trimBlanks(std::string_view(list).substr(at, comma - at));
        at = comma + 1;
        if (name == "*")
            return true;
        if (const std::size_t colon = name.rfind(':');
            colon != std::string_view::npos && name.find(':') == colon)
            name = name.substr(0, colon);
        while (name.starts_with('.'))
            name.remove_prefix(1);
        if (!name.empty() && (host == name || (host.size() > name.size() && host.ends_with(name) &&
                                               host[host.size() - name.size() - 1] == '.')))
            return true;
    }
    return false;
}

} // namespace

std::string proxyFor(std::string_view url)
{
    const std::string host = hostOf(url);
    if (isLoopback(host))
        return {};
    // One factory for the program: it reads the desktop's settings once and keeps a PAC
    // script it fetched.
    static std::mutex mutex;
    static pxProxyFactory* factory = nullptr;
    std::string chosen;
    bool direct = false;
    {
        std::lock_guard lock(mutex);
        if (!factory)
            factory = px_proxy_factory_new();
        const std::string asked(url);
        if (char** proxies =
                factory ? px_proxy_factory_get_proxies(factory, asked.c_str()) : nullptr) {
            // The first that can be used; "direct" among them ends the list.
            for (char** each = proxies; *each && chosen.empty() && !direct; ++each) {
                direct = startsWithIgnoringAsciiCase(*each, "direct://");
                if (!direct)
                    chosen = curlProxy(*each);
            }
            px_proxy_factory_free_proxies(proxies);
        }
    }
    if (!chosen.empty())
        return chosen;
    // libproxy leaves all_proxy out; other programs take it for any scheme.
    std::string all = environment("all_proxy", "ALL_PROXY");
    if (all.empty() || exempted(host))
        return {};
    if (all.find("://") == std::string::npos)
        all = "http://" + all;
    return curlProxy(all);
}

bool isSocksProxy(std::string_view proxy)
{
    return startsWithIgnoringAsciiCase(proxy, "socks");
}

namespace {

std::mutex& proxyLoginMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, Credentials>& proxyLogins()
{
    static std::map<std::string, Credentials> logins;
    return logins;
}

} // namespace

void setProxyLogin(const std::string& proxyOrigin, const Credentials& credentials)
{
    std::lock_guard lock(proxyLoginMutex());
    proxyLogins()[proxyOrigin] = credentials;
}

std::optional<Credentials> proxyLogin(std::string_view proxy)
{
    const std::string origin = credentialOrigin(proxy);
    if (origin.empty())
        return std::nullopt;
    std::lock_guard lock(proxyLoginMutex());
    const auto it = proxyLogins().find(origin);
    if (it == proxyLogins().end())
        return std::nullopt;
    return it->second;
}

} // namespace nuvio
