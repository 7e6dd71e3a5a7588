// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else
// $HOME/.cache; empty when neither is known.
std::string userCacheFolder();

// The program's own folder in the user's cache, made when missing: a folder, not a link,
// ours, and closed to everyone else (an older version's 0755 is closed). Everything the
// program keeps there (the feed cache, the single-instance socket) starts from here, so
// whichever comes first, the folder is the same. Empty when no such folder can be had.
std::string privateCacheFolder();

// `path` made a folder only we can reach (0700) when missing, and closed to others when it
// is ours. Empty when it is a link, another user's, or cannot be made.
std::string privateFolder(const std::string& path);

// Whether `path` is a folder, not a link, that is ours and that nobody else may write
// (`closed`: nor enter).
bool isOwnFolder(const std::string& path, bool closed = false);

} // namespace nuvio
