// SPDX-License-Identifier: MIT
#include "gui/shell/screenshot.h"

#include "gui/shell/tform1.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace nuvio {

void scheduleScreenshotIfAsked(TForm1& form)
{
    const QString path = qEnvironmentVariable("NUVIO_SCREENSHOT");
    if (path.isEmpty())
        return;
    bool ok = false;
    int delay = qEnvironmentVariableIntValue("NUVIO_SCREENSHOT_DELAY_MS", &ok);
    if (!ok || delay < 0)
        delay = 5000;
    QTimer::singleShot(delay, &form, [&form, path] {
        // The screen's own pixels show the browser views as they were drawn.
        QPixmap picture;
        if (QScreen* screen = form.screen())
            picture =
                screen->grabWindow(0, form.frameGeometry().x(), form.frameGeometry().y(),
                                   form.frameGeometry().width(), form.frameGeometry().height());
        if (picture.isNull())
            picture = form.grab();
        if (picture.save(path))
            std::printf("nuvio: screenshot saved to %s\n", path.toLocal8Bit().constData());
        else
            std::fprintf(stderr, "nuvio: could not save the screenshot to %s\n",
                         path.toLocal8Bit().constData());
        std::fflush(stdout);
        form.Afslut1Click();
    });
}

} // namespace nuvio
