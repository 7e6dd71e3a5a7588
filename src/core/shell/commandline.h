// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// Takes the interface language's texts for what the program says on the command line:
// the language the settings in `hivePath` name, from the install folder they name;
// Danish when they name none. Never fails.
void loadCommandLineTexts(const std::string& hivePath);

// Whether argv[index] is one of the toolkit's own options (the session manager restarts
// the program with "-session ID", for one); `takesValue` then says whether the next
// argument belongs to it.
bool isToolkitOption(std::string_view option, bool& takesValue);

// "nuvio: unknown option: --bogus" and the short usage, two lines in the interface
// language (Windows-1252), for an option the program does not know.
std::string unknownOptionText(const std::string& appName, std::string_view option);

// What --help prints, in the interface language (Windows-1252): the usage, what the
// program does, its options and where its settings are.
std::string helpText(const std::string& appName);

} // namespace nuvio
