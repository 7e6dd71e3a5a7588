// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace nuvio {

class FeedSink;

// Whether the body is a JSON Feed (1.0 or 1.1): a JSON object whose "version" starts with
// "https://jsonfeed.org/version/". Malformed JSON is none.
bool isJsonFeed(std::string_view body);

// Lists a JSON Feed as an RSS feed is listed: its title and home page head it, and each
// item is a headline with its title (else the start of its text, summary or HTML content)
// and its address (url, else external_url, else an id that is a web address; a relative
// one resolved against `address`, where the feed came from). At most `maxItems` items, at
// least one. The texts go into `sink` as page text (Windows-1252, references for other
// letters). False, with nothing handed on, for a body that is no JSON Feed.
bool scanJsonFeed(std::string_view body, std::int32_t maxItems, FeedSink& sink,
                  const std::function<void()>& yield, std::string_view address);

} // namespace nuvio
