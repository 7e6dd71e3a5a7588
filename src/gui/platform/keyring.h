// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace nuvio {

// The sites' logins in the desktop's Secret Service (or KWallet), never in a file of ours:
// QtKeychain with its plain-file fallback off. Its jobs answer later, on this thread.
class Keyring : public QObject
{
    Q_OBJECT
public:
    explicit Keyring(QObject* parent = nullptr);

    // Reads the logins of `origins` into `store`, and calls `done` once all have answered.
    void load(const std::vector<std::string>& origins, CredentialStore& store,
              std::function<void()> done);
    // Keeps a login; `done(false)` when no keyring took it.
    void save(const std::string& origin, const Credentials& credentials,
              std::function<void(bool kept)> done);
    // False once the keyring was found missing: logins then last for the session only.
    bool available() const { return m_available; }

private:
    bool m_available = true;
};

} // namespace nuvio
