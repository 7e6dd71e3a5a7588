// SPDX-License-Identifier: MIT
#include "core/net/credentials.h"

#include <QByteArray>
#include <algorithm>

namespace nuvio {

namespace {

std::string lower(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return result;
}

std::string percentDecoded(std::string_view text)
{
    return QByteArray::fromPercentEncoding(QByteArray(text.data(), static_cast<int>(text.size())))
        .toStdString();
}

// Where the authority starts and ends, after "scheme://"; npos when there is none.
struct Authority
{
    std::size_t begin = std::string_view::npos;
    std::size_t end = std::string_view::npos;
    std::string scheme;
};

Authority authorityOf(std::string_view url)
{
    Authority authority;
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos)
        return authority;
    authority.scheme = lower(url.substr(0, colon));
    if (authority.scheme != "http" && authority.scheme != "https")
        return authority;
    authority.begin = colon + 3;
    authority.end = std::min(url.find_first_of("/?#", authority.begin), url.size());
    return authority;
}

} // namespace

std::string credentialOrigin(std::string_view url)
{
    const Authority authority = authorityOf(url);
    if (authority.begin == std::string_view::npos)
        return {};
    std::string_view hostPort = url.substr(authority.begin, authority.end - authority.begin);
    // The last "@" ends the login: a password may hold one unescaped.
    if (const std::size_t at = hostPort.rfind('@'); at != std::string_view::npos)
        hostPort.remove_prefix(at + 1);
    std::string_view host = hostPort;
    std::string_view port;
    const std::size_t bracket = hostPort.rfind(']');
    const std::size_t colon = hostPort.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = hostPort.substr(0, colon);
        port = hostPort.substr(colon + 1);
    }
    if (host.empty())
        return {};
    if (port.empty())
        port = authority.scheme == "https" ? "443" : "80";
    return authority.scheme + "://" + lower(host) + ":" + std::string(port);
}

AddressLogin takeLoginFromAddress(std::string_view url)
{
    AddressLogin result{std::string(url), std::nullopt};
    const Authority authority = authorityOf(url);
    if (authority.begin == std::string_view::npos)
        return result;
    const std::string_view hostPort = url.substr(authority.begin, authority.end - authority.begin);
    const std::size_t at = hostPort.rfind('@');
    if (at == std::string_view::npos)
        return result;
    const std::string_view login = hostPort.substr(0, at);
    const std::size_t colon = login.find(':');
    Credentials credentials;
    credentials.user = percentDecoded(login.substr(0, colon));
    if (colon != std::string_view::npos)
        credentials.password = percentDecoded(login.substr(colon + 1));
    // Typed into the address, for that very scheme: the user chose plain http there.
    credentials.plainHttp = authority.scheme == "http";
    result.url = std::string(url.substr(0, authority.begin)) +
                 std::string(url.substr(authority.begin + at + 1));
    if (!credentials.user.empty() || !credentials.password.empty())
        result.login = std::move(credentials);
    return result;
}

void CredentialStore::set(const std::string& origin, const Credentials& credentials)
{
    std::lock_guard lock(m_mutex);
    m_byOrigin[origin] = credentials;
}

void CredentialStore::forget(const std::string& origin)
{
    std::lock_guard lock(m_mutex);
    m_byOrigin.erase(origin);
}

std::optional<Credentials> CredentialStore::find(const std::string& origin) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_byOrigin.find(origin);
    if (it == m_byOrigin.end())
        return std::nullopt;
    return it->second;
}

std::optional<Credentials> CredentialStore::forRequest(std::string_view url) const
{
    const std::string origin = credentialOrigin(url);
    if (origin.empty())
        return std::nullopt;
    auto credentials = find(origin);
    if (credentials && origin.starts_with("http:") && !credentials->plainHttp)
        return std::nullopt;
    return credentials;
}

} // namespace nuvio
