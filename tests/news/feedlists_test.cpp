// SPDX-License-Identifier: MIT
#include "core/news/feedlists.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "support/tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace nuvio;
using Fields = std::vector<std::string>;

TEST(CommaField, SplitsLikeTheCatalogueExpects)
{
    struct Case
    {
        std::string line;
        Fields fields;
    };
    const Case cases[] = {
        {"DR,http://dr.dk/rss", {"DR", "http://dr.dk/rss"}},
        {"DR Nyheder,http://dr.dk/rss", {"DR", "Nyheder", "http://dr.dk/rss"}},
        {"\"DR Nyheder\",http://dr.dk/rss", {"DR Nyheder", "http://dr.dk/rss"}},
        {"\"Say \"\"hi\"\"\",\"http://x.dk/a b\"", {"Say \"hi\"", "http://x.dk/a b"}},
        {"  \t DR ,  http://x  ", {"DR", "http://x"}},
        {"DR,", {"DR", ""}},
        {"DR,  ", {"DR"}},
        {"DR, ,x", {"DR", "", "x"}},
        {",x", {"", "x"}},
        {"a,,b", {"a", "", "b"}},
        {"\"\",x", {"", "x"}},
        {"", {}},
        {"   ", {}},
        {std::string("DR,http://a\0,junk", 17), {"DR", "http://a"}},
        {std::string("\0DR,x", 5), {}},
        {"\xC6"
         "blegr\xF8"
         "d,http://\xE5.dk",
         {"\xC6"
          "blegr\xF8"
          "d",
          "http://\xE5.dk"}},
        {"\"unclosed,x", {"unclosed,x"}},
        {"a\"b,c", {"a\"b", "c"}},
        {"\"q\"tail,x", {"q", "tail", "x"}},
        {"\x01\x02"
         "a\x1f"
         "b",
         {"a", "b"}},
        {"<<< Danske nyheder >>>", {"<<<", "Danske", "nyheder", ">>>"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commaFields(c.line), c.fields) << testing::PrintToString(c.line);
}

TEST(CommaField, MissingFieldIsAnError)
{
    EXPECT_EQ(CommaField("a,b", 1), "b");
    for (const auto& [line, index] :
         std::vector<std::pair<std::string, int>>{{"", 0}, {"a", 1}, {"a,  ", 1}, {"a,b", 5}}) {
        try {
            CommaField(line, index);
            FAIL() << line;
        } catch (const NuvioError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(CatalogDisplayText, HeadingsWholeEntriesByName)
{
    EXPECT_EQ(catalogDisplayText("  <<< Danske nyheder, alle >>>  "),
              "<<< Danske nyheder, alle >>>");
    EXPECT_EQ(catalogDisplayText("DR,http://dr.dk/rss"), "DR");
    EXPECT_EQ(catalogDisplayText("\" DR Sport \",http://x"), "DR Sport");
    EXPECT_THROW(catalogDisplayText(""), NuvioError);
}

TEST(ResolveFeedUrl, DirectUrlsAndCatalogueNames)
{
    const std::vector<std::string> catalog = {
        "<<< Nyheder >>>", "DR,http://dr.dk/first",  "\"TV 2\",http://tv2.dk/rss",
        "Empty,",          "DR,http://dr.dk/second", "\" Padded \",http://padded",
        "dr,http://lower",
    };
    struct Case
    {
        std::string chosen;
        std::string url;
    };
    const Case cases[] = {
        {"DR", "http://dr.dk/second"},
        {"dr", "http://lower"},
        {"TV 2", "http://tv2.dk/rss"},
        {"Empty", ""},
        {"Unknown", ""},
        {"Padded", ""},
        {" Padded ", "http://padded"},
        {"<<<", "Nyheder"},
        {"http://direct.dk/feed", "http://direct.dk/feed"},
        {"HTTP://Caps.dk/Feed", "HTTP://Caps.dk/Feed"},
        {"https://secure.dk/feed", "https://secure.dk/feed"},
        {"HtTpS://secure.dk/feed", "HtTpS://secure.dk/feed"},
        {"ftp://x", ""},
        {"http:/x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveFeedUrl(c.chosen, catalog), c.url) << c.chosen;

    EXPECT_THROW(ResolveFeedUrl("x", {"a,b", ""}), NuvioError)
        << "a blank catalogue line has no name";
    try {
        ResolveFeedUrl("Solo", {"Solo"});
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_EQ(ResolveFeedUrl("http://x", {""}), "http://x") << "direct URLs need no catalogue";
}

TEST(FeedListFiles, ReadingAndWriting)
{
    test::TempDir dir;
    const std::string selected = dir.file("newsselected.txt");
    dir.write("newsselected.txt", "DR\r\nTV 2\nhttp://x\rlast");
    EXPECT_EQ(readSelectedFeeds(selected), (Fields{"DR", "TV 2", "http://x", "last"}));
    dir.write("newsselected.txt", "DR\r\nTV 2\r\n");
    EXPECT_EQ(readSelectedFeeds(selected), (Fields{"DR", "TV 2"}));

    dir.write("long.txt", std::string(5000, 'a') + "\r\nb");
    const auto lines = readListForRefresh(dir.file("long.txt"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 4096u);

    dir.write("newsfeeds.txt", "<<< A >>>\r\nDR,http://dr\r\n");
    EXPECT_EQ(readCatalogDisplayTexts(dir.file("newsfeeds.txt")), (Fields{"<<< A >>>", "DR"}));
    dir.write("newsfeeds.txt", "DR,http://dr\r\n\r\nTV2,http://tv2\r\n");
    try {
        readCatalogDisplayTexts(dir.file("newsfeeds.txt"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    try {
        readCatalogDisplayTexts(dir.file("missing.txt"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }

    writeSelectedFeeds(selected, {"DR", "  typed  ", "http://x"});
    EXPECT_EQ(dir.read("newsselected.txt"), "DR\r\n  typed  \r\nhttp://x\r\n");
    EXPECT_EQ(readSelectedFeeds(selected), (Fields{"DR", "  typed  ", "http://x"}));
    writeSelectedFeeds(selected, {});
    EXPECT_FALSE(std::filesystem::exists(selected)) << "an empty list leaves no file";
    EXPECT_NO_THROW(writeSelectedFeeds(selected, {})) << "nor fails when there is none";
}

namespace {
int diskFull(std::size_t)
{
    return ENOSPC;
}
} // namespace

TEST(FeedListFiles, FailedWriteKeepsTheOldList)
{
    test::TempDir dir;
    const std::string selected = dir.file("newsselected.txt");
    dir.write("newsselected.txt", "Old\r\n");
    setWriteFaultHook(diskFull);
    try {
        writeSelectedFeeds(selected, {"New"});
        setWriteFaultHook(nullptr);
        FAIL();
    } catch (const NuvioError& e) {
        setWriteFaultHook(nullptr);
        EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_EQ(dir.read("newsselected.txt"), "Old\r\n");

    try {
        writeSelectedFeeds(dir.file("gone/newsselected.txt"), {"New"});
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}
