// SPDX-License-Identifier: MIT
#include "core/shell/pageurls.h"

#include "core/language/languagekey.h"
#include "core/platform/textfile.h"

namespace nuvio {

std::string LocalPageURL(const AppSettings& settings, const std::string& page)
{
    return "file://" + settings.InstallPath + "/" + page +
           ".html?l=" + languageKey(settings.UserLanguage);
}

StartView startView(const AppSettings& settings)
{
    const char first = settings.AppStartSide.empty() ? '\0' : settings.AppStartSide.front();
    switch (first) {
    case '0': {
        const std::string news = settings.InstallPath + "/news.html";
        if (fileExists(news))
            return {StartViewKind::Main, news, true};
        return {StartViewKind::Main,
                settings.InstallPath + "/index.html?l=" + languageKey(settings.UserLanguage), true};
    }
    case '1':
        return {StartViewKind::Radio, LocalPageURL(settings, "netradio"), false};
    case '2':
        return {StartViewKind::Main, LocalPageURL(settings, "search"), false};
    default:
        return {StartViewKind::Main, LocalPageURL(settings, "index"), false};
    }
}

ViewRect viewRectFor(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight)
{
    return {10, toolBarHeight + 10, clientWidth - 20,
            clientHeight - 20 - statusBarHeight - toolBarHeight};
}

} // namespace nuvio
