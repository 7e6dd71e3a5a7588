// SPDX-License-Identifier: MIT
#include "core/platform/weburl.h"

#include "core/platform/asciitext.h"

namespace nuvio {

bool isWebUrl(std::string_view url)
{
    return startsWithIgnoringAsciiCase(url, "http://") ||
           startsWithIgnoringAsciiCase(url, "https://");
}

} // namespace nuvio
