// SPDX-License-Identifier: MIT
#include "gui/platform/webproxy.h"
#include "support/formfixture.h"
#include "support/loopbackserver.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>

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
        std::string opened; // empty: the link loads inside the view; "-": nothing at all
        std::string file = {};
        bool fileGone = false; // the page file removed once it has loaded
    };
    // Port 9 on loopback: nothing there, so an admitted web link fails to load but stays inside.
    const Case cases[] = {
        {"http link in the main view", false, "http://127.0.0.1:9/a", "", "http://127.0.0.1:9/a"},
        {"capital scheme in the main view", false, "HTTP://127.0.0.1:9/b", "",
         "http://127.0.0.1:9/b"},
        {"https link in the main view", false, "https://127.0.0.1:9/c", "",
         "https://127.0.0.1:9/c"},
        // Diverted, but only web addresses go to the system: cancelled, nothing opened.
        {"realhttp link in the main view", false, "realhttp://127.0.0.1:9/d", "", "-"},
        {"smb link with a web address in the main view", false,
         "smb://127.0.0.1/share/run.desktop?http://x", "", "-"},
        {"file link with a web address in the main view", false, "file:///etc/passwd#http://x", "",
         "-"},
        {"new-window http link in the main view", false, "http://127.0.0.1:9/e", "_blank",
         "http://127.0.0.1:9/e"},
        {"realhttp link in the radio view", true, "realhttp://127.0.0.1:9/f", "",
         "http://127.0.0.1:9/f"},
        {"capital realhttp in the radio view", true, "REALHTTP://127.0.0.1:9/g", "",
         "http://127.0.0.1:9/g"},
        {"realhttps link in the radio view", true, "realhttps://127.0.0.1:9/h", "",
         "https://127.0.0.1:9/h"},
        {"http link in the radio view", true, "http://127.0.0.1:9/i", "", ""},
        {"realhttp link to a file in the radio view", true, "file:///x?realhttp://127.0.0.1:9/j",
         "", "-"},
        {"http link on the news page", false, "http://127.0.0.1:9/k", "", "http://127.0.0.1:9/k",
         "news.html"},
        {"a headline without a link", false, "", "", "-", "news.html", true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = c.file.empty() ? "page" + std::to_string(n++) + ".html" : c.file;
        dir.write(file, linkPage(c.href, {}, c.target));
        QWebEngineView* view = c.radio ? widget<QWebEngineView>(f, "RadioBrowser")
                                       : widget<QWebEngineView>(f, "WebBrowser1");
        f.navigate(view, "file://" + dir.file(file));
        ASSERT_TRUE(test::waitForLoad(view)) << c.what;
        if (c.fileGone)
            std::filesystem::remove(dir.file(file));
        opener.opened.clear();
        QSignalSpy loads(view, &QWebEngineView::loadStarted);
        test::evaluate(view, QStringLiteral("document.getElementById('a').click()"));
        if (c.opened.empty()) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return view->url().toString().toStdString() == c.href; }, 5000))
                << c.what << ": " << view->url().toString().toStdString() << " loads "
                << loads.count();
            EXPECT_TRUE(opener.opened.empty()) << c.what;
        } else if (c.opened == "-") {
            QTest::qWait(500);
            EXPECT_TRUE(opener.opened.empty()) << c.what;
            EXPECT_EQ(view->url().path().toStdString(), dir.file(file))
                << c.what << ": the view stays";
            EXPECT_TRUE(test::evaluate(view, "document.getElementById('a') !== null").toBool())
                << c.what << ": the page stays";
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 5000)) << c.what;
            ASSERT_EQ(opener.opened.size(), 1u) << c.what;
            EXPECT_EQ(opener.opened[0], c.opened) << c.what;
            QTest::qWait(100);
            EXPECT_EQ(view->url().path().toStdString(), dir.file(file))
                << c.what << ": the view stays";
        }
    }
}

TEST_F(BrowserPageTest, NoOtherSchemeReachesTheDesktop)
{
    // The desktop's own handler for a few schemes, as a user's desktop registers them:
    // it only writes down what it was asked to open.
    const std::string calls = dir.file("handled");
    dir.write("record", "#!/bin/sh\necho \"$1\" >> '" + calls + "'\n");
    ASSERT_EQ(::chmod(dir.file("record").c_str(), 0755), 0);
    for (const char* folder : {"xdg-data/applications", "xdg-config"})
        QDir().mkpath(QString::fromStdString(dir.file(folder)));
    dir.write("xdg-data/applications/recorder.desktop",
              "[Desktop Entry]\nType=Application\nName=recorder\nExec=" + dir.file("record") +
                  " %u\nMimeType=x-scheme-handler/rtx;x-scheme-handler/mailto;"
                  "x-scheme-handler/smb;\n");
    dir.write("xdg-config/mimeapps.list", "[Default Applications]\n"
                                          "x-scheme-handler/rtx=recorder.desktop\n"
                                          "x-scheme-handler/mailto=recorder.desktop\n"
                                          "x-scheme-handler/smb=recorder.desktop\n");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME"),
                     oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    const auto restore = qScopeGuard([&] {
        for (const auto& [name, value] :
             {std::pair{"XDG_DATA_HOME", oldData}, std::pair{"XDG_CONFIG_HOME", oldConfig},
              std::pair{"XDG_CURRENT_DESKTOP", oldDesktop}}) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    });
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.file("xdg-data")));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("xdg-config")));
    qunsetenv("XDG_CURRENT_DESKTOP");

    auto& f = create();
    f.show();
    struct Case
    {
        const char* what;
        bool radio;
        std::string href;
        std::string target = {};
        std::string file = {};
    };
    const Case cases[] = {
        {"registered scheme in the main view", false, "rtx://pwned"},
        {"mailto in the main view", false, "mailto:a@example.dk"},
        {"smb in the main view", false, "smb://127.0.0.1/share"},
        {"registered scheme in a new window", false, "rtx://window", "_blank"},
        {"registered scheme on the news page", false, "rtx://news", "", "news.html"},
        {"registered scheme in the radio view", true, "rtx://radio"},
        {"smb in the radio view", true, "smb://127.0.0.1/radio"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = c.file.empty() ? "scheme" + std::to_string(n++) + ".html" : c.file;
        dir.write(file, "<html><body style='margin:0'><a href='" + c.href + "'" +
                            (c.target.empty() ? "" : " target='" + c.target + "'") +
                            " style='display:block;width:300px;height:200px'>link</a>"
                            "</body></html>");
        QWebEngineView* view = c.radio ? widget<QWebEngineView>(f, "RadioBrowser")
                                       : widget<QWebEngineView>(f, "WebBrowser1");
        f.bringToFront(view);
        f.navigate(view, "file://" + dir.file(file));
        ASSERT_TRUE(test::waitForLoad(view));
        // A real click: the engine hands unknown schemes out only on the user's gesture.
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::qWait(1500);
        EXPECT_TRUE(opener.opened.empty()) << opener.opened.front();
        opener.opened.clear();
    }
    QTest::qWait(1000); // the desktop's opener runs on its own
    QFile handled(QString::fromStdString(calls));
    EXPECT_FALSE(handled.exists())
        << (handled.open(QIODevice::ReadOnly) ? handled.readAll().toStdString() : std::string());
}

TEST_F(BrowserPageTest, WebPagesHandOutOneAddressPerClick)
{
    // A station's page that tries every way to open the browser by itself: hidden frames,
    // timed location changes, a refresh, a scripted click and a popup; and on a click,
    // three addresses at once.
    const std::string page =
        "<html><head><title>station</title>"
        "<meta http-equiv='refresh' content='1; url=realhttp://127.0.0.1:9/refresh'></head>"
        "<body style='margin:0'><a id='a' href='realhttp://127.0.0.1:9/click'"
        " style='display:block;width:300px;height:200px'>click</a><script>"
        "var base = 'realhttp://127.0.0.1:9/';"
        "function frames(name) { for (var i = 0; i < 20; ++i) {"
        "  var f = document.createElement('iframe'); f.style.display = 'none';"
        "  f.src = base + name + i; document.body.appendChild(f); } }"
        "frames('frame');"
        "var n = 0, t = setInterval(function() { location.href = base + 'location' + n;"
        "  if (++n == 10) clearInterval(t); }, 100);"
        "document.getElementById('a').click();"
        "window.open(base + 'popup');"
        "document.addEventListener('click', function() { window.open(base + 'clickpopup');"
        "  location.href = base + 'clicklocation'; });"
        "document.addEventListener('keydown', function(e) {"
        "  if (e.key == ' ') document.getElementById('a').click(); });"
        "</script></body></html>";
    test::LoopbackServer server;
    server.server().Get("/station.html", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(page, "text/html");
    });
    server.start();
    // The user reaches it by a click on the radio page: that click is spent on the way.
    dir.write("netradio.html", "<html><body style='margin:0'><a href='" +
                                   server.url("/station.html") +
                                   "' style='display:block;width:300px;height:200px'>station</a>"
                                   "</body></html>");

    auto& f = create();
    f.show();
    f.NetRadio1Click();
    QWebEngineView* radio = widget<QWebEngineView>(f, "RadioBrowser");
    ASSERT_TRUE(test::waitForLoad(radio));
    QTest::mouseClick(radio->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_TRUE(test::waitForLoad(radio));
    QTest::qWait(3000);
    EXPECT_TRUE(opener.opened.empty()) << opener.opened.size() << " opened, the first "
                                       << (opener.opened.empty() ? "" : opener.opened[0]);
    EXPECT_EQ(radio->url().toString().toStdString(), server.url("/station.html"));
    // Space scrolls the page or presses a button; it follows no link, so the page's
    // scripted click on it hands nothing out.
    QTest::keyClick(radio->focusProxy(), Qt::Key_Space);
    QTest::qWait(1500);
    EXPECT_TRUE(opener.opened.empty()) << "opened on Space: " << opener.opened.size();
    opener.opened.clear();

    // Two clicks, then Enter on the focused link.
    for (int click = 1; click <= 3; ++click) {
        if (click < 3) {
            QTest::mouseClick(radio->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        } else {
            test::evaluate(radio, QStringLiteral("document.getElementById('a').focus(); 0"));
            QTest::keyClick(radio->focusProxy(), Qt::Key_Return);
        }
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return opener.opened.size() >= std::size_t(click); }, 5000))
            << "click " << click;
        QTest::qWait(1500);
        EXPECT_EQ(opener.opened.size(), std::size_t(click)) << "click " << click;
        if (!opener.opened.empty()) {
            EXPECT_EQ(opener.opened.back().rfind("http://127.0.0.1:9/click", 0), 0u)
                << opener.opened.back();
        }
    }
}

TEST_F(BrowserPageTest, FramesAndTheProgramsOwnNavigationsPassTheRules)
{
    auto& f = create();
    f.show();
    dir.write("framed.html", linkPage("#", "http://127.0.0.1:9/frame"));
    f.navigate(widget<QWebEngineView>(f, "WebBrowser1"), "file://" + dir.file("framed.html"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 10000));
    ASSERT_FALSE(opener.opened.empty());
    EXPECT_EQ(opener.opened[0], "http://127.0.0.1:9/frame");

    opener.opened.clear();
    dir.write("radioframe.html", linkPage("#", "realhttp://127.0.0.1:9/stream"));
    f.navigate(widget<QWebEngineView>(f, "RadioBrowser"), "file://" + dir.file("radioframe.html"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.opened.empty(); }, 10000));
    ASSERT_FALSE(opener.opened.empty());
    EXPECT_EQ(opener.opened[0], "http://127.0.0.1:9/stream");

    // A local page whose query carries a web address is diverted whole, even when the
    // program itself navigates there; being no web address, it is not handed over either.
    opener.opened.clear();
    dir.write("plain.html", "<html><body>plain</body></html>");
    f.navigate(widget<QWebEngineView>(f, "WebBrowser1"), "file://" + dir.file("plain.html"));
    ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "WebBrowser1")));
    f.navigate(widget<QWebEngineView>(f, "WebBrowser1"),
               "file://" + dir.file("framed.html") + "?next=http://x.dk/");
    QTest::qWait(500);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->url().toLocalFile().toStdString(),
              dir.file("plain.html"));
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
    f.navigate(widget<QWebEngineView>(f, "WebBrowser1"), "file://" + dir.file("reader.html"));
    ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "WebBrowser1")));
    EXPECT_EQ(widget<QWebEngineView>(f, "WebBrowser1")->title(), "blocked");

    // The page's own style sheet and images still load; nothing from elsewhere does.
    f.navigate(widget<QWebEngineView>(f, "WebBrowser1"), "file://" + dir.file("styled.html"));
    ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "WebBrowser1")));
    const auto value = [&](const char* script) {
        return test::evaluate(widget<QWebEngineView>(f, "WebBrowser1"),
                              QString::fromLatin1(script));
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

namespace {

// One MPEG-1 Layer III frame, 128 kbit/s, 44.1 kHz, mono, that decodes to silence.
std::string silentMp3Frame()
{
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\xC4';
    return frame;
}

// An endless Icecast-style stream: no length and no chunks, a second of sound at once,
// then about real time, until the test ends (bounded at a minute).
void sendEndlessStream(int socket, const std::atomic<bool>& stop)
{
    test::readRequestHead(socket);
    test::sendAll(socket, "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: loopback\r\n"
                          "Cache-Control: no-cache\r\n\r\n");
    std::string tenFrames; // 261 ms of sound
    for (int i = 0; i < 10; ++i)
        tenFrames += silentMp3Frame();
    for (int sent = 0; !stop && sent < 240; ++sent) {
        if (::send(socket, tenFrames.data(), tenFrames.size(), MSG_NOSIGNAL) < 0)
            return;
        if (sent > 4)
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
}

double currentTime(QWebEngineView* view)
{
    return test::evaluate(view, QStringLiteral("document.querySelector('audio').currentTime"))
        .toDouble();
}

} // namespace

TEST_F(BrowserPageTest, RadioPlaysStreamsAndWebPagesInsideItself)
{
    std::atomic<bool> stop{false};
    test::RawServer stream([&stop](int socket) { sendEndlessStream(socket, stop); });
    test::LoopbackServer server;
    server.server().Get("/station.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>station</title></head></html>", "text/html");
    });
    server.start();
    const auto stopStream = qScopeGuard([&] { stop = true; });

    // The shipped radio page, its first station's stream served from loopback.
    const std::string data = std::string(NUVIO_SOURCE_DIR) + "/data/";
    std::string page = test::TempDir::readFile(data + "netradio.html");
    const std::string shippedStream = "https://live-icy.dr.dk/A/A03H.mp3\"";
    ASSERT_NE(page.find(shippedStream), std::string::npos);
    page.replace(page.find(shippedStream), shippedStream.size(), stream.url("/live.mp3") + "\"");
    dir.write("netradio.html", page);
    for (const char* file : {"default.css", "pages.js"})
        dir.write(file, test::TempDir::readFile(data + file));
    dir.write("index.html", "<html><body>start</body></html>");

    auto& f = create();
    f.show();
    f.NetRadio1Click();
    ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "RadioBrowser")));
    // Its own script and style sheet load.
    EXPECT_EQ(test::evaluate(widget<QWebEngineView>(f, "RadioBrowser"),
                             QStringLiteral("document.querySelector('h1').textContent"))
                  .toString()
                  .toStdString(),
              "NetRadio");
    EXPECT_EQ(test::evaluate(widget<QWebEngineView>(f, "RadioBrowser"),
                             QStringLiteral("getComputedStyle(document.querySelector('h1')).color"))
                  .toString()
                  .toStdString(),
              "rgb(31, 111, 159)");
    // A station's page may start its player itself, with no click.
    test::evaluate(widget<QWebEngineView>(f, "RadioBrowser"),
                   QStringLiteral("document.querySelector('audio').play(); 0"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return currentTime(widget<QWebEngineView>(f, "RadioBrowser")) > 0.5; }, 15000))
        << "the stream never played: " << currentTime(widget<QWebEngineView>(f, "RadioBrowser"))
        << " s";

    // It goes on playing behind the main view.
    f.Startside1Click();
    ASSERT_EQ(f.frontView(), widget<QWebEngineView>(f, "WebBrowser1"));
    const double behind = currentTime(widget<QWebEngineView>(f, "RadioBrowser"));
    QTest::qWait(1500);
    EXPECT_GT(currentTime(widget<QWebEngineView>(f, "RadioBrowser")), behind + 0.7);

    // Web pages load inside the radio view, by a click and by a script.
    struct Case
    {
        const char* what;
        QString script;
    };
    const QString station = QString::fromStdString(server.url("/station.html"));
    const Case cases[] = {
        {"link click", QStringLiteral("var a = document.createElement('a'); a.href = '%1';"
                                      "document.body.appendChild(a); a.click(); 0")
                           .arg(station)},
        {"script navigation", QStringLiteral("location.href = '%1'; 0").arg(station)},
    };
    for (const auto& c : cases) {
        f.navigate(widget<QWebEngineView>(f, "RadioBrowser"),
                   "file://" + dir.file("netradio.html"));
        ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "RadioBrowser"))) << c.what;
        test::evaluate(widget<QWebEngineView>(f, "RadioBrowser"), c.script);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return widget<QWebEngineView>(f, "RadioBrowser")->title() == "station"; }, 10000))
            << c.what << ": "
            << widget<QWebEngineView>(f, "RadioBrowser")->url().toString().toStdString();
        EXPECT_TRUE(opener.opened.empty()) << c.what;
    }
}

TEST_F(BrowserPageTest, NoPageInEitherViewReadsTheUsersFiles)
{
    test::TempDir outside;
    outside.write("secret.txt", "SECRET");
    outside.write("secret.js", "postMessage('read');");
    outside.write("secret.png", test::TempDir::readFile(std::string(NUVIO_SOURCE_DIR) +
                                                        "/data/toolbar-news.png"));
    const std::string secret = "file://" + outside.file("secret");
    // The install folder through the news page's scheme: a file that is there and one that
    // is not must look alike, and the script must not run.
    dir.write("probe.png",
              test::TempDir::readFile(std::string(NUVIO_SOURCE_DIR) + "/data/toolbar-news.png"));
    dir.write("probe.css", "body { color: rgb(7, 8, 9); }");
    dir.write("probe.js", "put('nuvio script', 'read');");
    const std::string ours = "nuvio://local" + dir.path() + "/";
    // Every way a page could get at a local file; each result is "read…" or "blocked".
    const std::string attack =
        "<html><body><script>window.results = {};"
        "function put(k, v) { window.results[k] = v; }"
        "function text(t) { return t.indexOf('SECRET') >= 0 ? 'read' : 'blocked'; }"
        "try { var r = new XMLHttpRequest(); r.open('GET', '" +
        secret +
        ".txt', false); r.send();"
        "  put('xhr', text(r.responseText)); } catch (e) { put('xhr', 'blocked'); }"
        "fetch('" +
        secret +
        ".txt').then(r => r.text()).then(t => put('fetch', text(t)),"
        "  () => put('fetch', 'blocked'));"
        "var frame = document.createElement('iframe'); frame.src = '" +
        secret +
        ".txt';"
        "frame.onload = function() { try { put('frame', "
        "text(frame.contentDocument.body.textContent));"
        "  } catch (e) { put('frame', 'blocked'); } };"
        "document.body.appendChild(frame);"
        "try { var w = new Worker('" +
        secret +
        ".js'); w.onmessage = () => put('worker', 'read');"
        "  w.onerror = () => put('worker', 'blocked'); } catch (e) { put('worker', 'blocked'); }"
        "var img = new Image(); img.onload = () => put('img', 'read');"
        "img.onerror = () => put('img', 'blocked'); img.src = '" +
        secret +
        ".png';"
        "try { var blank = window.open('');"
        "  blank.fetch('" +
        secret +
        ".txt').then(r => r.text()).then(t => put('blank popup', text(t)),"
        "    () => put('blank popup', 'blocked'));"
        "} catch (e) { put('blank popup', 'blocked'); }"
        "function probe(k, tag, url) { var e = document.createElement(tag);"
        "  e.onload = () => put(k, 'read'); e.onerror = () => put(k, 'blocked');"
        "  if (tag == 'link') { e.rel = 'stylesheet'; e.href = url; } else e.src = url;"
        "  document.head.appendChild(e); }"
        "probe('nuvio img', 'img', '" +
        ours +
        "probe.png');"
        "probe('nuvio missing img', 'img', '" +
        ours +
        "missing.png');"
        "probe('nuvio css', 'link', '" +
        ours +
        "probe.css');"
        "probe('nuvio missing css', 'link', '" +
        ours +
        "missing.css');"
        "probe('nuvio script src', 'script', '" +
        ours +
        "probe.js');"
        "fetch('" +
        ours +
        "probe.css').then(r => r.text()).then(t => put('nuvio fetch', t.indexOf('7, 8') >= 0 ?"
        "  'read' : 'blocked'), () => put('nuvio fetch', 'blocked'));"
        "setTimeout(function() { for (const k of ['frame', 'worker', 'img', 'fetch', 'blank "
        "popup', 'nuvio fetch'])"
        "  if (!(k in window.results)) put(k, 'blocked');"
        "  if (!('nuvio script' in window.results)) put('nuvio script', 'blocked');"
        "  put('nuvio style', getComputedStyle(document.body).color == 'rgb(7, 8, 9)' ?"
        "    'read' : 'blocked'); }, 4000);"
        "</script></body></html>";
    dir.write("attack.html", attack);
    test::LoopbackServer server;
    server.server().Get("/attack.html", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(attack, "text/html");
    });
    // Pages that try to show a local page instead of their own.
    dir.write("index.html", "<html><body>start</body></html>");
    const std::pair<const char*, std::string> leaps[] = {
        {"/opener.html", "window.open('" + secret + ".txt');"},
        {"/ours.html", "location.href = '" + ours + "index.html';"},
        {"/ourframe.html", "var f = document.createElement('iframe'); f.src = '" + ours +
                               "index.html'; document.body.appendChild(f);"
                               "f.onload = () => { try { document.title = "
                               "f.contentDocument.body.textContent; } catch (e) {} };"},
    };
    for (const auto& [path, script] : leaps) {
        server.server().Get(path, [script](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>web</title></head><body><script>" + script +
                                     "</script></body></html>",
                                 "text/html");
        });
    }
    server.start();

    auto& f = create();
    f.show();
    struct Case
    {
        const char* what;
        bool radio;
        std::string url;
    };
    const Case cases[] = {
        {"local page in the main view", false, "file://" + dir.file("attack.html")},
        {"local page in the radio view", true, "file://" + dir.file("attack.html")},
        {"web page in the radio view", true, server.url("/attack.html")},
    };
    const QStringList kinds = {"xhr",
                               "fetch",
                               "frame",
                               "worker",
                               "img",
                               "blank popup",
                               "nuvio img",
                               "nuvio missing img",
                               "nuvio css",
                               "nuvio missing css",
                               "nuvio script src",
                               "nuvio script",
                               "nuvio fetch",
                               "nuvio style"};
    for (const auto& c : cases) {
        QWebEngineView* view = c.radio ? widget<QWebEngineView>(f, "RadioBrowser")
                                       : widget<QWebEngineView>(f, "WebBrowser1");
        f.navigate(view, c.url);
        ASSERT_TRUE(test::waitForLoad(view)) << c.what;
        QVariantMap results;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                results = test::evaluate(view, QStringLiteral("window.results")).toMap();
                return results.size() == kinds.size();
            },
            10000))
            << c.what;
        for (const QString& kind : kinds)
            EXPECT_EQ(results.value(kind).toString().toStdString(), "blocked")
                << c.what << ", " << kind.toStdString();
    }

    // A web page's popup of a local file, or its own or a frame's navigation to a local
    // page, is refused; the view stays on the web page and shows nothing local.
    for (const auto& [path, script] : leaps) {
        QWebEngineView* radio = widget<QWebEngineView>(f, "RadioBrowser");
        f.navigate(radio, server.url(path));
        test::waitForLoad(radio); // the page's own, or the refused one that follows
        QTest::qWait(1500);
        EXPECT_EQ(radio->url().toString().toStdString(), server.url(path));
        EXPECT_EQ(radio->title().toStdString(), "web") << path;
    }
}

TEST_F(BrowserPageTest, NewsPageIsWindows1252WhateverItsBytes)
{
    dir.write("default.css", "body { color: rgb(1, 2, 3); }");
    dir.write("feed-line.gif",
              test::TempDir::readFile(std::string(NUVIO_SOURCE_DIR) + "/data/feed-line.gif"));
    test::LoopbackServer server;
    std::atomic<int> remote{0};
    server.server().Get("/beacon.gif", [&](const httplib::Request&, httplib::Response& response) {
        ++remote;
        response.set_content("GIF89a", "image/gif");
    });
    server.start();
    struct Case
    {
        const char* what;
        std::string feed;
    };
    const Case cases[] = {
        {"a UTF-8 feed", "\xC3\xA6\xC3\xB8\xC3\xA5 \xE2\x80\x94 \xC3\x86\xC3\x98\xC3\x85"},
        {"ISO-2022-JP escapes", "\x1B$B$3$s$K$A$O\x1B(B \x1B$B$3$s\x1B(B"},
    };
    auto& f = create();
    f.show();
    for (const auto& c : cases) {
        const std::string page =
            "<html><head><link rel='stylesheet' href='default.css'></head><body>"
            "<img id='line' src='feed-line.gif'><p id='own'>\xC6r\xF8 K\xF8"
            "benhavn</p><a id='new' href='http://x/'><img src=\"feed-line-new.gif\">New</a>"
            "<p id='ref'>&#9733; iPad</p><p>" +
            c.feed + "</p><img src='" + server.url("/beacon.gif") + "'></body></html>";
        dir.write("news.html", page);
        f.VisNyheder();
        ASSERT_TRUE(test::waitForLoad(widget<QWebEngineView>(f, "WebBrowser1"))) << c.what;
        const auto value = [&](const char* script) {
            return test::evaluate(widget<QWebEngineView>(f, "WebBrowser1"),
                                  QString::fromLatin1(script))
                .toString();
        };
        EXPECT_EQ(value("document.characterSet").toLower(), "windows-1252") << c.what;
        EXPECT_EQ(value("document.getElementById('own').textContent"),
                  QString::fromUtf8("Ærø København"))
            << c.what;
        EXPECT_EQ(value("getComputedStyle(document.body).color"), "rgb(1, 2, 3)") << c.what;
        EXPECT_EQ(value("document.getElementById('ref').textContent"), QString::fromUtf8("★ iPad"))
            << c.what << ": a letter the code page lacks, as a reference";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return value("document.querySelector('#new img').alt") == "Ny"; }, 5000))
            << c.what << ": a screen reader hears that the headline is new";
        EXPECT_EQ(value("String(document.getElementById('line').naturalWidth > 0)"), "true")
            << c.what << ": its own images load";
        EXPECT_EQ(dir.read("news.html"), page) << c.what << ": the file is not touched";
    }
    EXPECT_EQ(remote.load(), 0) << "the news page loads nothing from the web";
}

TEST_F(BrowserPageTest, TheViewsReachTheWebThroughTheDesktopsProxy)
{
    // The station's host resolves nowhere: only the proxy can answer for it.
    test::LoopbackServer proxy;
    std::string asked;
    proxy.server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        asked = request.path;
        response.set_content("<html><head><title>through the proxy</title></head></html>",
                             "text/html");
    });
    proxy.start();
    ::setenv("http_proxy", proxy.url("").c_str(), 1);
    routeViewsLikeFeeds();
    const auto direct = qScopeGuard([] {
        ::unsetenv("http_proxy");
        routeViewsLikeFeeds();
    });
    auto& f = create();
    f.show();
    auto* radio = widget<QWebEngineView>(f, "RadioBrowser");
    // An engine that has loaded pages before takes the new route from its next request on
    // (the program sets it before the first): one is made first.
    f.navigate(radio, "http://radio.nuvio.test/first");
    test::waitForLoad(radio);
    f.navigate(radio, "http://radio.nuvio.test/station");
    ASSERT_TRUE(test::waitForLoad(radio));
    EXPECT_EQ(radio->title().toStdString(), "through the proxy");
    EXPECT_EQ(asked, "http://radio.nuvio.test/station");
}
