// SPDX-License-Identifier: MIT
#include "gui/platform/application.h"

#include "core/platform/codepage.h"
#include "core/platform/errors.h"
#include "gui/platform/messagebox.h"

#include <QWidget>
#include <cstdio>

namespace nuvio {

namespace {
QString& applicationTitle()
{
    static QString title = QStringLiteral("nuvio");
    return title;
}
} // namespace

NuvioApplication::NuvioApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool NuvioApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showException(QStringLiteral("Unknown error"));
    }
    return false;
}

void NuvioApplication::setTitle(const QString& title)
{
    applicationTitle() = title;
}

QString NuvioApplication::title()
{
    return applicationTitle();
}

void NuvioApplication::showException(const std::exception& error)
{
    // Our own messages are Windows-1252 bytes; others' are plain text too.
    showException(fromCp1252(error.what()));
}

void NuvioApplication::showException(const QString& message)
{
    QString text = message;
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    // Also where a terminal or the session's log sees it.
    std::fprintf(stderr, "%s: %s\n", applicationTitle().toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    showMessage(applicationTitle(), text, MessageIcon::Error);
}

void NuvioApplication::closeModalWindows(const QWidget* except)
{
    dismissMessageBoxes();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != except && window->isVisible() && window->isModal())
            window->close();
    }
}

} // namespace nuvio
