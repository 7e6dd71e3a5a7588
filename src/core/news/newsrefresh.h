// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace nuvio {

class FeedCache;
class HttpClient;

// What a news refresh needs from the window it runs in.
struct NewsRefreshContext
{
    std::string installPath;
    std::int32_t maxNewsPerFeed = 25;
    std::string updatingText;  // shown while the refresh runs (Windows-1252)
    std::string completedText; // shown briefly at the end
    std::function<void(const std::string& text)> showStatus;
    std::function<void()> yield;
    // Asked after every yield; true ends the run there with RunCancelled, the previous
    // page left as it was.
    std::function<bool()> cancelled;
    HttpClient* http = nullptr;
    // The feeds' last answers, for conditional requests; none: every feed in full.
    FeedCache* cache = nullptr;
};

// One news refresh: rebuilds news.html from the chosen feeds, in their order, marking the
// items that were not on the previous page. Every chosen feed is fetched at once, but the
// page, the status texts and the failures come out exactly as if they were fetched one
// after the other. A feed that fails shows "Fejl " and its entry and the run goes on;
// failures of the lists or of the page itself end the run and are thrown. The lists are
// read before anything is written, and the page replaces the previous one only when the
// run completes.
//
// Returns whether any item was new; the caller then alerts the user. The main window's
// UpdateNews drives it.
bool refreshNewsPage(const NewsRefreshContext& context);

} // namespace nuvio
