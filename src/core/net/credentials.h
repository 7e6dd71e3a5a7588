// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace nuvio {

// A site's login, as the user gave it.
struct Credentials
{
    std::string user;
    std::string password;
    // The user agreed to send them over plain http, where anyone on the way can read them.
    bool plainHttp = false;
};

// Whom a login belongs to: "scheme://host:port" of an http or https address, in lower case
// with the port always written, no login and no path; empty for any other address.
std::string credentialOrigin(std::string_view url);

// An address with its `user:password@` taken out, and what was taken (percent-decoded).
struct AddressLogin
{
    std::string url;
    std::optional<Credentials> login;
};
AddressLogin takeLoginFromAddress(std::string_view url);

// The logins known in this session, by origin. Read by the refresh while the window's
// thread fills it, so guarded.
class CredentialStore
{
public:
    void set(const std::string& origin, const Credentials& credentials);
    void forget(const std::string& origin);
    std::optional<Credentials> find(const std::string& origin) const;
    // What may go with a request to `url`: the login of its origin, and over plain http
    // only what the user agreed to send there.
    std::optional<Credentials> forRequest(std::string_view url) const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, Credentials> m_byOrigin;
};

} // namespace nuvio
