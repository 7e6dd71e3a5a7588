// SPDX-License-Identifier: MIT
#include "gui/shell/firstpaint.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QWebEngineView>

namespace nuvio {

namespace {

Q_LOGGING_CATEGORY(lcStartup, "nuvio.startup", QtWarningMsg)

class FirstPaintWatch : public QObject
{
public:
    explicit FirstPaintWatch(QWebEngineView* view) : QObject(view), m_view(view)
    {
        connect(view, &QWebEngineView::loadFinished, this, &FirstPaintWatch::pageLoaded);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            qCInfo(lcStartup, "first page painted: %s",
                   qPrintable(m_view->url().toDisplayString()));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    void pageLoaded(bool ok)
    {
        // The engine draws the page into the view's child that takes its focus.
        QWidget* surface = m_view->focusProxy();
        if (!ok || !surface || m_watching)
            return;
        m_watching = true;
        surface->installEventFilter(this);
        surface->update();
    }

    QPointer<QWebEngineView> m_view;
    bool m_watching = false;
};

} // namespace

void announceFirstPaint(QWebEngineView* view)
{
    if (lcStartup().isInfoEnabled())
        new FirstPaintWatch(view);
}

} // namespace nuvio
