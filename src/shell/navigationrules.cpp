#include "shell/navigationrules.h"

#include "platform/asciitext.h"

namespace nuvio {

NavigationDecision mainViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "http://") || containsIgnoringAsciiCase(url, "https://"))
        return {true, std::string(url)};
    return {};
}

NavigationDecision radioViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "realhttp://") ||
        containsIgnoringAsciiCase(url, "realhttps://"))
        return {true, std::string(url.size() > 4 ? url.substr(4) : std::string_view{})};
    return {};
}

} // namespace nuvio
