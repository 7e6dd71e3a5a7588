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

// A file that could not be opened or created: worded like the run-time text, and keeping
// what a message in the interface language needs.
class FileError : public NuvioError
{
public:
    FileError(const std::string& message, std::string path, int errorNumber, bool creating)
        : NuvioError(message), m_path(std::move(path)), m_errorNumber(errorNumber),
          m_creating(creating)
    {}
    const std::string& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    bool creating() const { return m_creating; }

private:
    std::string m_path;
    int m_errorNumber;
    bool m_creating;
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
// The same for a system error number, with the system's wording for it.
FileError cannotOpenFile(const std::string& path, int errorNumber);
FileError cannotCreateFile(const std::string& path, int errorNumber);
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
