// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

namespace nuvio {

// The texts the login dialog shows, in the interface language.
struct LoginTexts
{
    QString title; // with %1 for the site
    QString user;
    QString password;
    QString plainHttp;
    QString sessionOnly; // shown when no keyring keeps the login
    QString refused;     // shown when the site refused the last one
    QString ok;
    QString cancel;
};

// Asks a site's user name and password. Over plain http the login is sent only once the
// user ticks that they may be read on the way.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    LoginDialog(const std::string& origin, const LoginTexts& texts, bool keyringAvailable,
                bool refused, const Credentials& previous, QWidget* parent = nullptr);
    Credentials credentials() const;

private:
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_plainHttp = nullptr;
    bool m_http = false;
};

} // namespace nuvio
