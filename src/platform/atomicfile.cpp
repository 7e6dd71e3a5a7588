#include "platform/atomicfile.h"

#include "platform/errors.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nuvio {

namespace {

std::atomic<WriteFaultHook> writeFaultHook{nullptr};

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        if (const auto hook = writeFaultHook.load()) {
            if (const int error = hook(bytes.size())) {
                errno = error;
                return false;
            }
        }
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

void setWriteFaultHook(WriteFaultHook hook)
{
    writeFaultHook.store(hook);
}

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw FileWriteError(errors::cannotCreateFile(path, errors::systemReason(error)), error);
    }

    // Keep the old file's permissions; a new file gets the usual 0666 less the umask.
    struct stat old
    {
    };
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }

    bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        throw FileWriteError(errors::streamWriteError(), error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        throw FileWriteError(errors::cannotCreateFile(path, errors::systemReason(error)), error);
    }
    // Make the rename itself durable; a failure here loses nothing already replaced.
    const int dirFd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace nuvio
