// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

class HttpClient;

inline constexpr const char* kFileListFile = "filelist.txt";
inline constexpr const char* kServerFolder = "localfiles/v100/";

// One line of the server's file list, read.
struct FileListEntry
{
    bool keepIfPresent = false; // the line began with "*"
    bool image = false;         // stored byte for byte rather than as text
    std::string remoteName;
    std::string localName;
};

// The entries of a file list: lines end with CR LF only, and the empty text after a final
// CR LF is no entry.
std::vector<std::string> fileListLines(std::string_view list);

// Reads one line: the keep marker, the "!"-separated names, the image rule. A line with
// fewer than two names is "List index out of bounds (%d)".
FileListEntry readFileListEntry(std::string_view line);

// The local file of an entry, InstallPath + "/" + name, provided it lies inside the
// install directory: an absolute name, a ".." step or a path through a symbolic link that
// leads out is refused with "Cannot create file "%s". %s".
std::string localFilePath(const std::string& installPath, const std::string& localName);

// Whether files whose list was stored at `stored` are older than `checkLocalDays` whole
// days, counted from the start of today (local time) in either direction.
bool isStale(std::chrono::system_clock::time_point stored,
             std::chrono::system_clock::time_point now, std::int32_t checkLocalDays);

class UpdateProgress
{
public:
    virtual ~UpdateProgress() = default;
    // Shown; the bar runs over the entries (none while the list loads).
    virtual void begin(std::size_t entries) = 0;
    virtual void at(std::size_t entry) = 0; // `entries` itself: complete, a full bar
    virtual void end() = 0;                 // hidden again, after success or failure
};

struct DefinitionUpdateContext
{
    std::string installPath;
    std::string serverBaseUrl; // empty: no vendor server, and so no update
    std::string userLanguage;
    std::int32_t checkLocalDays = 30;
    HttpClient* http = nullptr;
    UpdateProgress* progress = nullptr;
    std::function<void()> yield;
    // Asked after every yield; true ends the run there with RunCancelled.
    std::function<bool()> cancelled;
    std::function<void(const std::string&)> showStatus;
};

// One whole run: fetches the language's file list and every file it names into the
// install directory, then stores the list as filelist.txt. Every file is replaced
// atomically; the first failure ends the run and is thrown. Without a vendor server it
// asks nothing and only says so. The windows' UpdateDefinitionFiles drives it.
void fetchDefinitionFiles(const DefinitionUpdateContext& context);

// Runs the update when filelist.txt is missing or stale at `now`. Returns whether it ran.
// The start-up's CheckDefinitionFiles drives it.
bool fetchDefinitionFilesIfStale(
    const DefinitionUpdateContext& context,
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

} // namespace nuvio
