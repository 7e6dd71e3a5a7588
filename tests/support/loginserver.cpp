// SPDX-License-Identifier: MIT
#include "support/loginserver.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <map>

namespace nuvio::test {

namespace {

constexpr const char* kRealm = "feeds";
constexpr const char* kNonce = "5f1d3c0a9b";

std::string md5(const std::string& text)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

// The name="value" and name=value pairs after "Digest ".
std::map<std::string, std::string> digestFields(const std::string& header)
{
    std::map<std::string, std::string> fields;
    std::size_t at = header.find(' ');
    while (at != std::string::npos && at < header.size()) {
        at = header.find_first_not_of(" ,", at);
        if (at == std::string::npos)
            break;
        const std::size_t equals = header.find('=', at);
        if (equals == std::string::npos)
            break;
        const std::string name = header.substr(at, equals - at);
        std::string value;
        if (equals + 1 < header.size() && header[equals + 1] == '"') {
            const std::size_t close = header.find('"', equals + 2);
            value = header.substr(equals + 2, close - equals - 2);
            at = close == std::string::npos ? close : close + 1;
        } else {
            const std::size_t comma = header.find(',', equals);
            value = header.substr(equals + 1, comma - equals - 1);
            at = comma;
        }
        fields[name] = value;
    }
    return fields;
}

} // namespace

LoginGate::LoginGate(LoginScheme scheme, std::string user, std::string password)
    : m_scheme(scheme), m_user(std::move(user)), m_password(std::move(password))
{}

bool LoginGate::admitted(const httplib::Request& request) const
{
    const std::string header = request.get_header_value("Authorization");
    {
        std::lock_guard lock(m_mutex);
        if (!header.empty())
            m_authorizations.push_back(header);
    }
    if (m_scheme == LoginScheme::Basic) {
        const std::string expected =
            "Basic " +
            QByteArray::fromStdString(m_user + ":" + m_password).toBase64().toStdString();
        return header == expected;
    }
    if (header.rfind("Digest ", 0) != 0)
        return false;
    auto fields = digestFields(header);
    if (fields["username"] != m_user || fields["realm"] != kRealm || fields["nonce"] != kNonce ||
        fields["uri"] != request.target)
        return false;
    const std::string ha1 = md5(m_user + ":" + kRealm + ":" + m_password);
    const std::string ha2 = md5(request.method + ":" + fields["uri"]);
    const std::string expected = md5(ha1 + ":" + kNonce + ":" + fields["nc"] + ":" +
                                     fields["cnonce"] + ":" + fields["qop"] + ":" + ha2);
    return fields["qop"] == "auth" && fields["response"] == expected;
}

void LoginGate::challenge(httplib::Response& response) const
{
    response.status = 401;
    if (m_scheme == LoginScheme::Basic)
        response.set_header("WWW-Authenticate", std::string("Basic realm=\"") + kRealm + "\"");
    else
        response.set_header("WWW-Authenticate", std::string("Digest realm=\"") + kRealm +
                                                    "\", nonce=\"" + kNonce +
                                                    "\", qop=\"auth\", algorithm=MD5");
    response.set_content("login needed", "text/plain");
}

void LoginGate::serve(httplib::Server& server, const std::string& path, const std::string& body)
{
    server.Get(path, [this, body](const httplib::Request& request, httplib::Response& response) {
        if (admitted(request))
            response.set_content(body, "application/rss+xml");
        else
            challenge(response);
    });
}

std::vector<std::string> LoginGate::authorizations() const
{
    std::lock_guard lock(m_mutex);
    return m_authorizations;
}

} // namespace nuvio::test
