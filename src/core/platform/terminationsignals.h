// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace nuvio {

// Turns SIGTERM and SIGINT into a Qt signal on the thread that owns this object, so that
// the desktop session ending the program saves the settings like "Afslut" does.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nuvio
