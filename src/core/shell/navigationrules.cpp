// SPDX-License-Identifier: MIT
#include "core/shell/navigationrules.h"

#include "core/platform/asciitext.h"

namespace nuvio {

namespace {

NavigationDecision divertTo(std::string_view url)
{
    return {true, isWebUrl(url) ? std::string(url) : std::string()};
}

} // namespace

NavigationDecision mainViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "http://") || containsIgnoringAsciiCase(url, "https://"))
        return divertTo(url);
    return {};
}

NavigationDecision radioViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "realhttp://") ||
        containsIgnoringAsciiCase(url, "realhttps://"))
        return divertTo(url.size() > 4 ? url.substr(4) : std::string_view{});
    return {};
}

} // namespace nuvio
