// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace nuvio {

// The origins (credentials.h) of the chosen feeds in the install folder, each once: whose
// logins a refresh may need, looked up before it starts. A list that cannot be read, or a
// line that names no address, adds none.
std::vector<std::string> chosenFeedOrigins(const std::string& installPath);

// Where a login taken out of a typed or imported address went.
enum class MovedLogin {
    Keyring,
    Session, // no keyring: until the program ends
    LeftOut, // no keyring, and no session to hold it (the command line)
};
// The line that tells the user so, in the interface language (Windows-1252).
std::string movedLoginReport(const std::string& origin, MovedLogin where);

} // namespace nuvio
