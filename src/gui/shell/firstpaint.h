// SPDX-License-Identifier: MIT
#pragma once

class QWebEngineView;

namespace nuvio {

// Says once on the log (category "nuvio.startup", off unless QT_LOGGING_RULES enables its
// info messages) when the view first paints after its first page has loaded: the
// start-up benchmark times the first page the user sees by it.
void announceFirstPaint(QWebEngineView* view);

} // namespace nuvio
