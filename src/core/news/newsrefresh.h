// SPDX-License-Identifier: MIT
#pragma once

#include "core/news/feedfailures.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nuvio {

class CredentialStore;
class FeedCache;
class HttpClient;

struct NewsRefreshResult
{
    bool newNews = false; // the caller then alerts the user
    std::vector<FeedFailure> failures;
    std::size_t feeds = 0; // how many were asked, for the failure line
};

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
    // The feeds' last good answers, for conditional requests and to stand in for a feed
    // that cannot be fetched; none: every feed in full, and a failed one is left out.
    FeedCache* cache = nullptr;
    // The sites' logins, looked up before the run: each request carries its origin's.
    const CredentialStore* credentials = nullptr;
    // How long the page waits for the slowest feeds: after this, counted from the start of
    // the run, it is written with what has come (the late feeds' last good answers standing
    // in for them), and again once they have come.
    std::chrono::milliseconds patience{5000};
    // Told when the page was written while feeds were still late; the run then waits for
    // them. The result says what that page holds; the final one comes as the run's result,
    // its new headlines judged against the same page from before the run.
    std::function<void(const NewsRefreshResult& early)> pageWritten;
    // The time, against which the publishers' lifetimes and waits are kept; none: the
    // system's clock.
    std::function<std::chrono::system_clock::time_point()> clock;
};

// One news refresh: rebuilds news.html from the chosen feeds, in their order, marking the
// items that were not on the previous page. Every chosen feed is fetched at once, but the
// page, the status texts and the failures come out exactly as if they were fetched one
// after the other. A feed that fails (no network, an error answer, a body that is no feed)
// shows "Fejl " and its entry, is written from its last good answer when the cache has
// one, and the run goes on; a run with failures ends on a status line that says so
// instead of the complete text. Failures of the lists or of the page itself end the run
// and are thrown. The lists are read before anything is written, and the page replaces
// the previous one only when it is complete. Feeds that have not answered when the page
// has waited `patience` are late: the page is written without waiting for them, and again
// when they have answered or failed.
//
// The main window's UpdateNews drives it.
NewsRefreshResult refreshNewsPage(const NewsRefreshContext& context);

} // namespace nuvio
