#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// What a before-navigate rule decides for one URL.
struct NavigationDecision
{
    bool divert = false; // cancel the navigation and hand urlToOpen to the system
    std::string urlToOpen;
};

// The main view keeps web pages out of itself: any URL that contains "http://" or
// "https://" (letter case ignored), wherever it stands, goes to the system browser as it is.
NavigationDecision mainViewNavigation(std::string_view url);

// The radio view plays web pages and streams itself; only "realhttp://" and "realhttps://"
// links (letter case ignored, wherever they stand) go out, less the URL's first four
// characters.
NavigationDecision radioViewNavigation(std::string_view url);

} // namespace nuvio
