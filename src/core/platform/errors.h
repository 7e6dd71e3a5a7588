// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace nuvio {

// Every failure the user may see travels as this one type; its message is the text
// the general error report shows, worded like the run-time texts users already know.
class NuvioError : public std::runtime_error
{
public:
    explicit NuvioError(const std::string& message) : std::runtime_error(message) {}
};

// A run given up because the program is quitting: no failure, and never reported.
class RunCancelled : public std::exception
{
public:
    const char* what() const noexcept override { return "The run was cancelled"; }
};

namespace errors {

// Errors of whole-file text I/O, chosen from the system error number.
NuvioError fromErrno(int errorNumber);
NuvioError fileNotFound();
NuvioError fileAccessDenied();
NuvioError diskFull();
NuvioError ioError(int code);

// Errors of stream-style file access.
NuvioError cannotOpenFile(const std::string& path, const std::string& reason);
NuvioError cannotCreateFile(const std::string& path, const std::string& reason);
NuvioError streamWriteError();

NuvioError invalidInteger(const std::string& text);
NuvioError listIndexOutOfBounds(long long index);

NuvioError invalidDataType(const std::string& valueName);
NuvioError failedToSetData(const std::string& valueName);

// The system's own wording for an error number.
std::string systemReason(int errorNumber);

} // namespace errors

// Decimal text (or $hex / 0x hex) to a signed 32-bit integer, with leading blanks allowed
// and nothing after the digits; anything else is "'%s' is not a valid integer value".
std::int32_t strToInt(const std::string& text);
bool tryStrToInt(const std::string& text, std::int32_t& value);

// "True"/"False" in any letter case, or a number where non-zero means true.
bool tryStrToBool(const std::string& text, bool& value);

} // namespace nuvio
