// SPDX-License-Identifier: MIT
#include "core/platform/installfolder.h"

#include <cstdlib>

namespace nuvio {

std::string realPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool isInsideFolder(const std::string& folder, const std::string& path)
{
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            (folder == "/" || path[folder.size()] == '/'));
}

std::string fileInsideInstallFolder(const std::string& installPath, const std::string& file)
{
    const std::string root = realPath(installPath.empty() ? "/" : installPath);
    std::string real = realPath(file);
    if (root.empty() || real.empty() || real == root || !isInsideFolder(root, real))
        return {};
    return real;
}

} // namespace nuvio
