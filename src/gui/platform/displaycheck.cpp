// SPDX-License-Identifier: MIT
#include "gui/platform/displaycheck.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace nuvio {

namespace {

QtMessageHandler previousHandler = nullptr;
QString firstReason; // the window system's own first word on what went wrong

void endWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool fromWindowSystem =
        QByteArray(context.category ? context.category : "").startsWith("qt.qpa");
    if (type == QtFatalMsg) {
        const QString reason =
            firstReason.isEmpty() ? QStringLiteral("the display cannot be reached") : firstReason;
        std::fprintf(stderr, "nuvio: no usable display: %s\n", qPrintable(reason));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (fromWindowSystem) {
        if (firstReason.isEmpty() && type != QtDebugMsg && type != QtInfoMsg)
            firstReason = text;
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

bool needsDisplay(const QByteArray& platform)
{
    const QByteArray name = platform.trimmed();
    return name.isEmpty() || name == "xcb" || name.startsWith("wayland");
}

} // namespace

std::optional<std::string> missingDisplay()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    // A list of platforms is tried in order; one that draws without a display is enough.
    const QList<QByteArray> platforms = qgetenv("QT_QPA_PLATFORM").split(';');
    for (const QByteArray& platform : platforms) {
        if (!needsDisplay(platform))
            return std::nullopt;
    }
    return std::string("no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
}

DisplayFailureGuard::DisplayFailureGuard()
{
    firstReason.clear();
    previousHandler = qInstallMessageHandler(endWithoutDisplay);
}

DisplayFailureGuard::~DisplayFailureGuard()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

} // namespace nuvio
