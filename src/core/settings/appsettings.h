// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace nuvio {

// The persisted settings as the running program holds them. The refresh interval lives in
// the refresh timer and the window bounds in the main window; neither is kept here.
struct AppSettings
{
    std::string InstallPath; // never reset: empty until read
    std::string AppStartSide = "*";
    std::int32_t MaxNewsPerFeed = 25;
    bool UpdateNewsOnApplicationStart = true;
    bool MinToSysTray = false;
    std::int32_t ObsFunktion = 1;
    std::int32_t CheckLocalDays = 30;
    std::string UserLanguage = "Dansk";

    // Not persisted: the settings dialog raises it when the chosen feeds change, and the
    // settings command reads and clears it.
    bool FeedsChanged = false;
};

struct WindowBounds
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowBounds&) const = default;
};

} // namespace nuvio
