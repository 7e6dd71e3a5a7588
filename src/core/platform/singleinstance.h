// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <memory>
#include <string>

namespace nuvio {

// One running copy per user and display. The copy that starts first listens on a local
// socket named after the main window's class and title; a later copy finds it there.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The socket's path: in a folder only this user can reach ($XDG_RUNTIME_DIR, else
    // ~/.cache/nuvio), named after the class, title, user and display. Empty when there
    // is no such folder (the program then does not start: see runNuvio).
    static QString serverName(const std::string& windowClass, const std::string& title);
    static QString socketFolder();

    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a running copy of this user answers on the name.
    bool findRunningCopy(int timeoutMs = 1000);
    // Tells the copy found by findRunningCopy() to come to the front.
    void askRunningCopyToComeForward(int timeoutMs = 1000);

    // Starts answering later copies. A socket left behind by a copy that died is removed
    // first; false when the name cannot be taken, or another copy holds it (a lock beside
    // the socket, held while the program runs: Qt's listen takes a name from a live
    // server, and two copies started at the same moment would both look, find nobody and
    // listen).
    bool listen();
    // After a failed listen(): another copy of this user holds the name's lock, also one
    // started with another runtime folder, which listens where this one cannot look.
    bool heldByAnotherCopy() const { return m_heldByAnotherCopy; }

signals:
    void comeForwardRequested();

private:
    void onNewConnection();
    int takeLock(const QString& path); // the descriptor, or -1

    QString m_name;
    std::unique_ptr<QLocalSocket> m_client;
    std::unique_ptr<QLocalServer> m_server;
    int m_lock = -1;
    int m_cacheLock = -1;
    bool m_heldByAnotherCopy = false;
};

} // namespace nuvio
