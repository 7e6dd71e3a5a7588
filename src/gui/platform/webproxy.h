// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

// Sends the browser views' requests to the web the way the feeds go: through the proxy the
// desktop names, or directly. The engine has one route for the whole web, so it is the one
// named for an ordinary web address; the engine asks the user's own machine directly. Call
// before the first page loads.
void routeViewsLikeFeeds();

} // namespace nuvio
