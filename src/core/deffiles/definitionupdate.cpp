// SPDX-License-Identifier: MIT
#include "core/deffiles/definitionupdate.h"

#include "core/language/addedtexts.h"
#include "core/language/languagekey.h"
#include "core/net/httpclient.h"
#include "core/platform/atomicfile.h"
#include "core/platform/clocktime.h"
#include "core/platform/errors.h"
#include "core/platform/fieldsplit.h"
#include "core/platform/installfolder.h"
#include "core/platform/textfile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace nuvio {

std::vector<std::string> fileListLines(std::string_view list)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < list.size()) {
        const auto end = list.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(list.substr(start));
            break;
        }
        lines.emplace_back(list.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

FileListEntry readFileListEntry(std::string_view line)
{
    FileListEntry entry;
    std::string text(line);
    if (!text.empty() && text.front() == '*') {
        entry.keepIfPresent = true;
        std::erase(text, '*');
    }
    entry.image = text.find(".gif") != std::string::npos || text.find(".jpg") != std::string::npos;
    const auto fields = splitFields(text, '!');
    if (fields.size() < 2)
        throw errors::listIndexOutOfBounds(static_cast<long long>(fields.size()));
    entry.remoteName = fields[0];
    entry.localName = fields[1];
    return entry;
}

std::string localFilePath(const std::string& installPath, const std::string& localName)
{
    std::string path = installPath + "/" + localName;
    const auto refuse = [&path] {
        return errors::cannotCreateFile(path, "The name leads outside the install directory");
    };
    if (!localName.empty() && localName.front() == '/')
        throw refuse();
    std::size_t start = 0;
    while (start <= localName.size()) {
        const auto slash = localName.find('/', start);
        const auto step =
            localName.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (step == "..")
            throw refuse();
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    // A folder on the way may be a link to elsewhere; what the name's folder really is must
    // still lie inside the install directory. A folder that does not exist is left to the
    // write, which fails with the system's reason.
    const auto lastSlash = path.find_last_of('/');
    const std::string folder = realPath(path.substr(0, lastSlash == 0 ? 1 : lastSlash));
    const std::string root = realPath(installPath.empty() ? "/" : installPath);
    if (!folder.empty() && !root.empty() && !isInsideFolder(root, folder))
        throw refuse();
    // Writes go through a link to the file it names, which must lie inside too.
    const std::string file = realPath(path);
    if (!file.empty() && !root.empty() && !isInsideFolder(root, file))
        throw refuse();
    return path;
}

namespace {

// A local date and time as seconds on a clock without summer time, so that the span
// between two of them is what the calendar says, whatever the clocks did in between.
double calendarSeconds(const std::tm& local)
{
    std::tm civil = local;
    civil.tm_isdst = 0;
    return static_cast<double>(::timegm(&civil));
}

} // namespace

bool isStale(std::chrono::system_clock::time_point stored,
             std::chrono::system_clock::time_point now, std::int32_t checkLocalDays)
{
    const std::time_t nowSeconds = std::chrono::system_clock::to_time_t(now);
    const std::time_t storedSeconds = std::chrono::system_clock::to_time_t(stored);
    std::tm today{};
    std::tm storedLocal{};
    ::localtime_r(&nowSeconds, &today);
    ::localtime_r(&storedSeconds, &storedLocal);
    today.tm_hour = 0; // today's local midnight
    today.tm_min = 0;
    today.tm_sec = 0;
    const double fraction = std::chrono::duration<double>(
                                stored - std::chrono::system_clock::from_time_t(storedSeconds))
                                .count();
    const double span =
        std::fabs(calendarSeconds(today) - (calendarSeconds(storedLocal) + fraction)) / 86400.0;
    const double age = std::trunc(span);
    return age > static_cast<double>(checkLocalDays);
}

namespace {

void storeFile(const std::string& path, std::string_view bytes)
{
    // The atomic writer's messages are the ones a failed store gives: "Cannot create
    // file" for a file that cannot be made, "Stream write error" for one not written whole.
    writeFileAtomically(path, bytes);
}

std::string_view upToNul(std::string_view text)
{
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

struct ProgressGuard
{
    UpdateProgress* progress;
    ~ProgressGuard()
    {
        if (progress)
            progress->end();
    }
};

} // namespace

void fetchDefinitionFiles(const DefinitionUpdateContext& context)
{
    const std::function<void()> yield = [&] {
        if (context.yield)
            context.yield();
        if (context.cancelled && context.cancelled())
            throw RunCancelled();
    };
    if (context.serverBaseUrl.empty()) {
        if (context.showStatus)
            // Said instead of an update when no vendor server is configured.
            context.showStatus(addedText(AddedText::NoUpdateServer));
        return;
    }
    const std::string folder = context.serverBaseUrl + kServerFolder;
    const ProgressGuard guard{context.progress};
    // The window shows from the first step, with an empty bar while the list loads: a
    // server that is slow to answer is not a program that does nothing.
    if (context.progress)
        context.progress->begin(0);
    yield();

    HttpResult list =
        context.http->get(folder + languageKey(context.userLanguage) + "_filelist.txt", yield);
    yield();
    if (!list.ok)
        throw NuvioError(list.error);
    const auto lines = fileListLines(list.body);
    if (context.progress)
        context.progress->begin(lines.size());
    yield();

    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (context.progress)
            context.progress->at(i);
        yield();
        const FileListEntry entry = readFileListEntry(lines[i]);
        const std::string url = folder + entry.remoteName;
        const std::string path = localFilePath(context.installPath, entry.localName);
        if (entry.keepIfPresent && fileExists(path))
            continue;
        HttpResult file = context.http->get(url, yield);
        yield();
        if (!file.ok)
            throw NuvioError(file.error);
        storeFile(path, entry.image ? std::string_view(file.body) : upToNul(file.body));
    }
    storeFile(context.installPath + "/" + kFileListFile, upToNul(list.body));
    if (context.progress)
        context.progress->at(lines.size()); // a full bar
    yield();
}

bool fetchDefinitionFilesIfStale(const DefinitionUpdateContext& context,
                                 std::chrono::system_clock::time_point now)
{
    const std::string path = context.installPath + "/" + kFileListFile;
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        // A file dated beyond what the clock holds (touched into the 2300s) is clamped.
        const auto stored = systemTimeFromSeconds(st.st_mtim.tv_sec) +
                            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                std::chrono::nanoseconds(st.st_mtim.tv_nsec));
        if (!isStale(stored, now, context.checkLocalDays))
            return false;
    }
    fetchDefinitionFiles(context);
    return true;
}

} // namespace nuvio
