// SPDX-License-Identifier: MIT
#include "core/news/inerttext.h"
#include "core/news/newspage.h"
#include "core/platform/errors.h"
#include "support/tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace nuvio;

namespace {

const std::string kHeader =
    "<html>\r\n"
    "<head>\r\n"
    "<link rel=\"stylesheet\" href=\"default.css\" type=\"text/css\"/>\r\n"
    "</head>\r\n"
    "<body style=\"margin: 0px; padding: 0px; overflow-x: hidden\" ONCONTEXTMENU=\"return "
    "false\"><nobr>\r\n"
    "<img src=\"blank.gif\" width=\"5\" height=\"5\"><br>\r\n";
const std::string kSpacer = "<img src=\"blank.gif\" width=\"5\" height=\"5\"><br>\r\n";
const std::string kFooter = kSpacer + kSpacer + "</nobr></body>\r\n</html>\r\n";

std::string heading(const std::string& link, const std::string& title)
{
    return kSpacer + "<a href=\"" + link +
           "\" style=\"background-image: url('stripes_gray.gif'); text-decoration: none; "
           "color:#000000; width:100%\" "
           "Title=\"" +
           title +
           "\"><font size=+1><img src=\"blank.gif\" width=\"10\" height=\"10\" hspace=\"2\" "
           "border=\"0\"><b>" +
           title + "</b></font></a><br>\r\n" + kSpacer;
}

std::string item(const std::string& link, const std::string& title, bool isNew)
{
    return "<div class=\"feed-line\"><a href=\"" + link + "\" class=\"feed-line\" Title=\"" +
           title + "\"><img src=\"" + (isNew ? "feed-line-new" : "feed-line") +
           ".gif\" align=\"absmiddle\" width=\"10\" height=\"10\" hspace=\"2\" border=\"0\">" +
           title + "</a></div>\r\n";
}

} // namespace

TEST(NewsPage, EmptySelectionIsHeaderAndFooter)
{
    test::TempDir dir;
    NewsPageWriter page(dir.file("news.html"), "");
    page.beginPage();
    page.endPage();
    EXPECT_EQ(dir.read("news.html"), kHeader + kFooter);
    EXPECT_FALSE(page.newNews());
}

TEST(NewsPage, WholePageByteForByte)
{
    test::TempDir dir;
    const std::string previous = previousPageText(dir.file("news.html"));
    EXPECT_EQ(previous, "") << "no page yet";
    NewsPageWriter page(dir.file("news.html"), previous);
    page.beginPage();
    page.feedHeading("http://dr.dk/", "DR &amp; venner");
    page.item("http://dr.dk/1", "F\xF8rste");
    page.item("", "Uden link");
    page.feedHeading("", "");
    page.endPage();
    EXPECT_EQ(dir.read("news.html"), kHeader + heading("http://dr.dk/", "DR &amp; venner") +
                                         item("http://dr.dk/1", "F\xF8rste", true) +
                                         item("", "Uden link", true) + heading("", "") + kFooter);
    EXPECT_TRUE(page.newNews());
}

TEST(NewsPage, NewOrSeenAgainstThePreviousPage)
{
    test::TempDir dir;
    // The previous page as the file held it: lone LFs become CR LF when the lines are joined.
    dir.write("news.html",
              "<a href=\"http://dr.dk/nyheder/lang-artikel\">\nhttp://tv2.dk/a\r\nchannel "
              "http://kanal.dk/\n");
    const std::string previous = previousPageText(dir.file("news.html"));
    EXPECT_EQ(previous,
              "<a href=\"http://dr.dk/nyheder/lang-artikel\">\r\nhttp://tv2.dk/a\r\nchannel "
              "http://kanal.dk/\r\n");
    struct Case
    {
        std::string link;
        bool isNew;
    };
    const Case cases[] = {
        {"http://dr.dk/nyheder/lang-artikel", false},
        {"http://dr.dk/nyheder/lang", false}, // the start of a longer link
        {"http://dr.dk/nyheder/lang-artikel/2", true},
        {"http://tv2.dk/a", false},
        {"HTTP://TV2.DK/A", true},   // case matters
        {"http://kanal.dk/", false}, // a channel link counts too
        {"", true},
        {"tv2.dk/a\r\nchannel", false}, // the joining CR LF is part of the text
        {"http://ny.dk/x", true},
        {"http://ny.dk/x", true}, // twice in one page: both judged against the previous page
    };
    NewsPageWriter page(dir.file("news.html"), previous);
    page.beginPage();
    std::string expected = kHeader;
    for (const auto& c : cases) {
        page.item(c.link, "t");
        expected += item(c.link, "t", c.isNew);
    }
    page.endPage();
    EXPECT_EQ(dir.read("news.html"), expected + kFooter);
}

TEST(NewsPage, NothingSeenLeavesTheFlagDown)
{
    test::TempDir dir;
    NewsPageWriter page(dir.file("news.html"), "http://a http://b");
    page.beginPage();
    page.feedHeading("http://c", "c");
    page.item("http://a", "a");
    page.item("http://b", "b");
    page.endPage();
    EXPECT_FALSE(page.newNews());
}

TEST(NewsPage, PageReplacesThePreviousOneOnlyWhenComplete)
{
    test::TempDir dir;
    dir.write("news.html", "previous");
    NewsPageWriter page(dir.file("news.html"), "");
    page.beginPage();
    page.feedHeading("http://x", "X");
    EXPECT_EQ(dir.read("news.html"), "previous") << "a page being written is not shown";
    page.abandon();
    EXPECT_FALSE(page.isOpen());
    EXPECT_EQ(dir.read("news.html"), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file left behind";
    page.beginPage();
    page.feedHeading("http://x", "X");
    page.endPage();
    EXPECT_EQ(dir.read("news.html"),
              kHeader + heading("http://x", "X") + NewsPageWriter::footerText());
}

TEST(NewsPage, FeedTextNeverBecomesMarkup)
{
    test::TempDir dir;
    struct Case
    {
        std::string title, link;
        std::string writtenTitle, writtenLink;
    };
    const Case cases[] = {
        {"x\" onmouseover=\"alert(1)", "http://a/\"onclick=\"x",
         "x&quot; onmouseover=&quot;alert(1)", "http://a/&quot;onclick=&quot;x"},
        {"<img src=x onerror=alert(1)>", "http://b", "&lt;img src=x onerror=alert(1)&gt;",
         "http://b"},
        {"R&amp;D &lt;b&gt;", "http://c?a=1&b=2", "R&amp;D &lt;b&gt;", "http://c?a=1&b=2"},
        {"t", "javascript:alert(1)", "t", ""},
        {"t", "  JavaScript:alert(1)", "t", ""},
        {"t", "\x01\x02java\tscr\nipt:alert(1)", "t", ""},
        {"t", "vbscript:msgbox", "t", ""},
        {"t", "DATA:text/html,<script>", "t", ""},
        {"t", "&#106;avascript:alert(1)", "t", ""},
        {"t", "&#x6A&#x61vascript&colon;alert(1)", "t", ""},
        {"t", "javascript&#58;alert(1)", "t", ""},
        {"t", "java&Tab;script:x", "t", ""},
        {"t", "http://ok.dk/javascript:x", "t", "http://ok.dk/javascript:x"},
        {"t", "datafile.html", "t", "datafile.html"},
        {"t", "/relative/javascript:", "t", "/relative/javascript:"},
    };
    for (const auto& c : cases) {
        NewsPageWriter page(dir.file("news.html"), "");
        page.beginPage();
        page.feedHeading(c.link, c.title);
        page.item(c.link, c.title);
        page.endPage();
        EXPECT_EQ(dir.read("news.html"), kHeader + heading(c.writtenLink, c.writtenTitle) +
                                             item(c.writtenLink, c.writtenTitle, true) + kFooter)
            << c.title << " " << c.link;
    }
}

TEST(NewsPage, SeenRuleComparesTheLinkAsWritten)
{
    test::TempDir dir;
    const auto refresh = [&](const std::vector<std::pair<std::string, std::string>>& items) {
        NewsPageWriter page(dir.file("news.html"), previousPageText(dir.file("news.html")));
        page.beginPage();
        for (const auto& [link, title] : items)
            page.item(link, title);
        page.endPage();
        return page.newNews();
    };
    EXPECT_TRUE(refresh({{"http://a/\"q\"", "t"}, {"javascript:x", "u \"v\""}, {"", "w"}}));
    EXPECT_FALSE(refresh({{"http://a/\"q\"", "t"}, {"javascript:x", "u \"v\""}, {"", "w"}}))
        << "items without a link are known again by their title";
    const std::string page = dir.read("news.html");
    EXPECT_NE(page.find(item("http://a/&quot;q&quot;", "t", false)), std::string::npos);
    EXPECT_NE(page.find(item("", "u &quot;v&quot;", false)), std::string::npos);
    EXPECT_TRUE(refresh({{"", "x"}, {"", "w"}}));
    EXPECT_NE(dir.read("news.html").find(item("", "x", true) + item("", "w", false)),
              std::string::npos);
    EXPECT_TRUE(refresh({{"", "u"}})) << "a title is known only whole";
}

TEST(NewsPage, LongTitlesAreCutBeforeAReference)
{
    struct Case
    {
        const char* what;
        std::string title;
        std::string written;
    };
    const std::string a999(999, 'a'), a995(995, 'a');
    const Case cases[] = {
        {"at the limit", std::string(1000, 'a'), std::string(1000, 'a')},
        {"over it", std::string(5000, 'b'), std::string(1000, 'b')},
        {"a reference the cut would split", a995 + "&#9733;" + std::string(4000, 'c'), a995},
        {"a reference whole at the end", a995 + "&amp;" + "tail", a995 + "&amp;"},
        {"an ampersand farther back stays", std::string(980, 'a') + "&#9733" + std::string(30, 'd'),
         std::string(980, 'a') + "&#9733" + std::string(14, 'd')},
        {"escaped only after the cut", a999 + "\"x", a999 + "&quot;"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        NewsPageWriter page(dir.file("news.html"), "");
        page.beginPage();
        page.feedHeading("http://h", c.title);
        page.item("http://i", c.title);
        page.endPage();
        EXPECT_EQ(dir.read("news.html"), kHeader + heading("http://h", c.written) +
                                             item("http://i", c.written, true) + kFooter)
            << c.what;
    }
}

TEST(NewsPage, UnwritablePageIsAnIoError)
{
    test::TempDir dir;
    NewsPageWriter page(dir.file("no/such/news.html"), "");
    try {
        page.beginPage();
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    std::filesystem::create_directory(dir.file("news.html"));
    NewsPageWriter folder(dir.file("news.html"), "");
    try {
        folder.beginPage();
        folder.endPage();
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
}
