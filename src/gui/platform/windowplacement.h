// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/appsettings.h"

#include <QSize>

class QWidget;

namespace nuvio {

// Puts a window in the middle of the screen it is on (halves round to the even
// neighbour), whatever window it belongs to; it then keeps that place when shown.
void centreOnScreen(QWidget& window);

// The largest inside size the window may take on its screen: the screen's free room (beside
// panels) less the window manager's frame, where that is known yet.
QSize roomOnScreen(const QWidget& window);

// Whether the windowing system tells and honours where a window is. Under Wayland it does
// neither: a position read there is meaningless and one set there is ignored.
bool windowPositionsAreKnown();

// `outer` moved and cut down so that it lies wholly inside `room`; a rectangle already
// inside stays exactly as it is.
WindowBounds fitInside(const WindowBounds& outer, const WindowBounds& room);

// Gives a top-level window these outer bounds, frame included, kept inside the free room
// of the screen they lie on. A window manager's frame is known only some time after the
// window is shown: the inside is then made smaller by it, so that the outer bounds are
// those asked for, and what is saved at the end is what was given at the start.
void placeOuterBounds(QWidget& window, const WindowBounds& outer);

// The window's outer bounds, frame included, as the window manager has them now.
WindowBounds outerBoundsOf(const QWidget& window);

} // namespace nuvio
