// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// The feed text as the scanner reads it: decoded from the feed's encoding (see
// feedEncoding; `contentType` is the answer's Content-Type) into Windows-1252 with
// character references for the characters the code page lacks, and "&#38;" read as "&".
std::string prepareFeedText(std::string body, std::string_view contentType = {});

// UTF-8 as the page holds it, the way a browser decodes: each maximal invalid subsequence
// is one "?", a character the code page lacks a decimal character reference.
std::string utf8ToPageText(std::string_view utf8);

// Removes a CDATA wrapper and every complete tag; entities stay as they are.
std::string StripMarkup(std::string_view text);

// Every complete tag ("<" to the next ">") removed; a "<" with no ">" after it stays.
std::string withoutTags(std::string_view text);

} // namespace nuvio
