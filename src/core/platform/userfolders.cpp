// SPDX-License-Identifier: MIT
#include "core/platform/userfolders.h"

#include <cstdlib>

namespace nuvio {

std::string userCacheFolder()
{
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.cache";
    return {};
}

} // namespace nuvio
