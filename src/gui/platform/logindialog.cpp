// SPDX-License-Identifier: MIT
#include "gui/platform/logindialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nuvio {

LoginDialog::LoginDialog(const std::string& origin, const LoginTexts& texts, bool keyringAvailable,
                         bool refused, const Credentials& previous, QWidget* parent)
    : QDialog(parent), m_http(origin.starts_with("http:"))
{
    setObjectName(QStringLiteral("LoginDialog"));
    const QString site = QString::fromStdString(origin);
    setWindowTitle(texts.title.arg(site));
    auto* layout = new QVBoxLayout(this);
    const auto note = [&](const QString& text, const char* name) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    };
    note(site, "LoginSite");
    if (refused)
        note(texts.refused, "LoginRefused");
    auto* form = new QFormLayout;
    m_user = new QLineEdit(QString::fromStdString(previous.user), this);
    m_user->setObjectName(QStringLiteral("LoginUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("LoginPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(texts.user, m_user);
    form->addRow(texts.password, m_password);
    layout->addLayout(form);
    m_plainHttp = new QCheckBox(texts.plainHttp, this);
    m_plainHttp->setObjectName(QStringLiteral("LoginPlainHttp"));
    m_plainHttp->setChecked(previous.plainHttp);
    m_plainHttp->setVisible(m_http);
    layout->addWidget(m_plainHttp);
    if (!keyringAvailable)
        note(texts.sessionOnly, "LoginSessionOnly");
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(texts.ok, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("LoginOk"));
    ok->setDefault(true);
    buttons->addButton(texts.cancel, QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("LoginCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    (previous.user.empty() ? m_user : m_password)->setFocus();
}

Credentials LoginDialog::credentials() const
{
    return {m_user->text().toStdString(), m_password->text().toStdString(),
            m_http && m_plainHttp->isChecked()};
}

} // namespace nuvio
