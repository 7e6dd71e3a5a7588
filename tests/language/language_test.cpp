// SPDX-License-Identifier: MIT
#include "core/language/addedtexts.h"
#include "core/language/languagekey.h"
#include "core/language/languagetable.h"
#include "core/language/profileini.h"
#include "core/platform/errors.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(ProfileIni, PrivateProfileRules)
{
    const std::string text = "; a comment\r\n"
                             "[MainMenu]\r\n"
                             "Filer=  Fil  \r\n"
                             "AFSLUT=\"  Quit  \"\r\n"
                             "Vis='View'\n"
                             "Startside=\"half\r\n"
                             "Empty=\r\n"
                             "Quotes=\"\"\r\n"
                             "Inner=a \"b\" c\r"
                             "S\xF8geside=S\xF8g\r\n"
                             "  Spaced key  =  x  \r\n"
                             "Hj\xE6lp=first\r\n"
                             "Hj\xE6lp=second\r\n"
                             "Long=" +
                             std::string(3000, 'x') +
                             "\r\n"
                             "NoEquals\r\n"
                             "[ settings ]\r\n"
                             "Sprog=Language\r\n";
    const auto ini = ProfileIni::parse(text);
    struct Case
    {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"MainMenu", "Filer", "Fil"},
        {"mainmenu", "afslut", "  Quit  "},
        {"MAINMENU", "Vis", "View"},
        {"MainMenu", "Startside", "\"half"},
        {"MainMenu", "Empty", ""},
        {"MainMenu", "Quotes", ""},
        {"MainMenu", "Inner", "a \"b\" c"},
        {"MainMenu", "S\xD8GESIDE", "S\xF8g"},
        {"MainMenu", "Spaced key", "x"},
        {"MainMenu", "Hj\xC6LP", "first"},
        {"MainMenu", "Long", std::string(2047, 'x')},
        {"MainMenu", "NoEquals", std::nullopt},
        {"MainMenu", "Missing", std::nullopt},
        {"Settings", "sprog", "Language"},
        {"Missing", "Filer", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.value(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(ini.read("MainMenu", "Empty", "default"), "") << "a present empty value is empty";
    EXPECT_EQ(ini.read("MainMenu", "Missing", "default"), "default");
    EXPECT_EQ(ProfileIni::parse(std::string("[A]\r\nk=v\0\r\nj=w", 12)).value("A", "j"),
              std::nullopt)
        << "the text ends at a NUL";
}

TEST(LanguageTexts, DefaultsAndSuffixes)
{
    test::TempDir dir;
    const auto defaults = readLanguageTexts(dir.file("missing.ini"));
    ASSERT_EQ(defaults.size(), 43u);
    EXPECT_EQ(defaults[12].text, "Om nuvio");
    EXPECT_EQ(defaults[17].text, "Sprog:");
    EXPECT_EQ(defaults[18].text, "Startside:");
    EXPECT_EQ(defaults[21].text, "S\xF8geside");
    EXPECT_EQ(defaults[35].text, "Tilf\xF8j ->");
    EXPECT_EQ(defaults[42].text, "Opdaterer definitions filer");

    dir.write("english.ini",
              "[mainmenu]\r\nOm=About\r\nhj\xE6lp=Help\r\n[Settings]\r\nSprog=\r\nTilf\xF8j=\r\n"
              "Sts3=\"Search\"\r\n[general]\r\nOpdaterer nyheder=Updating news\r\n");
    const auto texts = readLanguageTexts(languageFilePath(dir.path(), "English"));
    EXPECT_EQ(texts[10].text, "Help");
    EXPECT_EQ(texts[11].text, "Help") << "both help entries share one key";
    EXPECT_EQ(texts[12].text, "About");
    EXPECT_EQ(texts[13].text, "Updating news");
    EXPECT_EQ(texts[17].text, ":") << "an empty value keeps its suffix";
    EXPECT_EQ(texts[35].text, " ->");
    EXPECT_EQ(texts[21].text, "Search");
    EXPECT_EQ(texts[0].text, "Filer") << "what the file lacks keeps its default";
}

TEST(LanguageFiles, NamesAndList)
{
    EXPECT_EQ(languageFilePath("/i", "Dansk"), "/i/dansk.ini");
    EXPECT_EQ(languageFilePath("/i", ""), "/i/.ini");
    EXPECT_EQ(languageFilePath("/i", "Norsk "), "/i/norsk .ini");

    test::TempDir dir;
    dir.write("languages.ini", std::string("Dansk\r\nEnglish \n\rSvenska\r\nhidden\0more", 38));
    EXPECT_EQ(readLanguageList(dir.file("languages.ini")),
              (std::vector<std::string>{"Dansk", "English ", "", "Svenska", "hidden"}));
    dir.write("languages.ini", "Dansk\r\n");
    EXPECT_EQ(readLanguageList(dir.file("languages.ini")), (std::vector<std::string>{"Dansk"}));
    try {
        readLanguageList(dir.file("missing.ini"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.file("missing.ini") +
                                             "\". No such file or directory");
    }
}

TEST(LanguageFiles, EveryShippedLanguageHasEveryText)
{
    const std::string data = std::string(NUVIO_SOURCE_DIR) + "/data";
    const auto languages = readLanguageList(data + "/languages.ini");
    ASSERT_GE(languages.size(), 5u);
    EXPECT_EQ(languages.front(), "Dansk");
    for (const auto& language : languages) {
        const auto ini = ProfileIni::load(languageFilePath(data, language));
        for (const auto& row : languageTable()) {
            const auto text = ini.value(row.section, row.key);
            ASSERT_TRUE(text.has_value()) << language << ": " << row.section << "/" << row.key;
            EXPECT_FALSE(text->empty()) << language << ": " << row.section << "/" << row.key;
        }
        for (const auto& row : addedTextTable()) {
            const auto text = ini.value(kAddedTextSection, row.key);
            ASSERT_TRUE(text.has_value()) << language << ": " << row.key;
            EXPECT_FALSE(text->empty()) << language << ": " << row.key;
        }
    }
    // What the program says by itself in Danish is what the Danish file says.
    const auto danskFile = ProfileIni::load(languageFilePath(data, "Dansk"));
    for (const auto& row : addedTextTable())
        EXPECT_EQ(danskFile.read(kAddedTextSection, row.key, ""), row.danish) << row.key;
    // The Danish file says what the program says by itself.
    const auto dansk = readLanguageTexts(languageFilePath(data, "Dansk"));
    const auto defaults = readLanguageTexts(data + "/no-such-language.ini");
    for (std::size_t i = 0; i < dansk.size(); ++i)
        EXPECT_EQ(dansk[i].text, defaults[i].text) << i;
}
