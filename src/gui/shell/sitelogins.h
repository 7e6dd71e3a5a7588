// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"
#include "core/news/feedfailures.h"
#include "core/news/feedlogins.h"

#include <QObject>
#include <set>
#include <string>
#include <vector>

class QWidget;

namespace nuvio {

class Keyring;

// The logins of the chosen feeds' sites: read from the keyring before a refresh, asked of
// the user for a feed that answered 401, and kept in the keyring (or, without one, for the
// session).
class SiteLogins : public QObject
{
    Q_OBJECT
public:
    explicit SiteLogins(QObject* parent = nullptr);

    // Reads what the keyring holds for the chosen feeds' sites not read yet, waiting (the
    // window's events handled) until it has answered.
    void lookUp(const std::string& installPath);
    const CredentialStore& store() const { return m_store; }
    // Asks the login of the first feed among `failures` that needs one; false when none
    // does. True when one was given (kept, and the next refresh uses it).
    bool ask(const std::vector<FeedFailure>& failures, QWidget* parent);
    // A feed that refused the login it was sent: asked again, for the first such feed.
    bool askRefused(const std::vector<FeedFailure>& failures, QWidget* parent);
    // A proxy that asked for a login (407) among `failures`: asked once a session, and what
    // is given goes to every request through it, the views' too. True when one was given.
    bool askProxy(const std::vector<FeedFailure>& failures, QWidget* parent);
    // Adds a site's login for this session and the keyring, waiting (the window's events
    // handled) until the keyring has answered: where it went.
    MovedLogin keep(const std::string& origin, const Credentials& credentials);

private:
    bool askFor(const std::string& origin, bool refused, QWidget* parent);
    void useForProxy(const std::string& origin, const Credentials& credentials);
    Keyring* m_keyring = nullptr;
    CredentialStore m_store;
    std::set<std::string> m_read;
    std::set<std::string> m_proxiesAsked;
};

// For the command line, with no window and perhaps no desktop session: a login kept in the
// keyring when a session bus is there and a keyring on it takes the login, else left out.
MovedLogin keepLoginWithoutWindow(const std::string& origin, const Credentials& credentials);

} // namespace nuvio
