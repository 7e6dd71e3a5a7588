// SPDX-License-Identifier: MIT
#include "gui/platform/softwaredrawing.h"

#include <QByteArray>
#include <QQuickWindow>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace nuvio {

namespace {

struct SavedVariable
{
    QByteArray name;
    std::optional<QByteArray> value;
};

std::vector<SavedVariable>& savedVariables()
{
    static std::vector<SavedVariable> saved;
    return saved;
}

void setForTheEngine(const char* name, const QByteArray& value)
{
    // The first change of a variable keeps what it was before we touched it.
    bool alreadySaved = false;
    for (const SavedVariable& saved : savedVariables())
        alreadySaved = alreadySaved || saved.name == name;
    if (!alreadySaved) {
        SavedVariable saved{name, std::nullopt};
        if (qEnvironmentVariableIsSet(name))
            saved.value = qgetenv(name);
        savedVariables().push_back(std::move(saved));
    }
    qputenv(name, value);
}

QtMessageHandler previousHandler = nullptr;

// With GL switched off on purpose, Qt and the engine each say once that there is none.
void withoutGlNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        (message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL")) ||
         message.startsWith(QLatin1String("No suitable graphics backend found"))))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void chooseSoftwareDrawing()
{
    if (qEnvironmentVariableIntValue("NUVIO_GPU") == 1)
        return;
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("-gpu"))
        setForTheEngine("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
    // The engine makes a GL context at start whether it draws with it or not.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        setForTheEngine("QT_XCB_GL_INTEGRATION", "none");
        previousHandler = qInstallMessageHandler(withoutGlNotices);
    }
}

void leaveOutUnusedZygote()
{
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("zygote"))
        setForTheEngine("QTWEBENGINE_CHROMIUM_FLAGS",
                        (flags + " --no-unsandboxed-zygote").trimmed());
}

void restoreDrawingEnvironment()
{
    for (const SavedVariable& saved : savedVariables()) {
        if (saved.value)
            qputenv(saved.name.constData(), *saved.value);
        else
            qunsetenv(saved.name.constData());
    }
    savedVariables().clear();
}

} // namespace nuvio
