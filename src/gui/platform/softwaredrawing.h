// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

// Headlines and a radio page need no graphics card. Drawn in software, the program
// loads no GL driver (on X11 about 50 MB in the program's own process, Mesa's LLVM
// included) and spends half the CPU time on a refresh. NUVIO_GPU=1 keeps the engine's
// usual GPU drawing; a user's own QT_QUICK_BACKEND, QT_XCB_GL_INTEGRATION or
// QTWEBENGINE_CHROMIUM_FLAGS are honoured as they stand.
//
// Call before the application object exists.
void chooseSoftwareDrawing();

// Puts back the environment chooseSoftwareDrawing() changed, so that the programs we
// start (the user's web browser) draw as they always do. Call once the browser engine
// has started.
void restoreDrawingEnvironment();

} // namespace nuvio
