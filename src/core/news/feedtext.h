// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// The feed text as the scanner reads it: every "#38;" removed and, when the lower-cased
// text declares encoding="utf anywhere, the UTF-8 decoded into Windows-1252.
std::string prepareFeedText(std::string body);

// UTF-8 to Windows-1252 the way a browser decodes: each maximal invalid subsequence is one
// U+FFFD, and every character the code page lacks (U+FFFD included) becomes "?".
std::string utf8ToCp1252(std::string_view utf8);

// Removes a CDATA wrapper and every complete tag; entities stay as they are.
std::string StripMarkup(std::string_view text);

} // namespace nuvio
