// SPDX-License-Identifier: MIT
#include "gui/platform/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace nuvio {

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

bool windowPositionsAreKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace nuvio
