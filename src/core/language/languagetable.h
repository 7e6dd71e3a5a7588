// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// Where a text of the language file goes.
enum class TextTarget {
    Filer1,
    Afslut1,
    Vis1,
    Startside1,
    Nyheder1,
    NetRadio1,
    Sgeside1,
    Funktioner1,
    Opdatrnuvio1,
    Indstillinger1,
    Hjlp1,
    Hjlp2,
    Om1,
    MainLabel1,
    MainLabel2,
    SettingsCaption,
    TabSheet1,
    Label11,
    Label5,
    Sts1,
    Sts2,
    Sts3,
    Label6,
    Label1,
    Label2,
    Label8,
    Obs1,
    Obs2,
    Obs3,
    Obs4,
    Label7,
    Label9,
    TabSheet2,
    Label3,
    Label4,
    Button5,
    Button6,
    Button3,
    Button4,
    Button7,
    Button1,
    Button2,
    DownloadingCaption,
};

struct LanguageRow
{
    std::string_view section;
    std::string_view key;         // Windows-1252 bytes
    std::string_view defaultText; // Windows-1252 bytes
    std::string_view suffix;
    TextTarget target;
};

// The 43 texts, in the order they are applied.
const std::array<LanguageRow, 43>& languageTable();

struct LanguageText
{
    TextTarget target;
    std::string text; // with its suffix, Windows-1252 bytes
};

// The texts of a language file (a missing file gives every default), in table order.
std::vector<LanguageText> readLanguageTexts(const std::string& path);

// The lines of languages.ini: CR LF, CR or LF end a line, the text ends at its first NUL,
// blank lines count and nothing is trimmed. Failures carry "Cannot open file "%s". %s".
std::vector<std::string> readLanguageList(const std::string& path);

// InstallPath + "/" + language key + ".ini".
std::string languageFilePath(const std::string& installPath, std::string_view userLanguage);

} // namespace nuvio
