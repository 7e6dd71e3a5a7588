// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

inline constexpr const char* kFeedCatalogFile = "newsfeeds.txt";
inline constexpr const char* kSelectedFeedsFile = "newsselected.txt";
// The refresh reads no more of a feed-list line than this.
inline constexpr std::size_t kRefreshLineLimit = 4096;

// Splits a comma-text line: blanks and commas separate fields, double quotes enclose a
// field (a doubled quote inside stands for one), a NUL ends the line, and a comma that is
// the line's very last character adds an empty field.
std::vector<std::string> commaFields(std::string_view line);

// Field n of the line, counting from 0; "List index out of bounds (n)" when it has none.
std::string CommaField(std::string_view line, int n);

// Leading and trailing characters with codes 0 to 32 removed.
std::string trimControls(std::string_view text);

// A catalogue line containing "<<<" is a heading: shown, never chosen.
bool isHeadingLine(std::string_view line);

// What the catalogue list shows for a line: a heading whole, an entry its name; both trimmed.
std::string catalogDisplayText(std::string_view line);

// The URL of one chosen feed: a line that starts with "http://" or "https://" (any letter
// case) as it stands; otherwise field 1 of the last catalogue line whose field 0 equals
// the line byte for byte, or "" when none does.
std::string ResolveFeedUrl(const std::string& chosen, const std::vector<std::string>& catalog);

// Both lists as the refresh reads them: every line cut to kRefreshLineLimit characters.
// A missing file is "File not found".
std::vector<std::string> readListForRefresh(const std::string& path);

// The catalogue as the settings dialog lists it: the display text of every line.
std::vector<std::string> readCatalogDisplayTexts(const std::string& path);

// The chosen feeds as the settings dialog shows them.
std::vector<std::string> readSelectedFeeds(const std::string& path);

// Replaces the chosen-feeds file with the list, CR LF after every line; an empty list
// deletes it. The old file stays whole when the new one cannot be written; failures carry
// the text-file messages ("File access denied", "Disk full", ...).
void writeSelectedFeeds(const std::string& path, const std::vector<std::string>& feeds);

} // namespace nuvio
