// SPDX-License-Identifier: MIT
#include "core/news/feeddiscovery.h"
#include "core/news/feedscanner.h"
#include "core/news/jsonfeed.h"

#include <gtest/gtest.h>

using namespace nuvio;

namespace {

struct Recorder : FeedSink
{
    void feedHeading(std::string_view link, std::string_view title) override
    {
        lines.push_back("H " + std::string(link) + " | " + std::string(title));
    }
    void item(std::string_view link, std::string_view title) override
    {
        lines.push_back("I " + std::string(link) + " | " + std::string(title));
    }
    std::vector<std::string> lines;
};

std::vector<std::string> scan(const std::string& text, std::int32_t max = 25,
                              std::string_view address = {})
{
    Recorder recorder;
    int yields = 0;
    scanFeed(
        FeedText(text), max, recorder, [&] { ++yields; }, address);
    EXPECT_GT(yields, 0);
    return recorder.lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(FeedText, SearchAndCutSemantics)
{
    const FeedText feed("Ab<ITEM>cd<item>");
    EXPECT_EQ(feed.search("<item", 0), 3u);
    EXPECT_EQ(feed.search("<item", 1), 3u);
    EXPECT_EQ(feed.search("<item", 3), 3u);
    EXPECT_EQ(feed.search("<item", 4), 11u);
    EXPECT_EQ(feed.search("<item", 12), 0u);
    EXPECT_EQ(feed.search("<item", 4), 11u) << "a later answer does not spoil an earlier one";
    EXPECT_EQ(feed.search("<item", 100), 0u);
    EXPECT_EQ(feed.cut(3, 8), "<ITEM");
    EXPECT_EQ(feed.cut(0, 3), "Ab<") << "a start of 0 counts as 1 but the length is e - s";
    EXPECT_EQ(feed.cut(5, 5), "");
    EXPECT_EQ(feed.cut(5, 2), "");
    EXPECT_EQ(feed.cut(14, 100), "em>");
    EXPECT_EQ(feed.cut(100, 200), "");
}

TEST(ScanFeed, Rss2)
{
    const std::string rss =
        "<?xml version=\"1.0\"?><rss><channel><title>DR Nyheder</title>"
        "<link>http://dr.dk/</link><description>d</description>"
        "<item><title> Første </title><link>\n http://dr.dk/1 \n</link></item>"
        "<item><title><![CDATA[Anden <b>fed</b>]]></title><link>http://dr.dk/2</link></item>"
        "</channel></rss>";
    EXPECT_EQ(scan(rss), (Lines{"H http://dr.dk/ | DR Nyheder", "I http://dr.dk/1 | Første",
                                "I http://dr.dk/2 | Anden fed"}));
}

TEST(ScanFeed, EdgeCases)
{
    struct Case
    {
        const char* what;
        std::string feed;
        std::int32_t max;
        Lines lines;
    };
    const Case cases[] = {
        {"empty feed", "", 25, {"H  | "}},
        {"atom: no channel, link without end",
         "<feed><title>Atom</title><link href=\"http://a\"/><entry><title>E</title></entry></feed>",
         25,
         {"H  | Atom"}},
        {"channel title keeps its case and blanks",
         "<CHANNEL><TITLE> Big </TITLE><LINK> http://B "
         "</LINK><ITEM><TITLE>t</TITLE><LINK>l</LINK></ITEM></CHANNEL>",
         25,
         {"H  http://B  |  Big ", "I l | t"}},
        {"rss 1.0: the items element is no item",
         "<rdf><channel><title>C</title><link>http://c</link><items><seq/></items></channel>"
         "<item><title>A</title><link>http://a</link></item><item><title>B</title><link>http://b</"
         "link></item></rdf>",
         25,
         {"H http://c | C", "I http://a | A", "I http://b | B"}},
        {"max of 0 still takes one",
         "<channel><title>C</title><link>l</link><item><title>1</title><link>a</link></item>"
         "<item><title>2</title><link>b</link></item></channel>",
         0,
         {"H l | C", "I a | 1"}},
        {"max of 1",
         "<channel><link>l</link><item><title>1</title><link>a</link></item><item><title>2</"
         "title><link>b</link></item>",
         1,
         {"H l | 1", "I a | 1"}},
        {"an item without an end of link has none, and the scan never starts again",
         "<channel><link>l</link></channel><item><title>1</title><link>a</item>",
         3,
         {"H l | 1", "I  | 1"}},
        {"a date in a later item skips nothing",
         "<channel><link>l</link><item><title>1</title><link>a</link></item>"
         "<item><title>2</title><link>b</link></item>"
         "<item><title>3</title><link>c</link><dc:date>x</dc:date></item>"
         "<item><title>4</title><link>d</link></item>",
         25,
         {"H l | 1", "I a | 1", "I b | 2", "I c | 3", "I d | 4"}},
        {"an item's title and link are its own",
         "<channel><title>C</title><link>l</link><item><title>1</title><link>a</link></item>"
         "<item><title>No link</title><description>d</description></item>"
         "<item><link>b</link></item><item></item>"
         "<ITEM attr='x'><TITLE>3</TITLE><LINK>c</LINK></ITEM><items><title>no</title></items>"
         "<item/><item><title>Cut</title><link>http://cut",
         25,
         {"H l | C", "I a | 1", "I  | No link", "I b | ", "I  | ", "I c | 3", "I  | ", "I  | Cut"}},
        {"an item without an end tag ends where the next begins",
         "<channel><link>l</link><item><title>1</title><item><title>2</title><link>b</link>",
         25,
         {"H l | 1", "I  | 1", "I b | 2"}},
        {"nested tags in titles",
         "<channel><title>C</title><link>l</link><item><title><span><b>Hi</b></span></"
         "title><link><a>x</a></link></item>",
         25,
         {"H l | C", "I x | Hi"}},
        {"a channel without link takes its title from the first item",
         "<channel><item><title>T</title></item>",
         2,
         {"H  | T", "I  | T"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scan(c.feed, c.max), c.lines) << c.what;
}

TEST(ScanFeed, AtomEntriesAreListedLikeItems)
{
    const std::string atom = "<feed xmlns=\"http://www.w3.org/2005/Atom\">";
    struct Case
    {
        const char* what;
        std::string feed;
        std::int32_t max;
        Lines lines;
    };
    const Case cases[] = {
        {"atom 1.0: the feed's alternate link, each entry's alternate link",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- generated -->\n" + atom +
             "<title type=\"html\"> Blog &amp; co </title>"
             "<link rel=\"self\" href=\"http://b.dk/atom.xml\"/>"
             "<link href=\"http://b.dk/\"/>"
             "<entry><title><![CDATA[Første <b>indlæg</b>]]></title>"
             "<link rel=\"enclosure\" href=\"http://b.dk/1.mp3\"/>"
             "<link rel='alternate' type='text/html' href=' http://b.dk/1?a=1&amp;b=2 '/>"
             "</entry>"
             "<entry><link rel=\"enclosure\" href=\"http://b.dk/2.mp3\"/>"
             "<link rel=\"related\" href=\"http://b.dk/other\"/><title>Only an enclosure</title>"
             "</entry>"
             "<entry><title>No link</title></entry></feed>",
         25,
         {"H http://b.dk/ | Blog & co", "I http://b.dk/1?a=1&amp;b=2 | Første <b>indlæg</b>",
          "I http://b.dk/2.mp3 | Only an enclosure", "I  | No link"}},
        {"the title and links of a source, content or other namespace are not the entry's",
         atom + "<entry><source><title>Elsewhere</title><link href=\"http://x/\"/></source>"
                "<media:title>Media</media:title>"
                "<content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\"><title>In"
                "</title><link href=\"http://in/\"/></div></content>"
                "<title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">\n  Own "
                "<em>title</em>\n</div></title><link href=\"http://own/\"/></entry>"
                "<title>Feed title after its entries</title></feed>",
         25,
         {"H  | Feed title after its entries", "I http://own/ | Own title"}},
        {"atom 0.3, and MaxNewsPerFeed",
         "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><title mode=\"escaped\">Old"
         "</title><link rel=\"alternate\" type=\"text/html\" href=\"http://o/\"/>"
         "<entry><title>1</title><link rel=\"alternate\" href=\"http://o/1\"/></entry>"
         "<entry><title>2</title><link rel=\"alternate\" href=\"http://o/2\"/></entry>"
         "<entry><title>3</title><link rel=\"alternate\" href=\"http://o/3\"/></entry></feed>",
         2,
         {"H http://o/ | Old", "I http://o/1 | 1", "I http://o/2 | 2"}},
        {"a prefixed feed, and a maximum of 0 still takes one",
         "\xEF\xBB\xBF<!DOCTYPE feed [<!ENTITY x \"<feed>\">]><a:feed "
         "xmlns:a='http://www.w3.org/2005/Atom'><title>Not ours</title><a:title>Mine</a:title>"
         "<a:entry><a:title>E1</a:title><a:link href=\"http://p/1\"/></a:entry>"
         "<a:entry><a:title>E2</a:title></a:entry></a:feed>",
         0,
         {"H  | Mine", "I http://p/1 | E1"}},
        {"a document cut short keeps the entries it has",
         atom + "<title>Cut</title><entry><title>Whole</title><link href=\"http://c/1\"/></entry>"
                "<entry><title>Half</title><link href=\"http://c/2\"/><summary>and th",
         25,
         {"H  | Cut", "I http://c/1 | Whole", "I http://c/2 | Half"}},
        {"an empty feed", atom.substr(0, atom.size() - 1) + "/>", 25, {"H  | "}},
        {"the root decides: a channel inside is text",
         atom + "<title>A</title><entry><title>E</title><content><![CDATA[<channel><title>C"
                "</title>]]></content></entry><channel><title>C</title>"
                "<link>http://c</link><item><title>I</title><link>http://i</link></item>",
         25,
         {"H  | A", "I  | E"}},
        {"titles: text around CDATA, escaped and raw HTML, base64, and prefixes bound to Atom",
         "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:at='http://www.w3.org/2005/Atom'>"
         "<entry><title>Link: <![CDATA[a <b> c]]> end</title><link href='http://1'/></entry>"
         "<at:entry><at:title type='html'>&lt;em&gt;Hi&lt;/em&gt; &amp;amp; &#8217;"
         "</at:title><at:link href='http://2'/></at:entry>"
         "<entry><title type='html'><![CDATA[<i>raw</i> &lt;kept&gt;]]></title></entry>"
         "<x:entry xmlns:x='http://www.w3.org/2005/Atom'><x:title>Own prefix</x:title>"
         "</x:entry><o:entry xmlns:o='http://example.com/'><o:title>Other</o:title></o:entry>"
         "</feed>",
         25,
         {"H  | ", "I http://1 | Link: a <b> c end", "I http://2 | Hi &amp; &#8217;",
          "I  | raw &lt;kept&gt;", "I  | Own prefix"}},
        {"base64 titles (0.3 mode, 1.0 media type), ids for links",
         "<feed xmlns='http://purl.org/atom/ns#'><entry><title mode='base64'>"
         "QmzDpWLDpnI=</title><id>https://b.dk/1</id></entry>"
         "<entry><title mode='base64' type='text/html'>PGI+Qjwv Yj4=</title><id>tag:x,1</id>"
         "<link href=''/></entry><entry><title type='image/png'>QQ==</title></entry></feed>",
         25,
         {"H  | ",
          "I https://b.dk/1 | Bl\xE5"
          "b\xE6r",
          "I  | B", "I  | A"}},
        {"a document of one entry",
         "<entry xmlns='http://www.w3.org/2005/Atom'><title>One</title>"
         "<link href='http://one/'/></entry>",
         25,
         {"H  | ", "I http://one/ | One"}},
        {"a feed element of another namespace is no Atom feed",
         "<feed xmlns=\"http://example.com/necho\"><title>N</title><entry><title>E</title>"
         "<link href=\"http://e\"/></entry></feed>",
         25,
         {"H  | N"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scan(c.feed, c.max), c.lines) << c.what;

    // Relative links lead where the feed says, from where it came; absolute ones are kept
    // byte for byte, and a base that is no web address resolves nothing.
    const std::string address = "https://blog.dk/feeds/atom.xml";
    const std::pair<std::string, Lines> relative[] = {
        {atom + "<link href='/'/><entry><title>1</title><link href='2026/post?a=1&amp;b=2'/>"
                "</entry><entry><title>2</title><link href='HTTP://Other.dk/x y'/></entry>",
         {"H https://blog.dk/ | ", "I https://blog.dk/feeds/2026/post?a=1&amp;b=2 | 1",
          "I HTTP://Other.dk/x y | 2"}},
        {"<feed xmlns='http://www.w3.org/2005/Atom' xml:base='http://mirror.dk/blog/'>"
         "<link href='.'/><entry xml:base='../posts/'><title>1</title><link href='one'/></entry>"
         "<entry><title>2</title><link xml:base='/deep/' href='two'/></entry>"
         "<entry><title>3</title><link href='//cdn.dk/three'/></entry>",
         {"H http://mirror.dk/blog/ | ", "I http://mirror.dk/posts/one | 1",
          "I http://mirror.dk/deep/two | 2", "I http://cdn.dk/three | 3"}},
        {"<feed xmlns='http://www.w3.org/2005/Atom' xml:base='file:///etc/'><entry><title>1"
         "</title><link href='passwd'/></entry><entry xml:base='javascript:alert(1)//'><title>2"
         "</title><link href='x'/></entry>",
         {"H  | ", "I passwd | 1", "I x | 2"}},
        // The scanner reads Windows-1252 (a UTF-8 feed's text is decoded to it first), and
        // the browser sends a link's path as UTF-8.
        {atom + "<entry xml:base='/bl\xE5/'><title>1</title><link href='\xF8konomi'/></entry>",
         {"H  | ", "I https://blog.dk/bl%C3%A5/%C3%B8konomi | 1"}},
        // Letters the code page lacks reach the scanner as references.
        {atom + "<entry><title>1</title><link href='&#35449;/x'/></entry><entry><title>2"
                "</title><link href=''/></entry>",
         {"H  | ", "I https://blog.dk/feeds/%E8%A9%B9/x | 1",
          "I https://blog.dk/feeds/atom.xml | 2"}},
    };
    for (const auto& [feed, lines] : relative)
        EXPECT_EQ(scan(feed, 25, address), lines) << feed;
    // A base longer than any address the news view takes (2 MB) is none, nor is a link
    // that would be longer: else one huge base would be written into every headline.
    const std::string huge(std::size_t{1} << 20, 'a');
    EXPECT_EQ(scan("<feed xmlns='http://www.w3.org/2005/Atom' xml:base='https://blog.dk/" + huge +
                       "/'><entry><title>1</title><link href='/x'/></entry><entry xml:base='" +
                       huge +
                       "/'><title>2</title><link href='y'/></entry><entry><title>3</title>"
                       "<link xml:base='https://blog.dk/" +
                       huge + huge + "/' href='z'/></entry>",
                   25, address),
              (Lines{"H  | ", "I https://blog.dk/x | 1", "I y | 2", "I z | 3"}));
    EXPECT_EQ(scan(relative[0].first, 25, ""),
              (Lines{"H / | ", "I 2026/post?a=1&amp;b=2 | 1", "I HTTP://Other.dk/x y | 2"}))
        << "without an address a relative link stays as written";
}

TEST(ScanFeed, StaysLinearWithoutDates)
{
    // 2,000 items and no "<dc:date": each item would search the rest of the text for it.
    std::string feed = "<channel><title>T</title><link>http://t</link>";
    for (int i = 0; i < 2000; ++i)
        feed += "<item><title>Item " + std::to_string(i) + "</title><link>http://t/" +
                std::to_string(i) + "</link>" + std::string(2000, ' ') + "</item>";
    Recorder recorder;
    scanFeed(FeedText(feed), 5000, recorder, {});
    ASSERT_EQ(recorder.lines.size(), 2001u);
    EXPECT_EQ(recorder.lines.back(), "I http://t/1999 | Item 1999");
}

TEST(ScanFeed, JsonFeedItemsAreListedLikeItems)
{
    const std::string v11 = "{\"version\": \"https://jsonfeed.org/version/1.1\", ";
    struct Case
    {
        const char* what;
        std::string body;
        std::int32_t max;
        Lines lines; // empty: no JSON Feed, and no feed at all
    };
    std::string many = v11 + "\"items\": [";
    for (int i = 0; i < 5000; ++i)
        many += std::string(i ? "," : "") + "{\"id\": \"" + std::to_string(i) + "\", \"url\": \"/" +
                std::to_string(i) + "\", \"title\": \"T" + std::to_string(i) + "\"}";
    many += "]}";
    const Case cases[] = {
        {"1.1: title, home page, each item's title and url; letters beyond the code page as "
         "references, an ampersand as its entity",
         "\xEF\xBB\xBF" + v11 +
             "\"title\": \"Blog & co \\u2605\", \"home_page_url\": \"https://b.dk/\", "
             "\"items\": [{\"id\": \"1\", \"title\": \"F\\u00f8rste <b>\", \"url\": "
             "\"https://b.dk/1?a=1&b=2\"}, {\"id\": \"2\", \"title\": \" \\u041f\\u0440 \", "
             "\"url\": \"https://b.dk/2\"}]}",
         25,
         {"H https://b.dk/ | Blog &amp; co &#9733;", "I https://b.dk/1?a=1&amp;b=2 | F\xF8rste <b>",
          "I https://b.dk/2 | &#1055;&#1088;"}},
        {"1.0 without titles: the start of the text, the summary, the HTML without markup",
         "{\"version\":\"https://jsonfeed.org/version/1\",\"items\":["
         "{\"id\":\"a\",\"url\":\"https://x/a\",\"content_text\":\"" +
             std::string(120, 'x') +
             "\"},"
             "{\"id\":\"b\",\"url\":\"https://x/b\",\"summary\":\"Kort\\nresum\\u00e9\"},"
             "{\"id\":\"c\",\"url\":\"https://x/c\",\"content_html\":\"<p>Med <em>fed</em> "
             "&amp; mere</p>\"}]}",
         25,
         {"H  | ", "I https://x/a | " + std::string(100, 'x'), "I https://x/b | Kort resum\xE9",
          "I https://x/c | Med fed &amp; mere"}},
        {"relative urls lead from the feed's address; else external_url, else a web id",
         v11 + "\"home_page_url\": \"/\", \"items\": ["
               "{\"id\": \"1\", \"title\": \"R\", \"url\": \"2026/post\"},"
               "{\"id\": \"2\", \"title\": \"E\", \"external_url\": \"https://other.dk/e\"},"
               "{\"id\": \"https://b.dk/id\", \"title\": \"I\"},"
               "{\"id\": \"tag:b.dk,2026:4\", \"title\": \"None\"}]}",
         25,
         {"H https://b.dk/ | ", "I https://b.dk/feeds/2026/post | R", "I https://other.dk/e | E",
          "I https://b.dk/id | I", "I  | None"}},
        {"wrong types are no values, an item that is no object is none",
         v11 + "\"title\": 7, \"home_page_url\": [\"x\"], \"items\": [3, \"s\", null, "
               "{\"title\": {\"a\": 1}, \"url\": 5, \"content_text\": \"Tekst\"}, {}]}",
         25,
         {"H  | ", "I  | Tekst", "I  | "}},
        {"items that are no list",
         v11 + "\"title\": \"T\", \"items\": {\"a\": {}}}",
         25,
         {"H  | T"}},
        {"MaxNewsPerFeed, and a maximum of 0 still takes one",
         v11 + "\"items\": [{\"title\": \"1\"}, {\"title\": \"2\"}]}",
         0,
         {"H  | ", "I  | 1"}},
        {"malformed JSON", v11 + "\"items\": [{\"title\": \"1\"}", 25, {}},
        {"another version",
         "{\"version\": \"http://jsonfeed.org/version/1\", \"items\": []}",
         25,
         {}},
        {"JSON that is no object", "[\"https://jsonfeed.org/version/1\"]", 25, {}},
        {"nesting deeper than the parser takes",
         v11 + "\"x\": " + std::string(5000, '[') + std::string(5000, ']') + "}",
         25,
         {}},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        EXPECT_EQ(scanJsonFeed(c.body, c.max, recorder, {}, "https://b.dk/feeds/feed.json"),
                  !c.lines.empty())
            << c.what;
        EXPECT_EQ(recorder.lines, c.lines) << c.what;
        EXPECT_EQ(isFeedDocument(c.body), !c.lines.empty()) << c.what;
    }
    Recorder recorder;
    ASSERT_TRUE(scanJsonFeed(many, 5000, recorder, {}, "https://b.dk/feed.json"));
    ASSERT_EQ(recorder.lines.size(), 5001u);
    EXPECT_EQ(recorder.lines.back(), "I https://b.dk/4999 | T4999");
}

TEST(AnnouncedFeed, AWebsitesPageLeadsToItsFirstWebFeed)
{
    const std::string page = "https://example.dk/blog/index.html";
    const auto html = [](const std::string& head) {
        return "<!DOCTYPE html><html><head><title>Example</title>" + head +
               "</head><body><p>Nyheder</p></body></html>";
    };
    struct Case
    {
        const char* what;
        std::string body;
        std::string feed; // empty: none
    };
    const Case cases[] = {
        {"an absolute path",
         html("<link rel=\"alternate\" type=\"application/rss+xml\" href=\"/feed.xml\">"),
         "https://example.dk/feed.xml"},
        {"a relative path, in capitals and single quotes",
         html("<LINK REL='Alternate' TYPE='application/atom+xml' HREF='atom.xml?a=1&amp;b=2'>"),
         "https://example.dk/blog/atom.xml?a=1&b=2"},
        {"the scheme left to the page",
         html("<link type=\"application/rss+xml\" rel=\"alternate nofollow\" "
              "href=\"//cdn.example.dk/f.rss\" />"),
         "https://cdn.example.dk/f.rss"},
        {"against the page's base",
         html("<base href=\"http://other.dk/x/\"><link rel=\"alternate\" "
              "type=\"application/rss+xml; charset=utf-8\" href=\"rss\">"),
         "http://other.dk/x/rss"},
        {"letters beyond ASCII are percent-encoded",
         html("<link rel=\"alternate\" type=\"application/rss+xml\" "
              "href=\"/nyheder/\xC3\xA6.xml\">"),
         "https://example.dk/nyheder/%C3%A6.xml"},
        {"the first feed; translations, style sheets, comments and scripts are none",
         html("<!-- <link rel=\"alternate\" type=\"application/rss+xml\" href=\"/old\"> -->"
              "<script>var s = '<link rel=\"alternate\" type=\"application/rss+xml\" "
              "href=\"/js\">';</script>"
              "<link rel=\"alternate\" hreflang=\"en\" type=\"text/html\" href=\"/en/\">"
              "<link rel=\"stylesheet\" type=\"application/rss+xml\" href=\"/css\">"
              "<link rel=\"alternate\" type=\"application/atom+xml\" href=\"/first.atom\">"
              "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"/second.rss\">"),
         "https://example.dk/first.atom"},
        {"never a local file or another scheme",
         html("<link rel=\"alternate\" type=\"application/rss+xml\" href=\"file:///etc/passwd\">"
              "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"javascript:x()\">"
              "<base href=\"ftp://files.example.dk/\">"
              "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"feed.xml\">"),
         ""},
        {"never this machine or a network behind it, however its number is written", html([] {
             std::string links;
             for (const char* href :
                  {"http://169.254.169.254/latest/meta-data/", "http://[::1]/f", "http://0x7f.1/f",
                   "http://2130706433/f", "http://0177.0.0.1/f", "http://127.1/f",
                   "http://10.1.2.3/f", "http://172.31.0.1/f", "http://192.168.0.1/f",
                   "http://100.64.0.1/f", "http://0.0.0.0/f", "http://LOCALHOST./f",
                   "http://router.localhost/f", "http://[::ffff:127.0.0.1]/f",
                   "http://[::ffff:a9fe:a9fe]/f", "http://[fe80::1]/f", "http://[fd00::1]/f",
                   "https://example.dk/public.rss"})
                 links += "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"" +
                          std::string(href) + "\">";
             return links;
         }()),
         "https://example.dk/public.rss"},
        {"nor through its base",
         html("<base href=\"http://0x7f000001/\"><link rel=\"alternate\" "
              "type=\"application/rss+xml\" href=\"rss\">"),
         ""},
        {"a JSON Feed",
         html("<link rel=\"alternate\" type=\"application/feed+json\" href=\"/feed.json\">"),
         "https://example.dk/feed.json"},
        {"a page without feeds", html("<link rel=\"icon\" href=\"/favicon.ico\">"), ""},
        {"only the head announces",
         "<html><head></head><body><link rel=\"alternate\" type=\"application/rss+xml\" "
         "href=\"/in-body.xml\"></body></html>",
         ""},
        {"a page whose elements' names only start like a feed's",
         html("<feedback-widget></feedback-widget><rss-icon/><channels/>"
              "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"/w.xml\">"),
         "https://example.dk/w.xml"},
        {"a feed is no page, whatever it links to",
         "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><atom:link rel=\"alternate\" "
         "type=\"application/rss+xml\" href=\"http://x/\"/></channel></rss>",
         ""},
        {"nor is a feed with a prefixed root",
         "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\"><link rel=\"alternate\" "
         "type=\"application/atom+xml\" href=\"http://x/\"/></a:feed>",
         ""},
        {"a tag that never ends",
         "<html><link rel=\"alternate\" type=\"application/rss+xml\" "
         "href=\"/f\"",
         ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(announcedFeed(c.body, page).value_or(""), c.feed) << c.what;
    // A page on this machine or a private network may lead to a feed there.
    EXPECT_EQ(announcedFeed(html("<link rel=\"alternate\" type=\"application/rss+xml\" "
                                 "href=\"http://192.168.0.1/f\">"),
                            "http://127.0.0.1:8000/")
                  .value_or(""),
              "http://192.168.0.1/f");
}
