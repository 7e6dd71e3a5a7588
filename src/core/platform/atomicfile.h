// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <string>
#include <string_view>

namespace nuvio {

// A failed replacement, with the system's error number for callers that word it their way.
class FileWriteError : public NuvioError
{
public:
    FileWriteError(const NuvioError& error, int errorNumber)
        : NuvioError(error.what()), m_errorNumber(errorNumber)
    {}
    int errorNumber() const { return m_errorNumber; }

private:
    int m_errorNumber;
};

// Writes a file's replacement piece by piece into a temporary file beside it; commit()
// puts it in place in one step, and anything short of that (a failure, a cancelled run,
// the writer going away) leaves the old file whole and no temporary file behind.
class AtomicFileWriter
{
public:
    // Creates the temporary file; FileWriteError "Cannot create file" when it cannot, and
    // when the target is write-protected (a rename would replace it regardless). A target
    // reached through a symbolic link is the link's target: the link stays. With
    // Links::Replace (files in a folder that only the program writes) a link is never
    // followed: it is replaced by the file.
    enum class Links { Follow, Replace };
    explicit AtomicFileWriter(const std::string& path, Links links = Links::Follow);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // FileWriteError "Stream write error" when the bytes cannot all be written.
    void write(std::string_view bytes);
    // Flushes the bytes to the disk (unless the file is a cache, whose loss in a crash
    // costs nothing but work) and renames the temporary file over the target.
    enum class Durability { Flushed, Unflushed };
    void commit(Durability durability = Durability::Flushed);
    void abandon();

private:
    std::string m_path;
    std::string m_temporary;
    int m_fd = -1;
};

// Replaces `path` with `bytes` so that a crash, a full disk or a failed write leaves
// either the old file or the new one, never a torn one: the bytes go to a temporary file
// beside it, are flushed to the disk, and the temporary file is renamed over the old one.
//
// Failures: "Cannot create file "%s". %s" when the temporary file cannot be made or the
// rename fails, "Stream write error" when the bytes cannot all be written and flushed.
// The temporary file is removed on every failure. Failures are FileWriteError.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Temporary files are the target's name, this suffix and six random characters.
inline constexpr const char* kTemporarySuffix = ".nuvio-tmp-";

// Removes temporary files that writes killed half-way left in `folder` and two levels of
// folders below; run at start-up. A file a live writer holds (each keeps its temporary
// file locked until it is renamed) stays: it may be another running copy's.
void removeLeftoverTemporaryFiles(const std::string& folder);

// Whether an existing file may not be written by us: no write bit at all (read-only, as
// the user meant it, even for root), or no permission to write it. A missing file is not.
bool isWriteProtected(const std::string& path);

// Test seam: when set, called before each write(2) of the temporary file with the number
// of bytes about to be written; returning a non-zero errno makes that write fail with it.
using WriteFaultHook = int (*)(std::size_t bytesAboutToWrite);
void setWriteFaultHook(WriteFaultHook hook);

} // namespace nuvio
