// SPDX-License-Identifier: MIT
#include "core/shell/navigationrules.h"

#include "core/platform/asciitext.h"

namespace nuvio {

namespace {

NavigationDecision divertTo(std::string_view url)
{
    return {true, isWebUrl(url) ? std::string(url) : std::string()};
}

// The URL's scheme as written before its first ':' (empty when there is none).
std::string_view schemeOf(std::string_view url)
{
    const auto isSchemeChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '-' || c == '.';
    };
    std::size_t i = 0;
    while (i < url.size() && isSchemeChar(url[i]))
        ++i;
    return i < url.size() && url[i] == ':' ? url.substr(0, i) : std::string_view{};
}

// Addresses the engine loads itself and never hands to the desktop.
bool isLocalScheme(std::string_view url)
{
    const std::string_view scheme = schemeOf(url);
    for (const std::string_view local :
         {std::string_view("file"), std::string_view(kNewsPageScheme), std::string_view("about"),
          std::string_view("data"), std::string_view("blob"), std::string_view("javascript")}) {
        if (equalsIgnoringAsciiCase(scheme, local))
            return true;
    }
    return false;
}

} // namespace

NavigationDecision mainViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "http://") || containsIgnoringAsciiCase(url, "https://"))
        return divertTo(url);
    if (!schemeOf(url).empty() && !isLocalScheme(url))
        return {true, {}};
    return {};
}

NavigationDecision radioViewNavigation(std::string_view url)
{
    if (containsIgnoringAsciiCase(url, "realhttp://") ||
        containsIgnoringAsciiCase(url, "realhttps://"))
        return divertTo(url.size() > 4 ? url.substr(4) : std::string_view{});
    if (!schemeOf(url).empty() && !isLocalScheme(url) && !isWebUrl(url))
        return {true, {}};
    return {};
}

} // namespace nuvio
