#include "shell/navigationrules.h"

namespace nuvio {

bool containsIgnoringAsciiCase(std::string_view text, std::string_view lowerNeedle)
{
    if (lowerNeedle.empty())
        return true;
    if (text.size() < lowerNeedle.size())
        return false;
    for (std::size_t i = 0; i + lowerNeedle.size() <= text.size(); ++i) {
        std::size_t j = 0;
        for (; j < lowerNeedle.size(); ++j) {
            char c = text[i + j];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != lowerNeedle[j])
                break;
        }
        if (j == lowerNeedle.size())
            return true;
    }
    return false;
}

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
