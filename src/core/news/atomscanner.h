// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace nuvio {

class FeedSink;
class FeedText;

// Whether the feed is an Atom document: its root element is a feed (or a lone entry) in the
// Atom 1.0 or 0.3 namespace, under any prefix, whatever its content holds.
bool isAtomFeed(const FeedText& feed);
bool isAtomDocument(std::string_view text);

// Hands on the feed's own title and alternate link as the heading, then its entries like
// RSS items: at most `maxItems` (always one when there is one), each with its title
// stripped of markup and the address of its first alternate link (else its first link).
// Entities stay as they came, as in RSS. Only the feed's and the entries' own children
// count, so a title inside an entry's source or content is not the entry's. Relative
// links are resolved against their xml:base and `address`, where the feed came from.
void scanAtomFeed(const FeedText& feed, std::int32_t maxItems, FeedSink& sink,
                  const std::function<void()>& yield, std::string_view address);

} // namespace nuvio
