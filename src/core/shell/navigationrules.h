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

// The main view keeps web pages out of itself: any URL that contains "http://" or
// "https://" (letter case ignored), wherever it stands, is cancelled; a web address among
// them goes to the system browser as it is.
NavigationDecision mainViewNavigation(std::string_view url);

// The radio view plays web pages and streams itself; only "realhttp://" and "realhttps://"
// links (letter case ignored, wherever they stand) are cancelled, and go out less the URL's
// first four characters when that leaves a web address.
NavigationDecision radioViewNavigation(std::string_view url);

} // namespace nuvio
