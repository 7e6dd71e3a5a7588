// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace nuvio {

// How a feed's bytes are read. Plain means as they are: Windows-1252, which the page is.
enum class FeedEncoding { Plain, Utf8, Utf16LittleEndian, Utf16BigEndian, Other };

struct FeedEncodingChoice
{
    FeedEncoding encoding = FeedEncoding::Plain;
    std::string name;        // the converter's name, for Other
    std::size_t skipped = 0; // a byte-order mark's bytes
};

// The encoding a feed's bytes are in, first rule that applies: a byte-order mark;
// encoding="utf (any letter case) anywhere; the encoding its XML declaration names (either
// quote marks, blanks around "=" allowed); the charset of the answer's Content-Type; valid
// UTF-8 with a byte beyond ASCII in it; else the bytes as they are. Windows-1252, ISO-8859-1
// and US-ASCII under any of their names are the bytes as they are, as is a name no converter
// knows; a UTF-16 or UTF-32 (under any of its names) or another encoding that does not read
// ASCII as ASCII, named without a byte-order mark, is not believed (the name could
// be read as ASCII) and the rules after it decide.
FeedEncodingChoice feedEncoding(std::string_view body, std::string_view contentType);

// Appends a character as the page holds it: its Windows-1252 byte, a decimal character
// reference for one the code page lacks, "?" for the replacement character (a sequence
// that was no character).
void appendPageCharacter(std::string& out, char32_t code);

// The feed as Windows-1252 text with character references for what the code page lacks.
// Sequences that are no character in the feed's encoding become "?".
std::string decodeFeedBytes(std::string body, std::string_view contentType);

// Page text as the characters it stands for where an address is read from it: Windows-1252,
// and the decimal references that stand for characters the code page lacks.
QString fromPageText(std::string_view text);

} // namespace nuvio
