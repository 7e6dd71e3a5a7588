// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>
#include <mutex>
#include <string>
#include <vector>

namespace nuvio::test {

enum class LoginScheme { Basic, Digest };

// Serves `body` at `path` only to a request that logs in as `user` with `password`, by the
// scheme given; every other request gets 401 and the scheme's challenge. Remembers every
// Authorization header it was sent, to show where a password went.
class LoginGate
{
public:
    LoginGate(LoginScheme scheme, std::string user, std::string password);
    void serve(httplib::Server& server, const std::string& path, const std::string& body);
    std::vector<std::string> authorizations() const;
    // A request that logged in.
    bool admitted(const httplib::Request& request) const;
    void challenge(httplib::Response& response) const;

private:
    LoginScheme m_scheme;
    std::string m_user;
    std::string m_password;
    mutable std::mutex m_mutex;
    mutable std::vector<std::string> m_authorizations;
};

} // namespace nuvio::test
