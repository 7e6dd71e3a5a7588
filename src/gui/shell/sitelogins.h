// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"
#include "core/news/feedfailures.h"

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
    // Adds an address's login as the user typed it into the address.
    void keep(const std::string& origin, const Credentials& credentials);

private:
    bool askFor(const std::string& origin, bool refused, QWidget* parent);
    Keyring* m_keyring = nullptr;
    CredentialStore m_store;
    std::set<std::string> m_read;
};

} // namespace nuvio
