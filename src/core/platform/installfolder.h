// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// The path with every link and ".." resolved, or empty when it does not exist.
std::string realPath(const std::string& path);

// Whether the real path `path` is the real folder `folder` or lies under it.
bool isInsideFolder(const std::string& folder, const std::string& path);

// The real path of `file` when it lies inside the install folder (links resolved), the
// folder itself not counted; empty otherwise. What the views may load and what an update
// may write are both decided by it.
std::string fileInsideInstallFolder(const std::string& installPath, const std::string& file);

} // namespace nuvio
