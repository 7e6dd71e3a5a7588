// SPDX-License-Identifier: MIT
#include "core/platform/programvalues.h"

#include "core/platform/weburl.h"

#include <cstdlib>

#ifndef NUVIO_VENDOR_URL
#define NUVIO_VENDOR_URL ""
#endif
#ifndef NUVIO_HOMEPAGE
#define NUVIO_HOMEPAGE ""
#endif

namespace nuvio {

std::string vendorBaseUrl()
{
    const char* env = std::getenv("NUVIO_SERVER_URL");
    const std::string url = env && *env ? env : NUVIO_VENDOR_URL;
    // Only a web server can be the vendor's; anything else is no server at all.
    return isWebUrl(url) ? url : std::string();
}

std::string userAgent()
{
    const ProgramValues program;
    const std::string homepage = NUVIO_HOMEPAGE;
    std::string agent = program.AppName + "/" + program.AppVersion;
    if (!homepage.empty())
        agent += " (+" + homepage + ")";
    return agent;
}

} // namespace nuvio
