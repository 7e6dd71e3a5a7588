// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string_view>

namespace nuvio {

// One tag of an XML or HTML text, with 0-based offsets into it.
struct MarkupTag
{
    std::size_t begin = 0; // its "<"
    std::size_t end = 0;   // one past its ">"
    std::string_view name; // as written, prefix included ("atom:link")
    bool closing = false;  // </name>
    bool empty = false;    // <name/>
    std::string_view text; // the whole tag, "<" to ">"
};

// The next element tag at or after `from`, passing over text, comments, CDATA sections,
// processing instructions and declarations; none when the text ends first or a tag never
// closes. Quoted attribute values may hold ">". Linear in what it passes over.
std::optional<MarkupTag> nextMarkupTag(std::string_view text, std::size_t from);

// The value of attribute `name` (any letter case) of a tag, as written: character
// references stay as they are. None when the tag does not have it.
std::optional<std::string_view> tagAttribute(const MarkupTag& tag, std::string_view name);

// The name after its prefix: "link" for "atom:link", and the prefix alone ("atom", or empty).
std::string_view localName(std::string_view name);
std::string_view namePrefix(std::string_view name);

// Character references ("&amp;", "&#8217;", "&#x2019;", "&nbsp;" and the other four of XML)
// as the characters they name; anything else, a reference to no character included, as
// written.
QString decodeCharacterReferences(const QString& text);

} // namespace nuvio
