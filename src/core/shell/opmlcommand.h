// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/credentials.h"
#include "core/news/feedlogins.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace nuvio {

// "--import-opml FILE" and "--export-opml FILE" (or "=FILE"): whether argv[index] is one.
bool isOpmlOption(std::string_view option);

// Runs the import or export that argv[index] asks for, on the install folder that the
// settings in `hivePath` name, with no window: one line to `out` saying what was done and 0,
// or the reason to `err` and 1. The texts are those of the interface language. A login
// written into an imported address is handed to `keepLogin` (origin, login), and a line
// says where it went.
using LoginKeeper = std::function<MovedLogin(const std::string& origin, const Credentials&)>;
int runOpmlCommand(int argc, char** argv, int index, const std::string& hivePath, std::FILE* out,
                   std::FILE* err, const LoginKeeper& keepLogin);

} // namespace nuvio
