// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/appsettings.h"

#include <string>

namespace nuvio {

// InstallPath + "/" + page + ".html?l=" + language key, by plain concatenation: a local
// page as a plain path, its query part kept.
std::string localPagePath(const AppSettings& settings, const std::string& page);

// "file://" + localPagePath(settings, page).
std::string LocalPageURL(const AppSettings& settings, const std::string& page);

// InstallPath + "/news.html".
std::string newsPagePath(const AppSettings& settings);

enum class StartViewKind { Main, Radio };

struct StartView
{
    StartViewKind view = StartViewKind::Main;
    std::string target;     // what the view is navigated to
    bool plainPath = false; // target is a file path (its query part kept), not a URL
};

// The start view for the first character of AppStartSide: '0' news (or the start page
// when there is no news page yet, both as plain paths), '1' net radio, '2' search,
// anything else the start page.
StartView startView(const AppSettings& settings);

// The rectangle both browser views share inside a client area of the given size, in the
// same four numbers as a window's bounds.
WindowBounds viewRectFor(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight);

} // namespace nuvio
