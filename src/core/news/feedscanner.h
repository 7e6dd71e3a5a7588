// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// What a scan hands on as it goes.
class FeedSink
{
public:
    virtual ~FeedSink() = default;
    virtual void feedHeading(std::string_view channelLink, std::string_view channelTitle) = 0;
    virtual void item(std::string_view link, std::string_view title) = 0;
};

// Searches and cuts in a prepared feed text, with 1-based positions: search finds a
// marker in the lower-cased copy at or after a position (0 or 1 meaning the whole text;
// 0 when absent), cut takes from the original text so fields keep their letter case.
class FeedText
{
public:
    explicit FeedText(std::string text);

    std::size_t search(std::string_view marker, std::size_t from) const;
    std::string cut(std::size_t start, std::size_t end) const;
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    std::string m_lower;
    // Per marker, the last answer: searching from `from` found `found` (0: nothing at or
    // after `from`). Any later search from a position in [from, found] has the same answer,
    // which keeps a scan linear even when a marker is missing.
    struct Answer
    {
        std::string marker;
        std::size_t from = 0;
        std::size_t found = 0;
    };
    // A scan asks for a handful of markers, so a short list beats a hash map here.
    mutable std::vector<Answer> m_answers;
    Answer& answerFor(std::string_view marker) const;
};

// Scans the feed for the channel's title and link and then its items, at most
// `maxItems` of them (but always at least one when there is one), handing each to `sink`.
// An Atom document (see isAtomFeed) gives its feed's title and link and its entries.
// `yield` is called at the points where the refresh lets waiting events be handled.
// `address` is where the feed came from (an Atom feed's relative links are resolved by it).
void scanFeed(const FeedText& feed, std::int32_t maxItems, FeedSink& sink,
              const std::function<void()>& yield, std::string_view address = {});

} // namespace nuvio
