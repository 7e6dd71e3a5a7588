// SPDX-License-Identifier: MIT
#include "core/news/feedtext.h"
#include "core/platform/asciitext.h"

#include <gtest/gtest.h>

using namespace nuvio;

namespace {

std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

} // namespace

TEST(PrepareFeedText, EncodingsAndAmpersandCodes)
{
    struct Case
    {
        const char* what;
        std::string body;
        std::string contentType;
        std::string text;
    };
    // "Blåbærgrød – “citat” ★" in UTF-8, and as the page holds it.
    const std::string utf8 = "Bl\xC3\xA5"
                             "b\xC3\xA6rgr\xC3\xB8"
                             "d \xE2\x80\x93 \xE2\x80\x9C"
                             "citat\xE2\x80\x9D \xE2\x98\x85";
    const std::string page = "Bl\xE5"
                             "b\xE6rgr\xF8"
                             "d \x96 \x93"
                             "citat\x94 &#9733;";
    const Case cases[] = {
        {"&#38; read as &, other #38; kept", "R&#38;D #38; &#38;#38;", "", "R&D #38; &#38;"},
        {"bug numbers stay", "Fixed bug #38; see notes", "", "Fixed bug #38; see notes"},
        {"no declaration, valid UTF-8", "<?xml version=\"1.0\"?><t>" + utf8 + "</t>", "",
         "<?xml version=\"1.0\"?><t>" + page + "</t>"},
        {"single quotes (Blogger, lxml)", "<?xml version='1.0' encoding='UTF-8'?>" + utf8, "",
         "<?xml version='1.0' encoding='UTF-8'?>" + page},
        {"blanks around =", "  <?xml version=\"1.0\" encoding = \"utf-8\" ?>" + utf8, "",
         "  <?xml version=\"1.0\" encoding = \"utf-8\" ?>" + page},
        {"byte-order mark alone", "\xEF\xBB\xBF<rss>" + utf8, "", "<rss>" + page},
        {"UTF-16 little-endian", utf16(u"<rss>\u00E6\u2605\U0001F600</rss>", false), "",
         "<rss>\xE6&#9733;&#128512;</rss>"},
        {"UTF-16 big-endian", utf16(u"<rss>\u00F8</rss>", true), "", "<rss>\xF8</rss>"},
        {"UTF-16, a lone surrogate",
         utf16(u"a\xD800"
               u"b",
               false),
         "", "a?b"},
        {"KOI8-R declared", "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\xF0\xD2\xC9", "",
         "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>&#1055;&#1088;&#1080;"},
        {"windows-1252 declared", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\xC3\xA6", "",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\xC3\xA6"},
        {"ISO-8859-1 declared", "<?xml version='1.0' encoding='latin1'?>\xE6\x80", "",
         "<?xml version='1.0' encoding='latin1'?>\xE6\x80"},
        {"an unknown name keeps the bytes", "<?xml version='1.0' encoding='x-bogus'?>\xC3\xA6",
         "text/xml; charset=utf-8", "<?xml version='1.0' encoding='x-bogus'?>\xC3\xA6"},
        {"UTF-16 declared without a mark is not believed",
         "<?xml version='1.0' encoding='utf-16'?>\xC3\xA6", "",
         "<?xml version='1.0' encoding='utf-16'?>\xE6"},
        {"UTF-16 under another name without a mark is not believed",
         "<?xml version='1.0' encoding='UnicodeBig'?>\xC3\xA6", "text/xml; charset=UnicodeLittle",
         "<?xml version='1.0' encoding='UnicodeBig'?>\xE6"},
        {"charset only in the answer", "<rss>\xF0\xD2</rss>", "text/xml; charset=\"koi8-r\"",
         "<rss>&#1055;&#1088;</rss>"},
        {"the declaration before the answer", "<?xml version='1.0' encoding='iso-8859-1'?>\xE6",
         "text/xml; charset=koi8-r", "<?xml version='1.0' encoding='iso-8859-1'?>\xE6"},
        {"undeclared windows-1252 bytes", "<rss>bl\xE5 \x93x\x94</rss>", "",
         "<rss>bl\xE5 \x93x\x94</rss>"},
        {"a bad byte costs only itself",
         "encoding=\"utf-8\" a\xFF"
         "b\xC3\xA6",
         "", "encoding=\"utf-8\" a?b\xE6"},
        {"declaration anywhere counts", "<x>encoding=\"utf16</x>\xC3\xA6", "",
         "<x>encoding=\"utf16</x>\xE6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prepareFeedText(c.body, c.contentType), c.text) << c.what;
}

TEST(Utf8ToPageText, MaximalInvalidSubsequences)
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
        {"\xC2\x81", "&#129;"}, // an unassigned byte of the code page is no character of it
        {"\xE2\x82\xAC\xC5\xB8", "\x80\x9F"},
        {"\xEF\xBF\xBD", "?"},
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
        EXPECT_EQ(utf8ToPageText(c.utf8), c.cp1252) << testing::PrintToString(c.utf8);
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
