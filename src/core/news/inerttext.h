// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// Feed text written into the news page must stay text: quote marks and angle brackets
// become entities. "&" is left alone, so the entities a feed carried show as before.
std::string escapeForPage(std::string_view text);

// Whether a browser would take the link as a script or inline document: its scheme, read
// as a browser reads an attribute (character references decoded, leading blanks and
// control characters skipped, tabs and line breaks ignored, letter case ignored), is
// "javascript:", "vbscript:" or "data:".
bool isActiveLink(std::string_view link);

// The link as it goes into the page: escaped, or empty when it is active.
std::string pageLink(std::string_view link);

} // namespace nuvio
