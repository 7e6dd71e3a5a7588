// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nuvio {

// The feed a web page announces, for an address typed as a website's: when the answer is
// an HTML page (no feed document, see isFeedDocument) with a
// <link rel="alternate"> of type RSS, Atom or JSON Feed, the address of the first such link that is
// an http or https address once resolved against the page's <base href>, else against
// `pageUrl` (the address the page came from): a page must not lead the program to a local
// file or any other scheme, nor a page from the internet to this machine or a private
// network (see isPrivateHost). None for a feed, or for a page that announces none.
std::optional<std::string> announcedFeed(std::string_view body, std::string_view pageUrl);

// Whether a body is a feed document rather than a web page: it holds a start tag whose whole
// name, letter case and any prefix aside, is rss, RDF, channel or feed, or it is a lone
// Atom entry, or it is a JSON Feed. A UTF-16 body with its byte-order mark is read as its
// characters.
bool isFeedDocument(std::string_view body);

} // namespace nuvio
