// SPDX-License-Identifier: MIT
#include "gui/platform/desktopnotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace nuvio {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

// Services that understand markup in the body read "&" and "<" as markup.
QString bodyText(const QString& plain)
{
    QString text = plain;
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return text;
}
} // namespace

DesktopNotification::DesktopNotification(QString appName, QString iconName, QObject* parent)
    : QObject(parent), m_appName(std::move(appName)), m_iconName(std::move(iconName))
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
}

void DesktopNotification::show(const QString& summary, const QString& body,
                               const QString& actionText)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        emit unavailable(summary, body);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), m_appName);
    call << m_appName << m_id << m_iconName << summary << bodyText(body)
         << QStringList{kDefaultAction, actionText} << hints << -1;
    // A service that hangs must not hold up the window: the answer comes when it comes.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, summary, body] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            emit unavailable(summary, body);
            return;
        }
        m_id = reply.value();
    });
}

void DesktopNotification::onActionInvoked(uint id, const QString& action)
{
    if (id != 0 && id == m_id && action == kDefaultAction)
        emit clicked();
}

void DesktopNotification::onNotificationClosed(uint id, uint /*reason*/)
{
    if (id == m_id)
        m_id = 0;
}

} // namespace nuvio
