// SPDX-License-Identifier: MIT
#include "core/shell/pageurls.h"

#include "core/language/languagekey.h"
#include "core/news/newspage.h"
#include "core/platform/textfile.h"

namespace nuvio {

std::string localPagePath(const AppSettings& settings, const std::string& page)
{
    return settings.InstallPath + "/" + page + ".html?l=" + languageKey(settings.UserLanguage);
}

std::string LocalPageURL(const AppSettings& settings, const std::string& page)
{
    return "file://" + localPagePath(settings, page);
}

std::string newsPagePath(const AppSettings& settings)
{
    return settings.InstallPath + "/" + kNewsPageFile;
}

StartView startView(const AppSettings& settings)
{
    const char first = settings.AppStartSide.empty() ? '\0' : settings.AppStartSide.front();
    switch (first) {
    case '0': {
        const std::string news = newsPagePath(settings);
        if (fileExists(news))
            return {StartViewKind::Main, news, true};
        return {StartViewKind::Main, localPagePath(settings, "index"), true};
    }
    case '1':
        return {StartViewKind::Radio, LocalPageURL(settings, "netradio"), false};
    case '2':
        return {StartViewKind::Main, LocalPageURL(settings, "search"), false};
    default:
        return {StartViewKind::Main, LocalPageURL(settings, "index"), false};
    }
}

WindowBounds viewRectFor(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight)
{
    return {10, toolBarHeight + 10, clientWidth - 20,
            clientHeight - 20 - statusBarHeight - toolBarHeight};
}

} // namespace nuvio
