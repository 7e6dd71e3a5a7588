// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace nuvio {

// "--import-opml FILE" and "--export-opml FILE" (or "=FILE"): whether argv[index] is one.
bool isOpmlOption(std::string_view option);

// Runs the import or export that argv[index] asks for, on the install folder that the
// settings in `hivePath` name, with no window: one line to `out` saying what was done and 0,
// or the reason to `err` and 1. The texts are those of the interface language.
int runOpmlCommand(int argc, char** argv, int index, const std::string& hivePath, std::FILE* out,
                   std::FILE* err);

} // namespace nuvio
