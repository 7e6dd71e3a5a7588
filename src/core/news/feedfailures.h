// SPDX-License-Identifier: MIT
#pragma once

#include "core/net/httpclient.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// A chosen feed that could not be fetched in a refresh, and why.
struct FeedFailure
{
    std::string entry; // the chosen feed's name or address
    // None: the answer came, but it is not a feed.
    HttpFailure reason = HttpFailure::BadAnswer;
    long status = 0;        // with Status
    bool noAddress = false; // the chosen line names no address nor a catalogue feed
    std::string url = {};   // what was asked, for a login the site wants
};

// The reason in the interface language, in a few plain words ("HTTP 404" for a status).
std::string failureReasonText(const FeedFailure& failure);

// One line a feed, "entry: reason" (the first 20, then how many more), for the status
// bar's tooltip and its message (Windows-1252).
std::string failureListText(const std::vector<FeedFailure>& failures);

// The status line a run ends with when feeds failed: the complete text with how many of
// `feeds` failed, or, when every one failed without reaching its server, that the network
// is down and the news fetched last are shown.
std::string failedRunText(const std::string& completedText,
                          const std::vector<FeedFailure>& failures, std::size_t feeds);

} // namespace nuvio
