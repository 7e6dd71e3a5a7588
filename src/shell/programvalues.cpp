#include "shell/programvalues.h"

#include <cstdlib>

#ifndef NUVIO_VENDOR_URL
#define NUVIO_VENDOR_URL "http://127.0.0.1:8741/"
#endif

namespace nuvio {

std::string vendorBaseUrl()
{
    if (const char* url = std::getenv("NUVIO_SERVER_URL"); url && *url)
        return url;
    return NUVIO_VENDOR_URL;
}

} // namespace nuvio
