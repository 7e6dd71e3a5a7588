// SPDX-License-Identifier: MIT
// How long the news view takes to show a large news page, and the memory it then takes.
//   build/bench/bigpage_bench [FEEDS [ITEMS]]     (default 50 feeds × 999 items, ~15 MB)
// Runs under Xvfb like the GUI tests (QTWEBENGINE_DISABLE_SANDBOX=1 as root). Prints the
// page's size, the seconds from the navigation to the view's load end and to the page laid
// out whole, the PSS of this process and its browser processes two seconds later, and the
// page's own timing: first headlines painted, bytes received, parsing done, load event.
#include "core/news/newspage.h"
#include "core/platform/programvalues.h"
#include "core/settings/appsettings.h"
#include "gui/platform/application.h"
#include "gui/platform/urlopener.h"
#include "gui/shell/tform1.h"
#include "gui/shell/webengineprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

class NoOpener : public nuvio::UrlOpener
{
public:
    void open(const std::string&) override {}
};

long pssKilobytes(long pid)
{
    long total = 0;
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string line; std::getline(rollup, line);) {
        if (line.rfind("Pss:", 0) == 0)
            total += std::atol(line.c_str() + 4);
    }
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                           "/children");
    long child = 0;
    while (children >> child)
        total += pssKilobytes(child);
    return total;
}

// Waits in an event loop as the program's own: QTest's waits sleep 10 ms between rounds of
// events, and the view's pieces of the page and its frames wait for those rounds.
bool waitFor(const std::function<bool()>& done, int milliseconds)
{
    QEventLoop loop;
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= milliseconds)
            loop.quit();
    });
    check.start(20);
    if (!done())
        loop.exec();
    return done();
}

void wait(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

} // namespace

int main(int argc, char** argv)
{
    const int feeds = argc > 1 ? std::atoi(argv[1]) : 50;
    const int items = argc > 2 ? std::atoi(argv[2]) : 999;
    nuvio::prepareWebEngineProcess();
    nuvio::NuvioApplication app(argc, argv);

    QTemporaryDir dir;
    const std::string install = dir.path().toStdString();
    for (const char* file : {"default.css", "blank.gif", "feed-line.gif", "feed-line-new.gif",
                             "stripes_gray.gif", "update.wav"})
        QFile::copy(QStringLiteral(NUVIO_SOURCE_DIR "/data/") + QString::fromLatin1(file),
                    dir.filePath(QString::fromLatin1(file)));
    {
        nuvio::NewsPageWriter page(install + "/news.html", "");
        page.beginPage();
        for (int f = 0; f < feeds; ++f) {
            page.feedHeading("http://feed" + std::to_string(f) + ".example/",
                             "Feed nummer " + std::to_string(f));
            for (int i = 0; i < items; ++i)
                page.item("http://feed" + std::to_string(f) + ".example/nyhed/" + std::to_string(i),
                          "Overskrift " + std::to_string(i) + " med nogle ord om dagens nyhed");
        }
        page.endPage();
    }
    const auto pageBytes = QFile(dir.filePath(QStringLiteral("news.html"))).size();
    std::ofstream(install + "/hive.reg")
        << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"InstallPath\"=\""
        << install << "\"\n";

    nuvio::AppSettings settings;
    nuvio::ProgramValues program;
    NoOpener opener;
    nuvio::TForm1 form(settings, program, install + "/hive.reg", &opener);
    form.show();
    wait(1000); // the engine is up and idle

    QElapsedTimer clock;
    bool loaded = false;
    QObject::connect(form.findChild<QWebEngineView*>(QStringLiteral("WebBrowser1")),
                     &QWebEngineView::loadFinished, [&] { loaded = true; });
    clock.start();
    form.VisNyheder();
    if (!waitFor([&] { return loaded; }, 120000))
        std::fprintf(stderr, "the page did not load within two minutes\n");
    const double loadSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    // Asking for the page's height makes the engine lay the whole page out first.
    bool laidOut = false;
    form.findChild<QWebEngineView*>(QStringLiteral("WebBrowser1"))
        ->page()
        ->runJavaScript(QStringLiteral("document.body.offsetHeight"),
                        [&](const QVariant&) { laidOut = true; });
    if (!waitFor([&] { return laidOut; }, 120000))
        std::fprintf(stderr, "the page was not laid out within two minutes\n");
    const double layoutSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    // Where the time went: the page's arrival, its parsing, its load event.
    QString timing;
    form.findChild<QWebEngineView*>(QStringLiteral("WebBrowser1"))
        ->page()
        ->runJavaScript(
            QStringLiteral("(() => { const n = performance.getEntriesByType('navigation')[0];"
                           " const p = performance.getEntriesByName('first-contentful-paint')[0];"
                           " return `first headlines painted ${p ? (p.startTime / 1000).toFixed(2)"
                           " : '?'} s, response ${(n.responseEnd / 1000).toFixed(2)} s, parsed "
                           "${(n.domInteractive / 1000).toFixed(2)} s, load event "
                           "${(n.loadEventStart / 1000).toFixed(2)} s`; })()"),
            [&](const QVariant& value) { timing = value.toString(); });
    if (!waitFor([&] { return !timing.isEmpty(); }, 10000))
        timing = QStringLiteral("not read");
    std::printf("in the page: %s\n", qPrintable(timing));
    wait(2000);
    std::printf("page %.1f MB (%d feeds × %d items): loaded %.2f s, laid out %.2f s, PSS %ld MB\n",
                static_cast<double>(pageBytes) / 1e6, feeds, items, loadSeconds, layoutSeconds,
                pssKilobytes(QCoreApplication::applicationPid()) / 1024);
    std::fflush(stdout);
    // The engine does not wind down without an event loop; the figures are out.
    std::_Exit(0);
}
