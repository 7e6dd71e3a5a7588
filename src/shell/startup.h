#pragma once

namespace nuvio {

// The program: one copy per desktop, the three windows, the start view, the message loop,
// and the settings saved at the end. Returns the exit code.
int runNuvio(int argc, char** argv);

} // namespace nuvio
