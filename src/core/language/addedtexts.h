// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace nuvio {

// Texts nuvio shows beyond the language table (status lines, tray menu, messages of its
// own). Each has a key in the language file's [Messages] section and a Danish text that
// stands when a file lacks the key. Append new texts at the end and give every shipped
// language file the key.
enum class AddedText {
    NoUpdateServer,
    TrayRestore,
    Count // not a text
};

struct AddedTextRow
{
    AddedText text;
    std::string_view key;    // ASCII
    std::string_view danish; // Windows-1252 bytes
};

inline constexpr std::string_view kAddedTextSection = "Messages";

std::span<const AddedTextRow> addedTextTable();

// The text in the interface language loaded last (Danish until a file is loaded), Windows-1252
// bytes. "%1", "%2", ... stand where the caller puts its values.
const std::string& addedText(AddedText text);

// Reads the [Messages] section of a language file; a missing file, section or key gives the
// Danish text. Never fails.
void loadAddedTexts(const std::string& languageFile);

} // namespace nuvio
