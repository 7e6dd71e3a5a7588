// SPDX-License-Identifier: MIT
#include "support/smalldisk.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace nuvio::test {

namespace {
bool privateNamespace()
{
    static const bool done = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return false;
        // Mounts made from here on stay in this process.
        return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return done;
}
} // namespace

SmallDisk::SmallDisk(std::size_t kilobytes) : m_kilobytes(kilobytes)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "nuvio-disk-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return;
    m_path = pattern;
    if (!privateNamespace())
        return;
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(m_path.c_str(), MNT_DETACH);
    if (!m_path.empty())
        ::rmdir(m_path.c_str());
}

void SmallDisk::fill()
{
    const int fd = ::open(file(".filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return;
    char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    char byte = 0;
    while (::write(fd, &byte, 1) > 0) {
    }
    ::close(fd);
}

bool SmallDisk::setReadOnly(bool readOnly)
{
    const std::string options = "size=" + std::to_string(m_kilobytes) + "k";
    return ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                   options.c_str()) == 0;
}

} // namespace nuvio::test
