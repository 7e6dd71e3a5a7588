// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// Splits a line into fields the way the program's list files are written: characters with
// codes 1 to 32 are skipped before and after a field, a field in double quotes runs to the
// closing quote (a doubled quote inside stands for one), any other field runs up to the
// separator or a character with code 0 to 32, a NUL ends the line, and a separator that is
// the line's very last character adds an empty last field.
std::vector<std::string> splitFields(std::string_view line, char separator);

} // namespace nuvio
