// SPDX-License-Identifier: MIT
#include "gui/shell/webengineprocess.h"

#include "gui/platform/softwaredrawing.h"
#include "gui/platform/webproxy.h"
#include "gui/shell/browserpage.h"

#include <QCoreApplication>
#include <QLoggingCategory>

// The resources live in a static library, so the program has to bring them in itself.
static void initialiseResources()
{
    Q_INIT_RESOURCE(nuvio);
}

namespace nuvio {

void prepareWebEngineProcess()
{
    // The engine's start-up report (two dozen lines of GL details) is for developers; a
    // user's own QT_LOGGING_RULES still decides.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    leaveOutUnusedZygote();
    chooseSoftwareDrawing();
    // Screen readers get the pages' text only with this; the engine still builds its
    // accessibility tree only while an assistive technology is listening.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    registerBrowserSchemes();
    routeViewsLikeFeeds();
    initialiseResources();
}

} // namespace nuvio
