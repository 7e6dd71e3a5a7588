// SPDX-License-Identifier: MIT
#include "core/news/feedfailures.h"

#include "core/language/addedtexts.h"

#include <algorithm>

namespace nuvio {

namespace {

// Failures that never reached a server: all of them at once mean the network is down.
bool noServerReached(const FeedFailure& failure)
{
    return failure.reason == HttpFailure::NoConnection ||
           failure.reason == HttpFailure::NameNotFound || failure.reason == HttpFailure::NoAnswer;
}

} // namespace

std::string failureReasonText(const FeedFailure& failure)
{
    if (failure.noAddress)
        return addedText(AddedText::FailureNoAddress);
    switch (failure.reason) {
    case HttpFailure::None:
        return addedText(AddedText::FailureNotAFeed);
    case HttpFailure::NoConnection:
        return addedText(AddedText::FailureNoConnection);
    case HttpFailure::NameNotFound:
        return addedText(AddedText::FailureNameNotFound);
    case HttpFailure::Certificate:
        return addedText(AddedText::FailureCertificate);
    case HttpFailure::SecureConnection:
        return addedText(AddedText::FailureSecureConnection);
    case HttpFailure::NoAnswer:
        return addedText(AddedText::FailureNoAnswer);
    case HttpFailure::Status:
        // Basic or Digest alike: the user's next step is the same.
        if (failure.status == 401)
            return addedText(AddedText::FailureLogin);
        // Said once: the feed is asked no more (see FeedPolling).
        if (failure.status == 410)
            return addedText(AddedText::FailureClosed);
        return "HTTP " + std::to_string(failure.status);
    case HttpFailure::TooLarge:
        return addedText(AddedText::FailureTooLarge);
    case HttpFailure::Broken:
        return addedText(AddedText::FailureBroken);
    case HttpFailure::Proxy:
        return addedText(AddedText::FailureProxy);
    case HttpFailure::BadAnswer:
    case HttpFailure::Cancelled:
        break;
    }
    return addedText(AddedText::FailureBadAnswer);
}

std::string failureListText(const std::vector<FeedFailure>& failures)
{
    // Offline, every chosen feed fails: a line each would make the message box taller than
    // the screen, its button out of reach. The rest are counted.
    constexpr std::size_t kListed = 20;
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < kListed; ++i) {
        if (!text.empty())
            text += '\n';
        text += failures[i].entry + ": " + failureReasonText(failures[i]);
    }
    if (failures.size() > kListed)
        text += "\n\x85 +" + std::to_string(failures.size() - kListed);
    return text;
}

std::string failedRunText(const std::string& completedText,
                          const std::vector<FeedFailure>& failures, std::size_t feeds)
{
    if (failures.size() == feeds && std::all_of(failures.begin(), failures.end(), noServerReached))
        return addedText(AddedText::NetworkDown);
    return addedText(AddedText::FeedsFailed,
                     {completedText, std::to_string(failures.size()), std::to_string(feeds)});
}

} // namespace nuvio
