// SPDX-License-Identifier: MIT
#include "support/pageinert.h"

#include "core/news/inerttext.h"

#include <array>

namespace nuvio::test {

std::string pageInertnessProblem(std::string_view page)
{
    static const std::array<std::string_view, 20> ownTags = {
        "<html>",
        "<head>",
        "<link rel=\"stylesheet\" href=\"default.css\" type=\"text/css\"/>",
        "</head>",
        "<body style=\"margin: 0px; padding: 0px; overflow-x: hidden\" ONCONTEXTMENU=\"return "
        "false\">",
        "<nobr>",
        "<img src=\"blank.gif\" width=\"5\" height=\"5\">",
        "<br>",
        "<a href=\"",
        "<font size=+1>",
        "<img src=\"blank.gif\" width=\"10\" height=\"10\" hspace=\"2\" border=\"0\">",
        "<b>",
        "</b>",
        "</font>",
        "</a>",
        "<div class=\"feed-line\">",
        "<img src=\"feed-line",
        "</div>",
        "</nobr>",
        "</body>",
    };
    for (std::size_t at = page.find('<'); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        const auto rest = page.substr(at);
        bool known = rest.substr(0, 7) == "</html>";
        for (const auto tag : ownTags)
            known = known || rest.substr(0, tag.size()) == tag;
        if (!known)
            return "foreign markup at byte " + std::to_string(at) + ": " +
                   std::string(rest.substr(0, 40));
        if (rest.substr(0, 9) == "<a href=\"") {
            const auto end = rest.find('"', 9);
            if (end == std::string_view::npos)
                return "a link that never ends at byte " + std::to_string(at);
            const auto link = rest.substr(9, end - 9);
            if (isActiveLink(link))
                return "an active link at byte " + std::to_string(at) + ": " +
                       std::string(link.substr(0, 40));
            // What follows the link must be the page's own text again.
            const auto after = rest.substr(end);
            if (!after.starts_with("\" style=\"") &&
                !after.starts_with("\" class=\"feed-line\" Title=\""))
                return "a link that breaks out of its attribute at byte " + std::to_string(at);
        }
    }
    return {};
}

} // namespace nuvio::test
