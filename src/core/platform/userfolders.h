// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else
// $HOME/.cache; empty when neither is known.
std::string userCacheFolder();

} // namespace nuvio
