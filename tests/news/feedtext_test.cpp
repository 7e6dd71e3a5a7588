// SPDX-License-Identifier: MIT
#include "core/news/feedtext.h"
#include "core/platform/asciitext.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(PrepareFeedText, AmpersandCodesAndTheUtf8Test)
{
    struct Case
    {
        const char* what;
        std::string body;
        std::string text;
    };
    const Case cases[] = {
        {"#38; removed", "R&#38;D #38;#38;", "R&D "},
        {"no declaration keeps the bytes", "<?xml version=\"1.0\"?><t>\xC3\xA6</t>",
         "<?xml version=\"1.0\"?><t>\xC3\xA6</t>"},
        {"utf-8 declared", "<?xml encoding=\"UTF-8\"?><t>\xC3\xA6\xC3\xB8\xC3\xA5 \xE2\x82\xAC</t>",
         "<?xml encoding=\"UTF-8\"?><t>\xE6\xF8\xE5 \x80</t>"},
        {"single quotes are not the declaration", "<?xml encoding='utf-8'?>\xC3\xA6",
         "<?xml encoding='utf-8'?>\xC3\xA6"},
        {"characters the code page lacks", "encoding=\"utf-8\" \xE4\xB8\xAD \xF0\x9F\x98\x80",
         "encoding=\"utf-8\" ? ?"},
        {"a bad byte costs only itself",
         "encoding=\"utf-8\" a\xFF"
         "b\xC3\xA6",
         "encoding=\"utf-8\" a?b\xE6"},
        {"declaration anywhere counts", "<x>encoding=\"utf16</x>\xC3\xA6",
         "<x>encoding=\"utf16</x>\xE6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prepareFeedText(c.body), c.text) << c.what;
}

TEST(Utf8ToCp1252, MaximalInvalidSubsequences)
{
    struct Case
    {
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"\xC3\xA6", "\xE6"},
        {"\xE2\x80\x9C"
         "q"
         "\xE2\x80\x9D",
         "\x93q\x94"},
        {"\xC2\x81", "?"}, // an unassigned byte of the code page is no character of it
        {"\xE2\x82\xAC\xC5\xB8", "\x80\x9F"},
        {"\xC3", "?"},                // cut short at the end
        {"\xE2\x82", "?"},            // one replacement for the valid prefix
        {"\xE2\x82x", "?x"},          // the byte that broke it starts afresh
        {"\xC0\xAF", "??"},           // overlong lead bytes are never valid
        {"\xE0\x80\xAF", "???"},      // nor overlong three-byte forms
        {"\xED\xA0\x80", "???"},      // nor surrogates
        {"\xF4\x90\x80\x80", "????"}, // nor beyond U+10FFFF
        {"\xF0\x9F\x98", "?"},
        {"\x80\xBF", "??"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252) << testing::PrintToString(c.utf8);
}

TEST(LowerAsciiCopy, OnlyCapitals)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string lower = lowerAsciiCopy(all);
    ASSERT_EQ(lower.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const int expected = (b >= 'A' && b <= 'Z') ? b + 32 : b;
        EXPECT_EQ(static_cast<unsigned char>(lower[static_cast<std::size_t>(b)]), expected) << b;
    }
}

TEST(StripMarkup, CdataAndTags)
{
    struct Case
    {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"<title>Hej</title>", "Hej"},
        {"<title><![CDATA[A <b>fed</b> titel]]></title>", "A fed titel"},
        {"<title>x<![CDATA[y]]>z</title>", "y"},
        {"]]>kept", "]]>kept"},
        {"<title><b>Fed</b> og <i>kursiv</i></title>", "Fed og kursiv"},
        {"a < b", "a < b"},
        {"a <b> c > d", "a  c > d"},
        {"<link>http://x.dk/?a=1&amp;b=2</link>", "http://x.dk/?a=1&amp;b=2"},
        {"<<>>", ">"},
        {"", ""},
        {"<title", "<title"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripMarkup(c.in), c.out) << c.in;
}
