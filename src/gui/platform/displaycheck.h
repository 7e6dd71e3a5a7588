// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace nuvio {

// Why no window can be shown here, or nothing: the window system Qt would use (X11 or
// Wayland, unless QT_QPA_PLATFORM names one that needs no display) has no display named.
std::optional<std::string> missingDisplay();

// While it lives, a window system that cannot be reached when the application object is
// made (a display that does not answer) ends the program with status 1 and one line on
// stderr saying why, instead of Qt's abort and its plugin advice.
class DisplayFailureGuard
{
public:
    DisplayFailureGuard();
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};

} // namespace nuvio
