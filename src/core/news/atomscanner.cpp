// SPDX-License-Identifier: MIT
#include "core/news/atomscanner.h"

#include "core/news/feedlists.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/markuptags.h"
#include "core/platform/asciitext.h"
#include "core/platform/codepage.h"
#include "core/shell/navigationrules.h"

#include <QString>
#include <QUrl>
#include <optional>
#include <string>
#include <vector>

namespace nuvio {

namespace {

// The longest address the news view follows (its web engine takes none longer). A base or
// a resolved link beyond it is no address: else a feed could write one huge xml:base into
// every one of its headlines, a page many times the feed's size.
constexpr std::size_t kLongestAddress = std::size_t{2} << 20;

constexpr std::string_view kAtomNamespaces[] = {"http://www.w3.org/2005/Atom",
                                                "http://purl.org/atom/ns#"};

std::optional<MarkupTag> atomRoot(std::string_view text)
{
    const auto root = nextMarkupTag(text, 0);
    if (!root || root->closing || !equalsIgnoringAsciiCase(localName(root->name), "feed"))
        return std::nullopt;
    const std::string_view prefix = namePrefix(root->name);
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    const auto space = tagAttribute(*root, declaration);
    if (!space)
        return std::nullopt;
    for (const auto atom : kAtomNamespaces) {
        if (equalsIgnoringAsciiCase(trimBlanks(*space), atom))
            return root;
    }
    return std::nullopt;
}

// Calls `visit(tag, contentEnd)` for each child element of the element whose start tag
// ends at `from`, until it returns false or the element closes; contentEnd is where the
// child's end tag begins (an unclosed child runs to the end of the text).
template <typename Visit> void forEachChild(std::string_view text, std::size_t from, Visit visit)
{
    int depth = 0;
    std::optional<MarkupTag> child;
    for (auto tag = nextMarkupTag(text, from); tag; tag = nextMarkupTag(text, tag->end)) {
        if (tag->closing) {
            if (depth == 0)
                return;
            if (--depth == 0 && child) {
                if (!visit(*child, tag->begin))
                    return;
                child.reset();
            }
        } else if (tag->empty) {
            if (depth == 0 && !visit(*tag, tag->end))
                return;
        } else {
            if (depth == 0)
                child = *tag;
            ++depth;
        }
    }
    if (child)
        visit(*child, text.size());
}

class AtomNames
{
public:
    explicit AtomNames(std::string_view prefix) : m_prefix(prefix) {}
    bool is(const MarkupTag& tag, std::string_view local) const
    {
        return equalsIgnoringAsciiCase(namePrefix(tag.name), m_prefix) &&
               equalsIgnoringAsciiCase(localName(tag.name), local);
    }

private:
    std::string_view m_prefix;
};

bool isAlternate(const MarkupTag& link)
{
    const auto rel = tagAttribute(link, "rel");
    if (!rel)
        return true;
    const std::string_view value = trimBlanks(*rel);
    return value.empty() || equalsIgnoringAsciiCase(value, "alternate") ||
           equalsIgnoringAsciiCase(value, "http://www.iana.org/assignments/relation/alternate");
}

std::string titleText(std::string_view text, const MarkupTag& title, std::size_t contentEnd)
{
    if (title.empty || contentEnd <= title.end)
        return {};
    return trimControls(StripMarkup(text.substr(title.end, contentEnd - title.end)));
}

// The feed's text is Windows-1252 by now (see prepareFeedText), as is the page the links go
// into; read as UTF-8, every letter beyond ASCII would become a replacement character.
QUrl urlOf(std::string_view text)
{
    return QUrl(fromCp1252(text));
}

bool isLetter(char c)
{
    return lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z';
}

// An absolute address: a scheme (a letter, then letters, digits, "+", "-" or ".") and ":".
bool hasScheme(std::string_view address)
{
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isLetter(address[0]))
        return false;
    for (const char c : address.substr(0, colon)) {
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// What relative addresses inside `tag` mean: its xml:base against the one around it.
QUrl baseOf(const MarkupTag& tag, const QUrl& around)
{
    const auto base = tagAttribute(tag, "xml:base");
    if (!base)
        return around;
    if (base->size() > kLongestAddress)
        return {};
    return around.resolved(urlOf(trimControls(*base)));
}

// A link's address as written when it is absolute (every byte kept, as in RSS); a relative
// one (many sites' Atom feeds) would lead nowhere from the news page, so it is resolved
// against its xml:base and the feed's own address, when that gives a web address.
std::string linkAddress(const MarkupTag& link, const QUrl& around)
{
    std::string address = trimControls(tagAttribute(link, "href").value_or(std::string_view()));
    if (address.empty() || hasScheme(address))
        return address;
    const QUrl base = baseOf(link, around);
    if (!base.isValid() || base.host().isEmpty())
        return address;
    std::string resolved = base.resolved(urlOf(address)).toString(QUrl::FullyEncoded).toStdString();
    return isWebUrl(resolved) && resolved.size() <= kLongestAddress ? resolved : address;
}

void callYield(const std::function<void()>& yield)
{
    if (yield)
        yield();
}

} // namespace

bool isAtomFeed(const FeedText& feed)
{
    return feed.search("<channel", 1) == 0 && atomRoot(feed.text()).has_value();
}

void scanAtomFeed(const FeedText& feed, std::int32_t maxItems, FeedSink& sink,
                  const std::function<void()>& yield, std::string_view address)
{
    const std::string_view text = feed.text();
    const auto root = atomRoot(text);
    if (!root)
        return;
    const QUrl feedBase = baseOf(*root, urlOf(address));
    const AtomNames names(namePrefix(root->name));
    const std::size_t wanted = maxItems < 1 ? 1 : static_cast<std::size_t>(maxItems);

    std::string title, link;
    bool hasTitle = false, hasLink = false;
    std::vector<MarkupTag> entries;
    std::size_t children = 0;
    if (!root->empty) {
        forEachChild(text, root->end, [&](const MarkupTag& child, std::size_t contentEnd) {
            if (!hasTitle && names.is(child, "title")) {
                title = titleText(text, child, contentEnd);
                hasTitle = true;
            } else if (!hasLink && names.is(child, "link") && isAlternate(child)) {
                link = linkAddress(child, feedBase);
                hasLink = true;
            } else if (entries.size() < wanted && names.is(child, "entry")) {
                entries.push_back(child);
            }
            if (++children % 256 == 0)
                callYield(yield);
            // The feed's title and link may stand after its entries.
            return !(hasTitle && hasLink && entries.size() >= wanted);
        });
    }
    callYield(yield);
    sink.feedHeading(link, title);
    callYield(yield);

    for (const auto& entry : entries) {
        callYield(yield);
        std::string entryTitle;
        std::optional<std::string> alternate, first;
        bool entryHasTitle = false;
        const QUrl entryBase = baseOf(entry, feedBase);
        if (!entry.empty) {
            forEachChild(text, entry.end, [&](const MarkupTag& child, std::size_t contentEnd) {
                if (!entryHasTitle && names.is(child, "title")) {
                    entryTitle = titleText(text, child, contentEnd);
                    entryHasTitle = true;
                } else if (names.is(child, "link")) {
                    if (!first)
                        first = linkAddress(child, entryBase);
                    if (!alternate && isAlternate(child))
                        alternate = linkAddress(child, entryBase);
                }
                return !(entryHasTitle && alternate);
            });
        }
        sink.item(alternate ? *alternate : first.value_or(std::string()), entryTitle);
        callYield(yield);
    }
}

} // namespace nuvio
