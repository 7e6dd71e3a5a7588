// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"

#include "core/platform/asciitext.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace nuvio {
namespace errors {

NuvioError fileNotFound()
{
    return NuvioError("File not found");
}
NuvioError fileAccessDenied()
{
    return NuvioError("File access denied");
}
NuvioError diskFull()
{
    return NuvioError("Disk full");
}
NuvioError ioError(int code)
{
    return NuvioError("I/O error " + std::to_string(code));
}

NuvioError fromErrno(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return fileNotFound();
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return fileAccessDenied();
    case ENOSPC:
    case EDQUOT:
        return diskFull();
    default:
        return ioError(errorNumber);
    }
}

NuvioError cannotOpenFile(const std::string& path, const std::string& reason)
{
    return NuvioError("Cannot open file \"" + path + "\". " + reason);
}

NuvioError cannotCreateFile(const std::string& path, const std::string& reason)
{
    return NuvioError("Cannot create file \"" + path + "\". " + reason);
}

FileError cannotOpenFile(const std::string& path, int errorNumber)
{
    return FileError(cannotOpenFile(path, systemReason(errorNumber)).what(), path, errorNumber,
                     false);
}

FileError cannotCreateFile(const std::string& path, int errorNumber)
{
    return FileError(cannotCreateFile(path, systemReason(errorNumber)).what(), path, errorNumber,
                     true);
}

NuvioError streamWriteError()
{
    return NuvioError("Stream write error");
}

NuvioError invalidInteger(const std::string& text)
{
    return NuvioError("'" + text + "' is not a valid integer value");
}

NuvioError listIndexOutOfBounds(long long index)
{
    return NuvioError("List index out of bounds (" + std::to_string(index) + ")");
}

NuvioError invalidDataType(const std::string& valueName)
{
    return NuvioError("Invalid data type for '" + valueName + "'");
}

NuvioError failedToSetData(const std::string& valueName)
{
    return NuvioError("Failed to set data for '" + valueName + "'");
}

std::string systemReason(int errorNumber)
{
    // strerror may share one buffer between threads; the download workers report errors.
    char buffer[256] = {};
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

} // namespace errors

bool tryStrToInt(const std::string& text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    // Hex text may fill all 32 bits (as "$FFFFFFFF" does); decimal text must fit the sign.
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
    for (; i < text.size(); ++i) {
        const int d = hexDigitValue(text[i]);
        if (d < 0 || d >= base)
            return false;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
        if (magnitude > limit)
            return false;
    }
    if (base == 16) {
        const auto bits = static_cast<std::uint32_t>(magnitude);
        const auto signedValue = static_cast<std::int32_t>(bits);
        value = negative ? static_cast<std::int32_t>(0u - bits) : signedValue;
        return true;
    }
    if (!negative && magnitude > 0x7FFFFFFFull)
        return false;
    const auto wide =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(wide);
    return true;
}

std::int32_t strToInt(const std::string& text)
{
    std::int32_t value = 0;
    if (!tryStrToInt(text, value))
        throw errors::invalidInteger(text);
    return value;
}

namespace {

bool tryParseNumber(const std::string& text, double& number)
{
    if (text.empty() || text.find_first_not_of(" +-.0123456789eE") != std::string::npos)
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    number = std::strtod(begin, &end);
    return end != begin && *end == '\0';
}

} // namespace

bool tryStrToBool(const std::string& text, bool& value)
{
    double number = 0;
    if (tryParseNumber(text, number)) {
        value = number != 0.0;
        return true;
    }
    if (equalsIgnoringAsciiCase(text, "true")) {
        value = true;
        return true;
    }
    if (equalsIgnoringAsciiCase(text, "false")) {
        value = false;
        return true;
    }
    return false;
}

} // namespace nuvio
