// SPDX-License-Identifier: MIT
#include "gui/deffiles/tdownloading.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/startup.h"
#include "support/formfixture.h"
#include "support/loopbackserver.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <mutex>
#include <thread>

using namespace nuvio;
namespace {

// The main window against a vendor server, wired to the real settings dialog and progress
// window as start-up wires them.
class DefinitionFilesWindowTest : public test::FormFixture
{
protected:
    void TearDown() override
    {
        dialog.reset();
        progressWindow.reset();
        test::FormFixture::TearDown();
    }

    TForm1& createAgainst(const test::LoopbackServer& server)
    {
        ::setenv("NUVIO_SERVER_URL", server.url("/").c_str(), 1);
        auto& f = create();
        ::unsetenv("NUVIO_SERVER_URL");
        dialog = std::make_unique<Tsettings>(f);
        progressWindow = std::make_unique<Tdownloading>();
        f.setCommands(standardCommands(f, *dialog, *progressWindow));
        return f;
    }

    std::unique_ptr<Tsettings> dialog;
    std::unique_ptr<Tdownloading> progressWindow;
};

} // namespace

TEST(Tdownloading, ToolWindowInTheMiddleOfTheScreen)
{
    Tdownloading window;
    EXPECT_EQ(window.windowTitle(), "Opdaterer definitions filer");
    EXPECT_EQ(window.size(), QSize(252, 49));
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->geometry(), QRect(16, 16, 217, 17));
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);
    EXPECT_FALSE(window.isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window.x(), static_cast<int>(std::nearbyint((screen.width() - 252) / 2.0)));
    EXPECT_EQ(window.y(), static_cast<int>(std::nearbyint((screen.height() - 49) / 2.0)));

    window.begin(5);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->minimum(), 0);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->maximum(), 4);
    window.at(3);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->value(), 3);
    window.close();
    EXPECT_FALSE(window.isVisible()) << "the close box only hides it";
    window.at(4);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->value(), 4) << "and the run goes on";
    window.begin(0);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->value(), 0);
    EXPECT_LT(widget<QProgressBar>(window, "pgBar1")->minimum(),
              widget<QProgressBar>(window, "pgBar1")->maximum())
        << "an empty list is an empty bar, not a busy one";
    window.begin(1);
    EXPECT_LT(widget<QProgressBar>(window, "pgBar1")->minimum(),
              widget<QProgressBar>(window, "pgBar1")->maximum())
        << "nor is a one-entry list";
    window.at(0);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->value(), 0);
    window.at(1);
    EXPECT_EQ(widget<QProgressBar>(window, "pgBar1")->value(),
              widget<QProgressBar>(window, "pgBar1")->maximum())
        << "and it ends full";
    window.end();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(DefinitionFilesWindowTest, MenuCommandRunsTheWholeList)
{
    test::LoopbackServer server;
    server.server().Get("/localfiles/v100/dansk_filelist.txt",
                        [](const httplib::Request&, httplib::Response& response) {
                            response.set_content("index.html!index.html\r\n", "text/plain");
                        });
    server.server().Get("/localfiles/v100/index.html",
                        [](const httplib::Request&, httplib::Response& response) {
                            response.set_content("<html>fresh</html>", "text/html");
                        });
    server.start();
    auto& f = createAgainst(server);
    dir.write("filelist.txt", "fresh");
    widget<QAction>(f, "Opdatrnuvio1")->trigger();
    EXPECT_EQ(dir.read("index.html"), "<html>fresh</html>") << "even when the list is fresh";
    EXPECT_EQ(dir.read("filelist.txt"), "index.html!index.html\r\n");
    EXPECT_FALSE(progressWindow->isVisible());

    server.server().Get(
        "/localfiles/v100/english_filelist.txt",
        [](const httplib::Request&, httplib::Response& response) { response.status = 503; });
    settings.UserLanguage = "English";
    messages.clear();
    EXPECT_NO_THROW(f.Opdatrnuvio1Click());
    ASSERT_EQ(messages.size(), 1u) << "the failure is reported";
    EXPECT_EQ(messages[0].text, "HTTP/1.1 503 Service Unavailable.");
    EXPECT_FALSE(progressWindow->isVisible()) << "hidden after a failure too";
}

TEST_F(DefinitionFilesWindowTest, LanguageChangedDuringAnUpdateGetsItsOwnRunAfter)
{
    test::LoopbackServer server;
    std::mutex mutex;
    std::vector<std::string> lists;
    server.server().Get(R"(/localfiles/v100/(\w+)_filelist.txt)",
                        [&](const httplib::Request& request, httplib::Response& response) {
                            {
                                std::lock_guard lock(mutex);
                                lists.push_back(request.matches[1]);
                            }
                            std::this_thread::sleep_for(std::chrono::milliseconds(500));
                            response.set_content("", "text/plain");
                        });
    server.start();
    auto& f = createAgainst(server);
    // The user picks another language while the Danish files are on their way; the
    // update it asks for meanwhile is ignored, as a second run always is.
    QTimer::singleShot(100, [&] {
        settings.UserLanguage = "English";
        f.Opdatrnuvio1Click();
    });
    f.Opdatrnuvio1Click();
    std::lock_guard lock(mutex);
    EXPECT_EQ(lists, (std::vector<std::string>{"dansk", "english"}));
    EXPECT_TRUE(messages.empty());
}
