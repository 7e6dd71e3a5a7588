// SPDX-License-Identifier: MIT
#include "core/language/languagetable.h"

#include "core/language/languagekey.h"
#include "core/language/profileini.h"
#include "core/platform/textfile.h"

namespace nuvio {

const std::array<LanguageRow, 43>& languageTable()
{
    using T = TextTarget;
    static const std::array<LanguageRow, 43> rows = {{
        {"MainMenu", "Filer", "Filer", "", T::Filer1},
        {"MainMenu", "Afslut", "Afslut", "", T::Afslut1},
        {"MainMenu", "Vis", "Vis", "", T::Vis1},
        {"MainMenu", "Startside", "Startside", "", T::Startside1},
        {"MainMenu", "Nyheder", "Nyheder", "", T::Nyheder1},
        {"MainMenu", "NetRadio", "NetRadio", "", T::NetRadio1},
        {"MainMenu", "S\xF8geside", "S\xF8geside", "", T::Sgeside1},
        {"MainMenu", "Funktioner", "Funktioner", "", T::Funktioner1},
        {"MainMenu", "Opdater", "Opdat\xE9r def.filer", "", T::Opdatrnuvio1},
        {"MainMenu", "Indstillinger", "Indstillinger", "", T::Indstillinger1},
        {"MainMenu", "Hj\xE6lp", "Hj\xE6lp", "", T::Hjlp1},
        {"MainMenu", "Hj\xE6lp", "Hj\xE6lp", "", T::Hjlp2},
        {"MainMenu", "Om", "Om nuvio", "", T::Om1},
        {"General", "Opdaterer nyheder", "Opdaterer nyheder", "", T::MainLabel1},
        {"General", "Opdatering komplet", "Opdatering komplet", "", T::MainLabel2},
        {"Settings", "Indstillinger", "Indstillinger", "", T::SettingsCaption},
        {"Settings", "Avanceret", "Avanceret", "", T::TabSheet1},
        {"Settings", "Sprog", "Sprog", ":", T::Label11},
        {"Settings", "Startside", "Startside", ":", T::Label5},
        {"Settings", "Sts1", "Nyheder", "", T::Sts1},
        {"Settings", "Sts2", "NetRadio", "", T::Sts2},
        {"Settings", "Sts3", "S\xF8geside", "", T::Sts3},
        {"Settings", "Opdat\xE9r nyheder v/programstart", "Opdat\xE9r nyheder v/programstart", ":",
         T::Label6},
        {"Settings", "Opdaterings interval (minutter)", "Opdaterings interval (minutter)", ":",
         T::Label1},
        {"Settings", "Max antal nyheder pr. feed", "Max antal nyheder pr. feed", ":", T::Label2},
        {"Settings", "OBS funktion", "OBS funktion", ":", T::Label8},
        {"Settings", "Obs1", "G\xF8r ingenting", "", T::Obs1},
        {"Settings", "Obs2", "Vis nyhederne", "", T::Obs2},
        {"Settings", "Obs3", "Giv lyd", "", T::Obs3},
        {"Settings", "Obs4", "Giv lyd og vis nyhederne", "", T::Obs4},
        {"Settings", "Minim\xE9r program til systemtray", "Minim\xE9r program til systemtray", ":",
         T::Label7},
        {"Settings", "Opdat\xE9r def.filer \xE6ldre end (dage)",
         "Opdat\xE9r def.filer \xE6ldre end (dage)", ":", T::Label9},
        {"Settings", "Nyheder", "Nyheder", "", T::TabSheet2},
        {"Settings", "Valgte nyhedsfeeds", "Valgte nyhedsfeeds", ":", T::Label3},
        {"Settings", "Mulige nyhedsfeeds", "Mulige nyhedsfeeds", ":", T::Label4},
        {"Settings", "Tilf\xF8j", "Tilf\xF8j", " ->", T::Button5},
        {"Settings", "Fjern", "Fjern", "", T::Button6},
        {"Settings", "Ryk op", "Ryk op", "", T::Button3},
        {"Settings", "Ryk ned", "Ryk ned", "", T::Button4},
        {"Settings", "Nyt feed", "Nyt feed", "", T::Button7},
        {"General", "Annuller", "Annuller", "", T::Button1},
        {"General", "OK", "OK", "", T::Button2},
        {"Downloading", "Opdaterer definitions filer", "Opdaterer definitions filer", "",
         T::DownloadingCaption},
    }};
    return rows;
}

std::vector<LanguageText> readLanguageTexts(const std::string& path)
{
    const ProfileIni ini = ProfileIni::load(path);
    std::vector<LanguageText> texts;
    texts.reserve(languageTable().size());
    for (const auto& row : languageTable())
        texts.push_back({row.target, ini.read(row.section, row.key, row.defaultText) +
                                         std::string(row.suffix)});
    return texts;
}

std::vector<std::string> readLanguageList(const std::string& path)
{
    std::string text = loadFileBytes(path);
    if (const auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return splitLines(text);
}

std::string languageFilePath(const std::string& installPath, std::string_view userLanguage)
{
    return installPath + "/" + languageKey(userLanguage) + ".ini";
}

} // namespace nuvio
