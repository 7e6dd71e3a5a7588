// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace nuvio {

// Writes the settings when they change rather than only at the exit, so that a session
// that ends without one (the desktop logged out, the display gone) keeps them: at once
// when asked (after the settings dialog, a new language), a second after the window was
// last moved or resized, when the session manager asks the program to save its state, and
// when the program ends by exit() without its windows, as the window system's client does
// when its connection to the display breaks.
class SettingsWriter : public QObject
{
    Q_OBJECT
public:
    // `save` writes the settings now; `saveAtLoss` writes them from what is in memory
    // alone, asking nothing of the window system (which may be gone).
    SettingsWriter(QWidget* window, std::function<void()> save, std::function<void()> saveAtLoss);
    ~SettingsWriter() override;

    void saveNow();
    bool moveSavePending() const { return m_rested.isActive(); }

    static constexpr int kRestMs = 1000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void saveAtExit();
    QWidget* m_window;
    std::function<void()> m_save;
    std::function<void()> m_saveAtLoss;
    QTimer m_rested;
};

} // namespace nuvio
