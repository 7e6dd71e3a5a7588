// SPDX-License-Identifier: MIT
#include "gui/platform/windowplacement.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace nuvio {

namespace {

// How long after showing a window its frame may still arrive; a window manager that
// draws none by then draws none at all.
constexpr int kFrameWaitMs = 5000;
constexpr int kFramePollMs = 20;

QRect rectOf(const WindowBounds& b)
{
    return {b.left, b.top, b.width, b.height};
}

WindowBounds boundsOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

QMargins frameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

const QScreen* screenFor(const WindowBounds& outer)
{
    if (const QScreen* screen = QGuiApplication::screenAt(rectOf(outer).center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

// Waits, from the window's first showing, for the frame; then gives the inside what the
// outer bounds leave it. It sees only events, never the user's own moves: once the frame
// is applied, or the wait is over, it is gone.
class FrameWatcher : public QObject
{
public:
    FrameWatcher(QWidget& window, const WindowBounds& outer)
        : QObject(&window), m_window(window), m_outer(outer)
    {
        m_poll.setInterval(kFramePollMs);
        connect(&m_poll, &QTimer::timeout, this, &FrameWatcher::check);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show && !m_poll.isActive()) {
            m_deadline.setRemainingTime(kFrameWaitMs);
            m_poll.start();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void check()
    {
        const QMargins frame = frameOf(m_window);
        if (frame.isNull()) {
            if (m_deadline.hasExpired())
                deleteLater();
            return;
        }
        m_poll.stop();
        m_window.resize(m_outer.width - frame.left() - frame.right(),
                        m_outer.height - frame.top() - frame.bottom());
        if (windowPositionsAreKnown())
            m_window.move(m_outer.left, m_outer.top);
        deleteLater();
    }

    QWidget& m_window;
    WindowBounds m_outer;
    QTimer m_poll;
    QDeadlineTimer m_deadline;
};

} // namespace

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const auto centred = [](int space, int size) {
        return static_cast<int>(std::nearbyint(static_cast<double>(space - size) / 2.0));
    };
    window.move(area.x() + centred(area.width(), window.width()),
                area.y() + centred(area.height(), window.height()));
}

QSize roomOnScreen(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // A window not shown yet has no frame: the frame of one that is stands in for it.
    QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (frame.isNull()) {
        for (const QWidget* other : QApplication::topLevelWidgets()) {
            if (other->isVisible())
                frame = frame.expandedTo(other->frameGeometry().size() - other->geometry().size());
        }
    }
    return (screen->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
}

bool windowPositionsAreKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

WindowBounds fitInside(const WindowBounds& outer, const WindowBounds& room)
{
    WindowBounds fitted = outer;
    fitted.width = std::min(outer.width, room.width);
    fitted.height = std::min(outer.height, room.height);
    fitted.left = std::clamp(outer.left, room.left, room.left + room.width - fitted.width);
    fitted.top = std::clamp(outer.top, room.top, room.top + room.height - fitted.height);
    return fitted;
}

void placeOuterBounds(QWidget& window, const WindowBounds& outer)
{
    WindowBounds fitted = outer;
    if (const QScreen* screen = screenFor(outer)) {
        fitted = fitInside(outer, boundsOf(screen->availableGeometry()));
        // Where the desktop places windows itself, only the size has to fit.
        if (!windowPositionsAreKnown()) {
            fitted.left = outer.left;
            fitted.top = outer.top;
        }
    }
    // move() places the frame's corner, resize() the inside; the frame is added later.
    if (windowPositionsAreKnown())
        window.move(fitted.left, fitted.top);
    window.resize(fitted.width, fitted.height);
    new FrameWatcher(window, fitted);
}

WindowBounds outerBoundsOf(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle(); handle && window.isVisible())
        return boundsOf(handle->frameGeometry());
    return boundsOf(window.frameGeometry());
}

} // namespace nuvio
