// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/appsettings.h"

#include <cstdint>
#include <string>

namespace nuvio {

inline constexpr const char* kSettingsKeyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio";
inline constexpr const char* kReadFailedMessage = "Writing default settings to reg.db.";

// What loading gives the main window besides the settings themselves.
struct LoadedSettings
{
    WindowBounds bounds;
    std::uint32_t refreshIntervalMs = 0;
    bool readFailed = false; // the caller shows kReadFailedMessage once
};

// The default window size for a primary screen of this height: 85 % of it, and 41 % of
// that for the width but never under 270 pixels; halves round to even.
WindowBounds defaultWindowBounds(int screenHeight);

// Fills `settings` from the hive with the defaults for whatever is missing. Reading stops
// at the first value of a wrong type or unconvertible text; that value and every later one
// keep their defaults. A hive that cannot be opened gives every default silently.
LoadedSettings LoadSettings(const std::string& hivePath, AppSettings& settings, int screenHeight);

// Writes every persisted value, in the fixed order. A hive that cannot be opened is left
// alone silently; a write that fails throws "Failed to set data for '%s'" and the values
// after it are not written.
void SaveSettings(const std::string& hivePath, const AppSettings& settings,
                  const WindowBounds& bounds, std::uint32_t refreshIntervalMs);

// Minutes as the timer holds them: minutes × 60000 in 32-bit arithmetic.
std::uint32_t minutesToInterval(std::int32_t minutes);
// Whole minutes of a timer interval, halves to even.
std::int64_t intervalToMinutes(std::uint32_t intervalMs);

} // namespace nuvio
