// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// Checks that a file is a playable PCM wave file before the sound player takes it, so that
// a missing or broken alert sound is reported when it is opened, not silently later.
// Throws NuvioError with the sound device's wording.
void checkWaveFile(const std::string& path);

} // namespace nuvio
