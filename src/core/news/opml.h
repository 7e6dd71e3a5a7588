// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// A feed as an outline of an OPML file carries it.
struct OpmlFeed
{
    QString title;
    QString xmlUrl;

    bool operator==(const OpmlFeed&) const = default;
};

// A feed list larger than this is no feed list: it is refused before it is parsed.
inline constexpr std::int64_t kOpmlSizeLimit = std::int64_t{10} * 1024 * 1024;

// Why an OPML file was refused, in the interface language (Windows-1252 bytes).
class OpmlError : public NuvioError
{
public:
    using NuvioError::NuvioError;
};

// The feeds of an OPML document, every outline with an xmlUrl in document order, those in
// folders included. `fileName` only names the file in the refusals: a document that is not
// well-formed XML, whose root is no <opml> with a <body>, that declares entities, or that
// holds no feed. The title is the outline's title attribute, else its text.
std::vector<OpmlFeed> readOpml(std::string_view bytes, const std::string& fileName);

// An OPML 2.0 document (UTF-8) with one outline per feed, in order.
std::string writeOpml(const std::vector<OpmlFeed>& feeds);

} // namespace nuvio
