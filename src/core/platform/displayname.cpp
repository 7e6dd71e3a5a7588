// SPDX-License-Identifier: MIT
#include "core/platform/displayname.h"

#include "core/platform/asciitext.h"

namespace nuvio {

namespace {

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The number without its leading zeros ("051" and "51" are one display).
std::string_view withoutLeadingZeros(std::string_view digits)
{
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

} // namespace

std::string canonicalX11Display(std::string_view display)
{
    constexpr std::string_view socketFolder = "/tmp/.X11-unix/X";
    if (display.starts_with(socketFolder) && isDigits(display.substr(socketFolder.size())))
        return ":" + std::string(withoutLeadingZeros(display.substr(socketFolder.size())));
    const std::size_t colon = display.rfind(':');
    if (colon == std::string_view::npos)
        return std::string(display);
    std::string_view host = display.substr(0, colon);
    std::string_view number = display.substr(colon + 1);
    if (const std::size_t dot = number.find('.'); dot != std::string_view::npos) {
        if (!isDigits(number.substr(dot + 1)))
            return std::string(display);
        number = number.substr(0, dot);
    }
    if (!isDigits(number))
        return std::string(display);
    if (host.ends_with(':'))
        return std::string(display); // DECnet ("host::0"): left as written
    if (host.starts_with("unix/"))
        host.remove_prefix(5);
    const bool local = host.empty() || equalsIgnoringAsciiCase(host, "unix") ||
                       equalsIgnoringAsciiCase(host, "localhost");
    return (local ? std::string() : lowerAsciiCopy(host)) + ":" +
           std::string(withoutLeadingZeros(number));
}

std::string canonicalWaylandDisplay(std::string_view display, std::string_view runtimeFolder)
{
    if (display.empty() || display.front() == '/' || runtimeFolder.empty())
        return std::string(display);
    std::string path(runtimeFolder);
    if (path.back() != '/')
        path += '/';
    return path + std::string(display);
}

} // namespace nuvio
