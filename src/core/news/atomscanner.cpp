// SPDX-License-Identifier: MIT
#include "core/news/atomscanner.h"

#include "core/news/feedencoding.h"
#include "core/news/feedlists.h"
#include "core/news/feedscanner.h"
#include "core/news/feedtext.h"
#include "core/news/markuptags.h"
#include "core/platform/asciitext.h"
#include "core/platform/codepage.h"
#include "core/platform/weburl.h"

#include <QString>
#include <QUrl>
#include <cstring>
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

bool isAtomNamespace(std::string_view space)
{
    for (const auto atom : kAtomNamespaces) {
        if (equalsIgnoringAsciiCase(trimBlanks(space), atom))
            return true;
    }
    return false;
}

// Whether the tag's own declarations bind its prefix to Atom.
bool declaresAtom(const MarkupTag& tag)
{
    const std::string_view prefix = namePrefix(tag.name);
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    const auto space = tagAttribute(tag, declaration);
    return space && isAtomNamespace(*space);
}

// The root element when it is an Atom feed, or a single Atom entry, in the 1.0 or 0.3
// namespace under any prefix.
std::optional<MarkupTag> atomRoot(std::string_view text)
{
    const auto root = nextMarkupTag(text, 0);
    if (!root || root->closing)
        return std::nullopt;
    const std::string_view name = localName(root->name);
    if (!equalsIgnoringAsciiCase(name, "feed") && !equalsIgnoringAsciiCase(name, "entry"))
        return std::nullopt;
    if (!declaresAtom(*root))
        return std::nullopt;
    return root;
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

// The names of Atom's elements: under the root's prefix, another prefix the root binds to
// Atom, or one an element binds to Atom itself.
class AtomNames
{
public:
    explicit AtomNames(const MarkupTag& root)
    {
        m_prefixes.emplace_back(namePrefix(root.name));
        addDeclared(root);
    }
    // The names inside an element, with the prefixes it binds to Atom itself.
    AtomNames inside(const MarkupTag& tag) const
    {
        AtomNames names = *this;
        names.addDeclared(tag);
        return names;
    }
    bool is(const MarkupTag& tag, std::string_view local) const
    {
        if (!equalsIgnoringAsciiCase(localName(tag.name), local))
            return false;
        const std::string_view prefix = namePrefix(tag.name);
        for (const auto& known : m_prefixes) {
            if (equalsIgnoringAsciiCase(prefix, known))
                return true;
        }
        return declaresAtom(tag);
    }

private:
    void addDeclared(const MarkupTag& tag)
    {
        for (std::size_t i = 0;;) {
            const std::size_t at = tag.text.find("xmlns:", i);
            if (at == std::string_view::npos)
                break;
            i = at + 6;
            std::size_t end = i;
            while (end < tag.text.size() && !std::strchr("= \t\r\n/>", tag.text[end]))
                ++end;
            const std::string_view prefix = tag.text.substr(i, end - i);
            const auto space = tagAttribute(tag, "xmlns:" + std::string(prefix));
            if (!prefix.empty() && space && isAtomNamespace(*space))
                m_prefixes.emplace_back(prefix);
        }
        if (const auto space = tagAttribute(tag, "xmlns"); space && isAtomNamespace(*space))
            m_prefixes.emplace_back();
    }

    std::vector<std::string_view> m_prefixes;
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

// The five characters XML escapes, as a reference names them (by name or number).
std::optional<char> escapedCharacter(std::string_view reference)
{
    static const struct
    {
        std::string_view name;
        char c;
    } known[] = {{"lt", '<'},   {"gt", '>'},   {"amp", '&'},  {"quot", '"'}, {"apos", '\''},
                 {"#60", '<'},  {"#62", '>'},  {"#38", '&'},  {"#34", '"'},  {"#39", '\''},
                 {"#x3c", '<'}, {"#x3e", '>'}, {"#x26", '&'}, {"#x22", '"'}, {"#x27", '\''}};
    for (const auto& entry : known) {
        if (equalsIgnoringAsciiCase(reference, entry.name))
            return entry.c;
    }
    return std::nullopt;
}

// Escaped markup as the markup it stands for, unescaped once: "&lt;em&gt;" is "<em>", and
// "&amp;lt;" the reference "&lt;".
void appendUnescaped(std::string& out, std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos)
            break;
        out.append(text.substr(i, amp - i));
        const std::size_t semicolon = text.substr(amp + 1, 6).find(';');
        const auto c = semicolon == std::string_view::npos
                           ? std::nullopt
                           : escapedCharacter(text.substr(amp + 1, semicolon));
        if (c) {
            out += *c;
            i = amp + semicolon + 2;
        } else {
            out += '&';
            i = amp + 1;
        }
    }
    out.append(text.substr(i));
}

enum class TextKind { Text, Html, Xhtml };

// How a text construct's content is meant, by Atom 1.0's type or Atom 0.3's type and mode.
TextKind textKind(const MarkupTag& tag, bool& base64)
{
    const std::string_view type = trimBlanks(tagAttribute(tag, "type").value_or("text"));
    const std::string_view mode = trimBlanks(tagAttribute(tag, "mode").value_or("xml"));
    // Atom 1.0 carries any other media type than text and XML in base64, as 0.3's mode says.
    const bool media = type.find('/') != std::string_view::npos &&
                       !startsWithIgnoringAsciiCase(type, "text/") &&
                       !containsIgnoringAsciiCase(type, "xml");
    base64 = equalsIgnoringAsciiCase(mode, "base64") || media;
    if (equalsIgnoringAsciiCase(type, "html") || equalsIgnoringAsciiCase(type, "text/html"))
        return TextKind::Html;
    if (equalsIgnoringAsciiCase(type, "xhtml") ||
        equalsIgnoringAsciiCase(type, "application/xhtml+xml"))
        return TextKind::Xhtml;
    return TextKind::Text;
}

// A title's text as the page shows it: all of its text, CDATA sections unwrapped, markup
// removed; escaped HTML unescaped once before its markup goes, and base64 decoded.
// Other references stay as they came, as in RSS.
std::string titleText(std::string_view text, const MarkupTag& title, std::size_t contentEnd)
{
    if (title.empty || contentEnd <= title.end)
        return {};
    const std::string_view content = text.substr(title.end, contentEnd - title.end);
    bool base64 = false;
    const TextKind kind = textKind(title, base64);
    const bool unescape = kind == TextKind::Html && !base64;
    std::string out;
    out.reserve(content.size());
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t lt = content.find('<', i);
        const std::string_view before =
            content.substr(i, lt == std::string_view::npos ? std::string_view::npos : lt - i);
        if (unescape)
            appendUnescaped(out, before);
        else
            out.append(before);
        if (lt == std::string_view::npos)
            break;
        const std::string_view rest = content.substr(lt);
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t close = content.find("]]>", lt + 9);
            const std::size_t stop = close == std::string_view::npos ? content.size() : close;
            out.append(content.substr(lt + 9, stop - lt - 9));
            i = close == std::string_view::npos ? content.size() : close + 3;
        } else if (rest.starts_with("<!--")) {
            const std::size_t close = content.find("-->", lt + 4);
            i = close == std::string_view::npos ? content.size() : close + 3;
        } else if (const std::size_t gt = content.find('>', lt); gt != std::string_view::npos) {
            i = gt + 1;
        } else {
            out.append(rest);
            break;
        }
    }
    if (base64) {
        const QByteArray bytes = QByteArray::fromBase64(QByteArray::fromStdString(out));
        out = prepareFeedText(bytes.toStdString());
    }
    if (kind != TextKind::Text)
        out = withoutTags(out);
    return trimControls(out);
}

// The feed's text is Windows-1252 by now, with references for what the code page lacks (see
// prepareFeedText), as is the page the links go into; read as UTF-8, every letter beyond
// ASCII would become a replacement character, and a reference's "#" would start a fragment.
QUrl urlOf(std::string_view text)
{
    return QUrl(fromPageText(text));
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
    const auto href = tagAttribute(link, "href");
    if (!href)
        return {};
    std::string address = trimControls(*href);
    if (hasScheme(address))
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
    return atomRoot(feed.text()).has_value();
}

bool isAtomDocument(std::string_view text)
{
    return atomRoot(text).has_value();
}

void scanAtomFeed(const FeedText& feed, std::int32_t maxItems, FeedSink& sink,
                  const std::function<void()>& yield, std::string_view address)
{
    const std::string_view text = feed.text();
    const auto root = atomRoot(text);
    if (!root)
        return;
    const QUrl feedBase = baseOf(*root, urlOf(address));
    const AtomNames names(*root);
    const std::size_t wanted = maxItems < 1 ? 1 : static_cast<std::size_t>(maxItems);

    std::string title, link;
    bool hasTitle = false, hasLink = false;
    std::vector<MarkupTag> entries;
    std::size_t children = 0;
    // A document of one entry is a feed of that entry, without a heading of its own.
    if (equalsIgnoringAsciiCase(localName(root->name), "entry"))
        entries.push_back(*root);
    else if (!root->empty) {
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
        std::string entryTitle, id;
        std::optional<std::string> alternate, first;
        bool entryHasTitle = false;
        const QUrl entryBase = baseOf(entry, feedBase);
        const AtomNames entryNames = names.inside(entry);
        if (!entry.empty) {
            forEachChild(text, entry.end, [&](const MarkupTag& child, std::size_t contentEnd) {
                if (!entryHasTitle && entryNames.is(child, "title")) {
                    entryTitle = titleText(text, child, contentEnd);
                    entryHasTitle = true;
                } else if (entryNames.is(child, "link")) {
                    if (!first)
                        first = linkAddress(child, entryBase);
                    if (!alternate && isAlternate(child))
                        alternate = linkAddress(child, entryBase);
                } else if (id.empty() && entryNames.is(child, "id") && contentEnd > child.end) {
                    id = trimControls(StripMarkup(text.substr(child.end, contentEnd - child.end)));
                }
                return !(entryHasTitle && alternate && !alternate->empty());
            });
        }
        std::string entryLink = alternate ? *alternate : first.value_or(std::string());
        // An entry without a link of its own is often known by a web address as its id.
        if (entryLink.empty() && isWebUrl(id))
            entryLink = id;
        sink.item(entryLink, entryTitle);
        callYield(yield);
    }
}

} // namespace nuvio
