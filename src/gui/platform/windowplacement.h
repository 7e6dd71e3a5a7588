// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace nuvio {

// Puts a window in the middle of the screen it is on (halves round to the even
// neighbour), whatever window it belongs to; it then keeps that place when shown.
void centreOnScreen(QWidget& window);

// Whether the windowing system tells and honours where a window is. Under Wayland it does
// neither: a position read there is meaningless and one set there is ignored.
bool windowPositionsAreKnown();

} // namespace nuvio
