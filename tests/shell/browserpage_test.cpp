#include "support/formfixture.h"

#include <QTest>

using namespace nuvio;
using BrowserPageTest = test::FormFixture;

namespace {

// A page with one link and, optionally, a frame; the link is clicked by script.
std::string linkPage(const std::string& href, const std::string& frame = {},
                     const std::string& target = {})
{
    std::string page = "<html><body><a id='a' href='" + href + "'" +
                       (target.empty() ? "" : " target='" + target + "'") + ">link</a>";
    if (!frame.empty())
        page += "<iframe src='" + frame + "'></iframe>";
    return page + "</body></html>";
}

} // namespace

TEST_F(BrowserPageTest, LinksThatLeaveEachView)
{
    auto& f = create();
    f.show();
    struct Case
    {
        const char* what;
        bool radio;
        std::string href;
        std::string target;
        std::string opened; // empty: the link loads inside the view
    };
    // Port 9 on loopback: nothing there, so an admitted web link fails to load but stays inside.
    const Case cases[] = {
        {"http link in the main view", false, "http://127.0.0.1:9/a", "", "http://127.0.0.1:9/a"},
        {"capital scheme in the main view", false, "HTTP://127.0.0.1:9/b", "",
         "http://127.0.0.1:9/b"},
        {"https link in the main view", false, "https://127.0.0.1:9/c", "",
         "https://127.0.0.1:9/c"},
        {"realhttp link in the main view", false, "realhttp://127.0.0.1:9/d", "",
         "realhttp://127.0.0.1:9/d"},
        {"new-window http link in the main view", false, "http://127.0.0.1:9/e", "_blank",
         "http://127.0.0.1:9/e"},
        {"realhttp link in the radio view", true, "realhttp://127.0.0.1:9/f", "",
         "http://127.0.0.1:9/f"},
        {"capital realhttp in the radio view", true, "REALHTTP://127.0.0.1:9/g", "",
         "http://127.0.0.1:9/g"},
        {"realhttps link in the radio view", true, "realhttps://127.0.0.1:9/h", "",
         "https://127.0.0.1:9/h"},
        {"http link in the radio view", true, "http://127.0.0.1:9/i", "", ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = "page" + std::to_string(n++) + ".html";
        dir.write(file, linkPage(c.href, {}, c.target));
        QWebEngineView* view = c.radio ? f.RadioBrowser : f.WebBrowser1;
        f.navigate(view, "file://" + dir.file(file));
        ASSERT_TRUE(test::waitForLoad(view)) << c.what;
        opener.opened.clear();
        QSignalSpy loads(view, &QWebEngineView::loadStarted);
        test::evaluate(view, QStringLiteral("document.getElementById('a').click()"));
        if (c.opened.empty()) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return view->url().toString().toStdString() == c.href; }, 5000))
                << c.what << ": " << view->url().toString().toStdString() << " loads "
                << loads.count();
            EXPECT_TRUE(opener.opened.empty()) << c.what;
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 5000)) << c.what;
            ASSERT_EQ(opener.opened.size(), 1u) << c.what;
            EXPECT_EQ(opener.opened[0], c.opened) << c.what;
            QTest::qWait(100);
            EXPECT_EQ(view->url().toLocalFile().toStdString(), dir.file(file))
                << c.what << ": the view stays";
        }
    }
}

TEST_F(BrowserPageTest, FramesAndTheProgramsOwnNavigationsPassTheRules)
{
    auto& f = create();
    f.show();
    dir.write("framed.html", linkPage("#", "http://127.0.0.1:9/frame"));
    f.navigate(f.WebBrowser1, "file://" + dir.file("framed.html"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 10000));
    ASSERT_FALSE(opener.opened.empty());
    EXPECT_EQ(opener.opened[0], "http://127.0.0.1:9/frame");

    opener.opened.clear();
    dir.write("radioframe.html", linkPage("#", "realhttp://127.0.0.1:9/stream"));
    f.navigate(f.RadioBrowser, "file://" + dir.file("radioframe.html"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 10000));
    ASSERT_FALSE(opener.opened.empty());
    EXPECT_EQ(opener.opened[0], "http://127.0.0.1:9/stream");

    // A local page whose query carries a web address is diverted whole, even when the
    // program itself navigates there.
    opener.opened.clear();
    f.navigate(f.WebBrowser1, "file://" + dir.file("framed.html") + "?next=http://x.dk/");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 5000));
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], "file://" + dir.file("framed.html") + "?next=http://x.dk/");
}

TEST_F(BrowserPageTest, MainViewScriptsCannotReadLocalFiles)
{
    test::TempDir outside;
    outside.write("private.png", test::TempDir::readFile(std::string(NUVIO_SOURCE_DIR) +
                                                         "/data/toolbar-news.png"));
    dir.write("marker.png",
              test::TempDir::readFile(std::string(NUVIO_SOURCE_DIR) + "/data/toolbar-news.png"));
    dir.write("style.css", "body { color: rgb(1, 2, 3); }");
    dir.write("styled.html", "<html><head><link rel='stylesheet' href='style.css'></head><body>"
                             "<img id='own' src='marker.png'><img id='foreign' src='file://" +
                                 outside.file("private.png") +
                                 "'><iframe id='frame' src='secret.txt'></iframe></body></html>");
    auto& f = create();
    f.show();
    dir.write("secret.txt", "secret");
    dir.write("reader.html", "<html><body><script>"
                             "var r = new XMLHttpRequest();"
                             "try { r.open('GET', 'secret.txt', false); r.send(); document.title = "
                             "'read:' + r.responseText; }"
                             "catch (e) { document.title = 'blocked'; }"
                             "</script></body></html>");
    f.navigate(f.WebBrowser1, "file://" + dir.file("reader.html"));
    ASSERT_TRUE(test::waitForLoad(f.WebBrowser1));
    EXPECT_EQ(f.WebBrowser1->title(), "blocked");

    // The page's own style sheet and images still load; nothing from elsewhere does.
    f.navigate(f.WebBrowser1, "file://" + dir.file("styled.html"));
    ASSERT_TRUE(test::waitForLoad(f.WebBrowser1));
    const auto value = [&](const char* script) {
        return test::evaluate(f.WebBrowser1, QString::fromLatin1(script));
    };
    EXPECT_EQ(value("getComputedStyle(document.body).color").toString(), "rgb(1, 2, 3)");
    EXPECT_GT(value("document.getElementById('own').naturalWidth").toInt(), 0);
    EXPECT_EQ(value("document.getElementById('foreign').naturalWidth").toInt(), 0);
    EXPECT_EQ(value("(function(){try{var d=document.getElementById('frame').contentDocument;"
                    "return d && d.body ? d.body.textContent : '';}catch(e){return 'denied';}})()")
                  .toString()
                  .contains("secret"),
              false);
}
