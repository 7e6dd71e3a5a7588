// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

// Prepares the process for the browser views: the engine's logging, drawing and
// accessibility, its route to the web, our URL schemes and the program's resources. Call before the
// application object exists.
void prepareWebEngineProcess();

} // namespace nuvio
