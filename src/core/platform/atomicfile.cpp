// SPDX-License-Identifier: MIT
#include "core/platform/atomicfile.h"

#include "core/platform/errors.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
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

bool isWriteProtected(const std::string& path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

namespace {

// Where a write to `path` really goes: through any symbolic links to the file they name.
std::string writeTarget(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string target(resolved);
        std::free(resolved);
        return target;
    }
    // A link to a file that does not exist yet: create the file it names.
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0)
        return path;
    link.resize(static_cast<std::size_t>(n));
    return link.front() == '/' ? link : directoryOf(path) + "/" + link;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path, Links links)
    : m_path(links == Links::Follow ? writeTarget(path) : path),
      m_temporary(m_path + kTemporarySuffix + "XXXXXX")
{
    struct stat old
    {
    };
    // What is replaced: the file, or with Links::Replace whatever stands at the name.
    const bool exists = links == Links::Follow ? ::stat(m_path.c_str(), &old) == 0
                                               : ::lstat(m_path.c_str(), &old) == 0;
    if (exists && (links == Links::Follow || S_ISREG(old.st_mode)) && isWriteProtected(m_path))
        throw FileWriteError(errors::cannotCreateFile(m_path, errors::systemReason(EACCES)),
                             EACCES);
    // Locked until it is renamed or removed, so that another copy's start-up cleanup
    // knows it is being written. A cleanup may take a file between its creation and the
    // lock: then it is made again.
    const std::string pattern = m_temporary;
    for (int attempt = 0;; ++attempt) {
        m_temporary = pattern;
        m_fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
        if (m_fd < 0) {
            const int error = errno;
            throw FileWriteError(errors::cannotCreateFile(m_path, errors::systemReason(error)),
                                 error);
        }
        // A file system without locks (some FUSE ones) leaves the file unlocked; a cleanup
        // cannot lock it either, and leaves it.
        const bool settled = ::flock(m_fd, LOCK_EX) == 0 || errno != EINTR;
        struct stat made
        {
        };
        if (settled && ::fstat(m_fd, &made) == 0 && made.st_nlink > 0)
            break;
        if (!settled)
            ::unlink(m_temporary.c_str());
        ::close(m_fd);
        m_fd = -1;
        if (attempt == 3)
            throw FileWriteError(errors::cannotCreateFile(m_path, errors::systemReason(EAGAIN)),
                                 EAGAIN);
    }
    // Keep the old file's permissions; a new file gets the usual 0666 less the umask.
    if (exists && S_ISREG(old.st_mode)) {
        ::fchmod(m_fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd, 0666 & ~mask);
    }
}

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
}

void AtomicFileWriter::abandon()
{
    if (m_fd < 0)
        return;
    ::unlink(m_temporary.c_str());
    ::close(m_fd);
    m_fd = -1;
}

void AtomicFileWriter::write(std::string_view bytes)
{
    if (m_fd < 0)
        throw FileWriteError(errors::streamWriteError(), EBADF);
    if (!writeAll(m_fd, bytes)) {
        const int error = errno;
        abandon();
        throw FileWriteError(errors::streamWriteError(), error);
    }
}

void AtomicFileWriter::commit(Durability durability)
{
    if (m_fd < 0)
        throw FileWriteError(errors::streamWriteError(), EBADF);
    const int fd = m_fd;
    m_fd = -1;
    // Flushed, the file is renamed while still open and locked, so that a cleanup never
    // takes it half-way; closing it then can fail no write. Unflushed (a cache), closing is
    // the last chance to hear of a failed write (NFS); a duplicate of the descriptor keeps
    // the lock, which belongs to the open file, until the rename is done. Closed on exec
    // like the first: a link opened in the browser meanwhile would keep the file open.
    const int held = durability == Durability::Unflushed ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : fd;
    const auto release = [held] {
        if (held >= 0)
            ::close(held);
    };
    int error = 0;
    if (durability == Durability::Flushed ? ::fsync(fd) != 0 : ::close(fd) != 0) {
        error = errno;
        ::unlink(m_temporary.c_str());
        release();
        throw FileWriteError(errors::streamWriteError(), error);
    }
    if (::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        error = errno;
        ::unlink(m_temporary.c_str());
        release();
        throw FileWriteError(errors::cannotCreateFile(m_path, errors::systemReason(error)), error);
    }
    release();
    if (durability == Durability::Unflushed)
        return;
    // Make the rename itself durable; a failure here loses nothing already replaced.
    const int dirFd = ::open(directoryOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

namespace {

// Removes a temporary file that no writer holds: another copy of the program (on another
// display, with the same install folder) may be writing it right now.
void removeUnlessWritten(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(path.c_str()); // still locked by us: no writer can have taken it since
    ::close(fd);
}

} // namespace

void removeLeftoverTemporaryFiles(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        // The program's own folders are shallow; a folder set to the home directory must
        // not make every start walk through all of it.
        if (it.depth() >= 2)
            it.disable_recursion_pending();
        const std::string name = it->path().filename().string();
        const auto at = name.rfind(kTemporarySuffix);
        // Ours: the suffix and six characters of mkstemp's, nothing after.
        if (at != std::string::npos && at > 0 &&
            name.size() == at + std::string_view(kTemporarySuffix).size() + 6 &&
            it->is_regular_file(error) && !it->is_symlink(error))
            removeUnlessWritten(it->path().string());
    }
}

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}

} // namespace nuvio
