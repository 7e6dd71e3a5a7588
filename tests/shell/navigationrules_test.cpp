#include "shell/navigationrules.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(NavigationRules, MainViewSendsWebLinksOut)
{
    struct Case
    {
        const char* url;
        bool divert;
    };
    const Case cases[] = {
        {"http://example.dk/", true},
        {"HTTP://EXAMPLE.DK/", true},
        {"Https://example.dk/a?b", true},
        {"file:///home/u/nuvio/index.html?l=dansk", false},
        {"file:///home/u/nuvio/index.html?next=http://x.dk/", true},
        {"file:///home/u/nuvio/news.html?7-12-2026 08:00:00", false},
        {"realhttp://radio.dk/stream", true},
        {"about:blank", false},
        {"javascript:void(0)", false},
        {"data:text/html,hi", false},
        {"ftp://files.dk/", false},
        {"http:/one-slash", false},
        {"", false},
    };
    for (const auto& c : cases) {
        const auto d = mainViewNavigation(c.url);
        EXPECT_EQ(d.divert, c.divert) << c.url;
        if (c.divert) {
            EXPECT_EQ(d.urlToOpen, c.url) << "handed over unchanged";
        }
    }
}

TEST(NavigationRules, RadioViewSendsOnlyRealLinksOut)
{
    struct Case
    {
        const char* url;
        bool divert;
        const char* opened;
    };
    const Case cases[] = {
        {"realhttp://radio.dk/live.m3u", true, "http://radio.dk/live.m3u"},
        {"REALHTTP://radio.dk/", true, "HTTP://radio.dk/"},
        {"realhttps://radio.dk/", true, "https://radio.dk/"},
        {"file:///x/netradio.html?go=realhttp://r.dk", true,
         ":///x/netradio.html?go=realhttp://r.dk"},
        {"http://radio.dk/player", false, ""},
        {"https://radio.dk/player", false, ""},
        {"file:///x/netradio.html?l=dansk", false, ""},
        {"real", false, ""},
    };
    for (const auto& c : cases) {
        const auto d = radioViewNavigation(c.url);
        EXPECT_EQ(d.divert, c.divert) << c.url;
        EXPECT_EQ(d.urlToOpen, c.opened) << c.url;
    }
}
