// SPDX-License-Identifier: MIT
#include "platform/application.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/softwaredrawing.h"
#include "shell/browserpage.h"

#include <QLoggingCategory>
#include <QWidget>
#include <cstdio>

// The resources live in a static library, so the program has to bring them in itself.
static void initialiseResources()
{
    Q_INIT_RESOURCE(nuvio);
}

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

void prepareWebEngineProcess()
{
    // The engine's start-up report (two dozen lines of GL details) is for developers; a
    // user's own QT_LOGGING_RULES still decides.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    chooseSoftwareDrawing();
    // Screen readers get the pages' text only with this; the engine still builds its
    // accessibility tree only while an assistive technology is listening.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    registerBrowserSchemes();
    initialiseResources();
}

} // namespace nuvio
