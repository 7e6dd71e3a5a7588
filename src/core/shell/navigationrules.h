// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/weburl.h"

#include <string>
#include <string_view>

namespace nuvio {

// What a before-navigate rule decides for one URL.
struct NavigationDecision
{
    bool divert = false;   // cancel the navigation
    std::string urlToOpen; // what goes to the system; empty when nothing may go
};

// The scheme the news page is shown through (the install folder's files, served by the
// program itself).
inline constexpr const char* kNewsPageScheme = "nuvio";

// The main view keeps web pages out of itself: any URL that contains "http://" or
// "https://" (letter case ignored), wherever it stands, is cancelled; a web address among
// them goes to the system browser as it is. Any other scheme but the local ones (file, our
// own, about, data, blob, javascript) is cancelled too and goes nowhere: an smb:, mailto:
// or desktop-registered link would start a program of the user's.
NavigationDecision mainViewNavigation(std::string_view url);

// The radio view plays web pages and streams itself; only "realhttp://" and "realhttps://"
// links (letter case ignored, wherever they stand) are cancelled, and go out less the URL's
// first four characters when that leaves a web address. Other than web and local addresses,
// nothing loads, and nothing goes out.
NavigationDecision radioViewNavigation(std::string_view url);

} // namespace nuvio
