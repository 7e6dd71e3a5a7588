// SPDX-License-Identifier: MIT
#include "core/news/feedscanner.h"

#include "core/news/atomscanner.h"
#include "core/news/feedlists.h"
#include "core/news/feedtext.h"
#include "core/platform/asciitext.h"

#include <cstring>

namespace nuvio {

FeedText::FeedText(std::string text) : m_text(std::move(text)), m_lower(lowerAsciiCopy(m_text)) {}

std::size_t FeedText::search(std::string_view marker, std::size_t from) const
{
    const std::size_t start = from < 1 ? 1 : from;
    Answer& answer = answerFor(marker);
    if (answer.from != 0 && start >= answer.from && (answer.found == 0 || start <= answer.found))
        return answer.found;
    std::size_t found = 0;
    if (start <= m_lower.size()) {
        const void* hit = ::memmem(m_lower.data() + (start - 1), m_lower.size() - (start - 1),
                                   marker.data(), marker.size());
        if (hit)
            found = static_cast<std::size_t>(static_cast<const char*>(hit) - m_lower.data()) + 1;
    }
    answer.from = start;
    answer.found = found;
    return found;
}

FeedText::Answer& FeedText::answerFor(std::string_view marker) const
{
    for (auto& answer : m_answers) {
        if (answer.marker == marker)
            return answer;
    }
    m_answers.push_back({std::string(marker), 0, 0});
    return m_answers.back();
}

std::string FeedText::cut(std::size_t start, std::size_t end) const
{
    // The length is taken before a start below 1 is moved to 1.
    const auto length = static_cast<long long>(end) - static_cast<long long>(start);
    if (length <= 0)
        return {};
    const std::size_t from = start < 1 ? 0 : start - 1;
    if (from >= m_text.size())
        return {};
    return m_text.substr(from, static_cast<std::size_t>(length));
}

namespace {

void callYield(const std::function<void()>& yield)
{
    if (yield)
        yield();
}

// Whether the name that `marker` starts at `position` ends there: "<item" is the start of an
// item, "<items" is not.
bool nameEndsAfter(const FeedText& feed, std::size_t position, std::string_view marker,
                   bool startTag)
{
    const std::size_t next = position - 1 + marker.size();
    if (next >= feed.text().size())
        return false;
    const char c = feed.text()[next];
    return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || (startTag && c == '/');
}

std::size_t findWholeName(const FeedText& feed, std::string_view marker, std::size_t from,
                          bool startTag)
{
    for (std::size_t p = feed.search(marker, from); p > 0; p = feed.search(marker, p + 1)) {
        if (nameEndsAfter(feed, p, marker, startTag))
            return p;
    }
    return 0;
}

std::size_t findItem(const FeedText& feed, std::size_t from)
{
    return findWholeName(feed, "<item", from, true);
}

// Where an item's own text ends: its end tag, the next item's start, or the end of the text.
std::size_t itemEnd(const FeedText& feed, std::size_t start)
{
    const std::size_t close = findWholeName(feed, "</item", start, false);
    const std::size_t next = findItem(feed, start + 1);
    std::size_t end = feed.text().size() + 1;
    if (close > 0)
        end = close;
    if (next > 0 && next < end)
        end = next;
    return end;
}

} // namespace

void scanFeed(const FeedText& feed, std::int32_t maxItems, FeedSink& sink,
              const std::function<void()>& yield, std::string_view address)
{
    if (isAtomFeed(feed)) {
        scanAtomFeed(feed, maxItems, sink, yield, address);
        return;
    }
    std::size_t c = feed.search("<channel", 1);
    std::size_t s = feed.search("<title", c);
    std::size_t e = feed.search("</title>", s);
    const std::string channelTitle = StripMarkup(feed.cut(s, e));
    callYield(yield);

    c = feed.search("<channel", 1);
    s = feed.search("<link", c);
    e = feed.search("</link", s);
    const std::string channelLink = StripMarkup(feed.cut(s, e));
    std::size_t resume = e;
    callYield(yield);

    sink.feedHeading(channelLink, channelTitle);
    callYield(yield);

    std::int32_t count = 0;
    std::size_t p = findItem(feed, resume);
    while (p > 0) {
        callYield(yield);
        // An item's fields are its own: one without a link must not take the next item's.
        const std::size_t end = itemEnd(feed, p);
        const auto inside = [&](std::string_view open, std::string_view close) {
            const std::size_t from = feed.search(open, p);
            const std::size_t to = feed.search(close, p);
            if (from == 0 || from >= end || to == 0 || to >= end)
                return std::string();
            return trimControls(StripMarkup(feed.cut(from, to)));
        };
        const std::string title = inside("<title", "</title");
        callYield(yield);
        const std::string link = inside("<link", "</link");
        sink.item(link, title);

        callYield(yield);
        p = findItem(feed, end);
        ++count;
        if (count >= maxItems)
            p = 0;
    }
}

} // namespace nuvio
