// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

class TForm1;

// With NUVIO_SCREENSHOT set to a file name, saves a picture of the main window after
// NUVIO_SCREENSHOT_DELAY_MS milliseconds (5000 by default), prints where, and ends the
// program like "Afslut". Used by the headless run.
void scheduleScreenshotIfAsked(TForm1& form);

} // namespace nuvio
