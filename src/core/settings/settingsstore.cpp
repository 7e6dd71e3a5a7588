// SPDX-License-Identifier: MIT
#include "core/settings/settingsstore.h"

#include "core/platform/errors.h"
#include "core/platform/registryhive.h"

#include <cmath>
#include <functional>
#include <vector>

namespace nuvio {

namespace {

long long roundHalfEven(long double x)
{
    // nearbyint follows the default rounding mode, which rounds halves to even.
    return static_cast<long long>(std::nearbyintl(x));
}

std::string boolText(bool value)
{
    return value ? "-1" : "0";
}

} // namespace

WindowBounds defaultWindowBounds(int screenHeight)
{
    WindowBounds bounds;
    bounds.height = static_cast<int>(roundHalfEven(static_cast<long double>(screenHeight) * 0.85L));
    bounds.width = static_cast<int>(roundHalfEven(static_cast<long double>(bounds.height) * 0.41L));
    if (bounds.width < 270)
        bounds.width = 270;
    return bounds;
}

std::uint32_t minutesToInterval(std::int32_t minutes)
{
    return static_cast<std::uint32_t>(minutes) * 60000u;
}

std::int64_t intervalToMinutes(std::uint32_t intervalMs)
{
    return roundHalfEven(static_cast<long double>(intervalMs) / 1000.0L / 60.0L);
}

LoadedSettings LoadSettings(const std::string& hivePath, AppSettings& settings, int screenHeight)
{
    LoadedSettings loaded;
    loaded.bounds = defaultWindowBounds(screenHeight);
    std::int32_t refreshMinutes = 15;
    std::int32_t maxNews = 25;

    settings.UpdateNewsOnApplicationStart = true;
    settings.AppStartSide = "*";
    settings.MinToSysTray = false;
    settings.ObsFunktion = 1;
    settings.CheckLocalDays = 30;
    settings.UserLanguage = "Dansk";

    RegistryKey key(hivePath, kSettingsKeyPath);
    if (key.openOrCreate()) {
        const auto asInt = [](std::int32_t& target) {
            return [&target](const std::string& text) { target = strToInt(text); };
        };
        const auto asBool = [](bool& target) {
            return [&target](const std::string& text) {
                if (!tryStrToBool(text, target))
                    throw NuvioError("'" + text + "' is not a valid boolean value");
            };
        };
        const auto asText = [](std::string& target) {
            return [&target](const std::string& text) { target = text; };
        };
        const std::vector<std::pair<const char*, std::function<void(const std::string&)>>>
            readOrder = {
                {"InstallPath", asText(settings.InstallPath)},
                {"mleft", asInt(loaded.bounds.left)},
                {"mtop", asInt(loaded.bounds.top)},
                {"mwidth", asInt(loaded.bounds.width)},
                {"mheight", asInt(loaded.bounds.height)},
                {"RefreshInterval", asInt(refreshMinutes)},
                {"MaxNewsPerFeed", asInt(maxNews)},
                {"UpdateNewsOnApplicationStart", asBool(settings.UpdateNewsOnApplicationStart)},
                {"AppStartSide", asText(settings.AppStartSide)},
                {"MinToSysTray", asBool(settings.MinToSysTray)},
                {"ObsFunktion", asInt(settings.ObsFunktion)},
                {"CheckLocalDays", asInt(settings.CheckLocalDays)},
                {"UserLanguage", asText(settings.UserLanguage)},
            };
        try {
            for (const auto& [name, store] : readOrder) {
                const std::string text = key.readString(name);
                if (!text.empty())
                    store(text);
            }
        } catch (const std::exception&) {
            loaded.readFailed = true;
        }
    }

    loaded.refreshIntervalMs = minutesToInterval(refreshMinutes);
    settings.MaxNewsPerFeed = maxNews;
    return loaded;
}

void SaveSettings(const std::string& hivePath, const AppSettings& settings,
                  const WindowBounds& bounds, std::uint32_t refreshIntervalMs)
{
    RegistryKey key(hivePath, kSettingsKeyPath);
    if (!key.openOrCreate())
        return;
    key.writeString("mleft", std::to_string(bounds.left));
    key.writeString("mtop", std::to_string(bounds.top));
    key.writeString("mwidth", std::to_string(bounds.width));
    key.writeString("mheight", std::to_string(bounds.height));
    key.writeString("RefreshInterval", std::to_string(intervalToMinutes(refreshIntervalMs)));
    key.writeString("MaxNewsPerFeed", std::to_string(settings.MaxNewsPerFeed));
    key.writeString("AppStartSide", settings.AppStartSide);
    key.writeString("UpdateNewsOnApplicationStart",
                    boolText(settings.UpdateNewsOnApplicationStart));
    key.writeString("MinToSysTray", boolText(settings.MinToSysTray));
    key.writeString("ObsFunktion", std::to_string(settings.ObsFunktion));
    key.writeString("CheckLocalDays", std::to_string(settings.CheckLocalDays));
    key.writeString("UserLanguage", settings.UserLanguage);
}

} // namespace nuvio
