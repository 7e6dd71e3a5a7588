// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/appsettings.h"

#include <string>

namespace nuvio {

// "file://" + InstallPath + "/" + page + ".html?l=" + language key, by plain concatenation.
std::string LocalPageURL(const AppSettings& settings, const std::string& page);

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

// The rectangle both browser views share inside a client area of the given size.
struct ViewRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ViewRect&) const = default;
};
ViewRect viewRectFor(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight);

} // namespace nuvio
