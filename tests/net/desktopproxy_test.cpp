// SPDX-License-Identifier: MIT
#include "core/net/httpclient.h"
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>

using namespace nuvio;

namespace {

// One value of GNOME's proxy settings, written through dconf on this run's own session bus
// as the desktop's settings panel writes it.
bool setDesktopSetting(const std::string& schema, const std::string& key, const std::string& value)
{
    const std::string command =
        "gsettings set org.gnome.system.proxy" + schema + " " + key + " \"" + value + "\"";
    return std::system(command.c_str()) == 0;
}

} // namespace

// Its own program under its own session bus: the route is read once a run, and from the
// desktop only in a GNOME session.
TEST(DesktopProxy, FeedsTakeTheRouteGnomesSettingsName)
{
    test::TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    // dconf's service, started by the bus, writes where the readers look: not the user's own.
    ASSERT_EQ(std::system("dbus-update-activation-environment XDG_CONFIG_HOME"), 0);
    ::setenv("GSETTINGS_BACKEND", "dconf", 1);
    ::setenv("DESKTOP_SESSION", "gnome", 1);
    for (const char* variable : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                                 "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        ::unsetenv(variable);

    test::LoopbackServer proxy;
    std::mutex mutex;
    std::string asked;
    proxy.server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex);
        asked = request.path;
        response.set_content("<rss>g</rss>", "application/rss+xml");
    });
    proxy.start();
    ASSERT_TRUE(setDesktopSetting(".http", "host", "127.0.0.1"));
    ASSERT_TRUE(setDesktopSetting(".http", "port", std::to_string(proxy.port())));
    ASSERT_TRUE(setDesktopSetting("", "ignore-hosts", "['*.direct.test']"));
    ASSERT_TRUE(setDesktopSetting("", "mode", "manual"));

    struct Case
    {
        const char* what;
        const char* url;
        std::string body;    // empty: fails
        HttpFailure failure; // when it fails
        std::string asked;   // what the proxy was asked, when it was
    };
    // The feeds' hosts resolve nowhere: only the proxy can answer for them.
    const Case cases[] = {
        {"the proxy the settings name", "http://feeds.nuvio.test/rss", "<rss>g</rss>",
         HttpFailure::None, "http://feeds.nuvio.test/rss"},
        {"a host the settings send directly", "http://feeds.direct.test/rss", "",
         HttpFailure::NameNotFound, ""},
    };
    HttpClient::Limits limits;
    limits.connect = std::chrono::milliseconds(5000);
    limits.silence = std::chrono::milliseconds(5000);
    limits.total = std::chrono::milliseconds(10000);
    HttpClient client(limits);
    for (const auto& c : cases) {
        {
            std::lock_guard lock(mutex);
            asked.clear();
        }
        const HttpResult result = client.get(c.url);
        EXPECT_EQ(result.body, c.body) << c.what << ": " << result.error;
        EXPECT_EQ(result.failure, c.failure) << c.what << ": " << result.error;
        std::lock_guard lock(mutex);
        EXPECT_EQ(asked, c.asked) << c.what;
    }
}
