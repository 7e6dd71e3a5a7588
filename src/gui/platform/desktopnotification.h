// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

namespace nuvio {

// A notification through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). A newer one replaces the one still shown, so they never pile up.
class DesktopNotification : public QObject
{
    Q_OBJECT
public:
    DesktopNotification(QString appName, QString iconName, QObject* parent = nullptr);

    // `body` is plain text, one line per line; `actionText` names the click.
    void show(const QString& summary, const QString& body, const QString& actionText);

signals:
    // The user clicked the notification.
    void clicked();
    // No notification service answered; the notification was not shown.
    void unavailable(const QString& summary, const QString& body);

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    QString m_appName;
    QString m_iconName;
    uint m_id = 0; // the one shown now, 0 for none
};

} // namespace nuvio
