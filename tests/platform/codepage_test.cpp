// SPDX-License-Identifier: MIT
#include "core/platform/codepage.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(CodePage, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}

TEST(CodePage, DanishLettersAndTheHighControls)
{
    struct Case
    {
        std::string bytes;
        QString text;
    };
    const Case cases[] = {
        {"S\xF8g p\xE5 nettet", QString::fromUtf8("Søg på nettet")},
        {"\xC6\xD8\xC5\xE6\xF8\xE5", QString::fromUtf8("ÆØÅæøå")},
        {"\x80", QString::fromUtf8("€")},
        {"\x93quote\x94", QString::fromUtf8("“quote”")},
        {"\x96\x97\x85", QString::fromUtf8("–—…")},
        {"\x81\x8D\x8F\x90\x9D",
         QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromCp1252(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(toCp1252(c.text), c.bytes) << c.bytes;
    }
}

TEST(CodePage, CharactersTheCodePageLacksBecomeQuestionMarks)
{
    EXPECT_EQ(toCp1252(QString::fromUtf8("a\u4E2Db")), "a?b");
    EXPECT_EQ(toCp1252(QString::fromUtf8("x\U0001F600y")), "x?y")
        << "one mark for a surrogate pair";
    EXPECT_EQ(toCp1252(QString::fromUtf8("\u0100")), "?");
}
