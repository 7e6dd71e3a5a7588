// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace nuvio {

// The origins (credentials.h) of the chosen feeds in the install folder, each once: whose
// logins a refresh may need, looked up before it starts. A list that cannot be read, or a
// line that names no address, adds none.
std::vector<std::string> chosenFeedOrigins(const std::string& installPath);

} // namespace nuvio
