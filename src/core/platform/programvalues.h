// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

struct ProgramValues
{
    std::string AppName = "nuvio";
    std::string AppVersion = "1.00";
    std::string AppTitle = AppName + " v." + AppVersion;
    std::string ServerBaseURL; // set when the main window is created; empty: no vendor server
};

// The vendor base URL: NUVIO_SERVER_URL when set, otherwise the one the build was given
// (none by default). Empty when neither is an http or https address.
std::string vendorBaseUrl();

// What every request names us by: "nuvio/<version> (+<homepage>)", so that a publisher
// can see who asks and where to read about it.
std::string userAgent();

} // namespace nuvio
