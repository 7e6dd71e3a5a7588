#pragma once

#include "platform/errors.h"

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

// Replaces `path` with `bytes` so that a crash, a full disk or a failed write leaves
// either the old file or the new one, never a torn one: the bytes go to a temporary file
// beside it, are flushed to the disk, and the temporary file is renamed over the old one.
//
// Failures: "Cannot create file "%s". %s" when the temporary file cannot be made or the
// rename fails, "Stream write error" when the bytes cannot all be written and flushed.
// The temporary file is removed on every failure. Failures are FileWriteError.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Test seam: when set, called before each write(2) of the temporary file with the number
// of bytes about to be written; returning a non-zero errno makes that write fail with it.
using WriteFaultHook = int (*)(std::size_t bytesAboutToWrite);
void setWriteFaultHook(WriteFaultHook hook);

} // namespace nuvio
