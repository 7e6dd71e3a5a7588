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

// The engine keeps a second zygote from its start for helpers that run outside the page
// renderers' sandbox; here the only one is the audio service, which starts when the radio
// first plays. Without that zygote the engine starts the helper itself when it is needed,
// and the 10 MB or so the zygote holds for the whole session are saved. A user's
// QTWEBENGINE_CHROMIUM_FLAGS that name a zygote are honoured as they stand. Call before
// the application object exists.
void leaveOutUnusedZygote();

// Puts back the environment chooseSoftwareDrawing() and leaveOutUnusedZygote() changed,
// so that the programs we start (the user's web browser) draw as they always do. Call once
// the browser engine has started.
void restoreDrawingEnvironment();

} // namespace nuvio
