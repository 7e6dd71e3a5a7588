// SPDX-License-Identifier: MIT
#include "gui/shell/settingswriter.h"

#include "gui/platform/application.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>
#include <cstdlib>

namespace nuvio {

namespace {
// The one writer of the running window, for the exit hook; none once the window is gone.
SettingsWriter* g_current = nullptr;
std::function<void()>* g_saveAtLoss = nullptr;
} // namespace

SettingsWriter::SettingsWriter(QWidget* window, std::function<void()> save,
                               std::function<void()> saveAtLoss)
    : QObject(window), m_window(window), m_save(std::move(save)),
      m_saveAtLoss(std::move(saveAtLoss))
{
    m_rested.setSingleShot(true);
    m_rested.setInterval(kRestMs);
    connect(&m_rested, &QTimer::timeout, this, reportingFailures([this] { saveNow(); }));
    window->installEventFilter(this);
    // A logout: the session manager asks first for the data, then for the state; either
    // may be the last word the program hears before it is ended.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this,
                reportingFailures([this] { saveNow(); }));
        connect(app, &QGuiApplication::saveStateRequest, this,
                reportingFailures([this] { saveNow(); }));
    }
    static const bool hooked = std::atexit(&SettingsWriter::saveAtExit) == 0;
    (void)hooked;
    g_current = this;
    g_saveAtLoss = &m_saveAtLoss;
}

SettingsWriter::~SettingsWriter()
{
    if (g_current == this) {
        g_current = nullptr;
        g_saveAtLoss = nullptr;
    }
}

void SettingsWriter::saveNow()
{
    m_rested.stop();
    if (m_save)
        m_save();
}

bool SettingsWriter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        m_window->isVisible())
        m_rested.start();
    return QObject::eventFilter(watched, event);
}

void SettingsWriter::saveAtExit()
{
    // Reached only when the program ends while the window still exists: its connection to
    // the display broke and the window system's client ended the program.
    if (!g_current || !g_saveAtLoss || !*g_saveAtLoss)
        return;
    try {
        (*g_saveAtLoss)();
    } catch (...) {
        // Nobody is left to tell.
    }
}

} // namespace nuvio
