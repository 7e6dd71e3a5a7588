// SPDX-License-Identifier: MIT
#include "core/platform/userfolders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nuvio {

std::string userCacheFolder()
{
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.cache";
    return {};
}

bool isOwnFolder(const std::string& path, bool closed)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & (closed ? 0077 : 0022)) == 0;
}

std::string privateFolder(const std::string& path)
{
    if (path.empty() || (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST))
        return {};
    // Opened without following a link, so that the folder checked is the folder closed.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st
    {
    };
    const bool ours = ::fstat(fd, &st) == 0 && st.st_uid == ::getuid() &&
                      ((st.st_mode & 0077) == 0 || ::fchmod(fd, 0700) == 0);
    ::close(fd);
    return ours ? path : std::string();
}

std::string privateCacheFolder()
{
    const std::string cache = userCacheFolder();
    if (cache.empty())
        return {};
    // The cache folder itself is the desktop's; made only where it is missing, and then
    // as the XDG rules ask (0700), with any missing folders above it.
    for (std::size_t slash = cache.find('/', 1);; slash = cache.find('/', slash + 1)) {
        ::mkdir(cache.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            break;
    }
    return privateFolder(cache + "/nuvio");
}

} // namespace nuvio
