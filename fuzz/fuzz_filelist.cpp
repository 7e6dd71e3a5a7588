// SPDX-License-Identifier: MIT
// A server's file list: every entry is read or refused with the documented error, and
// every local name that is accepted resolves inside the install directory.
#include "core/deffiles/definitionupdate.h"
#include "core/platform/errors.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string installDirectory()
{
    static const std::string dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nuvio-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        std::filesystem::create_directory(pattern + "/sub");
        std::filesystem::create_directory_symlink("/tmp", pattern + "/out");
        std::filesystem::create_directory_symlink(pattern + "/sub", pattern + "/in");
        return pattern;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string root = installDirectory();
    const std::string list(reinterpret_cast<const char*>(data), size);
    for (const auto& line : nuvio::fileListLines(list)) {
        nuvio::FileListEntry entry;
        try {
            entry = nuvio::readFileListEntry(line);
        } catch (const nuvio::NuvioError&) {
            continue;
        }
        std::string path;
        try {
            path = nuvio::localFilePath(root, entry.localName);
        } catch (const nuvio::NuvioError&) {
            continue;
        }
        // The folder the file would be written into, as the system resolves it.
        const auto slash = path.find_last_of('/');
        char resolved[PATH_MAX];
        if (::realpath(path.substr(0, slash).c_str(), resolved) == nullptr)
            continue; // a folder that does not exist: the write fails, nothing is made
        const std::string folder(resolved);
        if (folder != root && folder.rfind(root + "/", 0) != 0) {
            std::fprintf(stderr, "accepted %s, which is in %s\n", entry.localName.c_str(),
                         folder.c_str());
            std::abort();
        }
    }
    return 0;
}
