// SPDX-License-Identifier: MIT
#include "core/platform/programvalues.h"
#include "core/shell/navigationrules.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace nuvio;

TEST(NavigationRules, MainViewSendsWebLinksOut)
{
    struct Case
    {
        const char* url;
        bool divert;
        bool opened; // handed over unchanged; otherwise cancelled and nothing opened
    };
    const Case cases[] = {
        {"http://example.dk/", true, true},
        {"HTTP://EXAMPLE.DK/", true, true},
        {"Https://example.dk/a?b", true, true},
        {"file:///home/u/nuvio/index.html?l=dansk", false, false},
        {"file:///home/u/nuvio/index.html?next=http://x.dk/", true, false},
        {"file:///home/u/nuvio/news.html?7-12-2026 08:00:00", false, false},
        {"realhttp://radio.dk/stream", true, false},
        {"smb://host/share/run.desktop?http://x", true, false},
        {"file:///home/u/.ssh/id_rsa#http://x", true, false},
        {" http://x.dk/", true, false},
        {"about:blank", false, false},
        {"javascript:void(0)", false, false},
        {"data:text/html,hi", false, false},
        {"nuvio:///home/u/nuvio/news.html?7", false, false},
        {"blob:file:///0d6c", false, false},
        // Schemes the desktop would open with a program of the user's.
        {"ftp://files.dk/", true, false},
        {"mailto:a@b.dk", true, false},
        {"smb://host/share", true, false},
        {"rtx://pwned", true, false},
        {"x-scheme+handler.1:go", true, false},
        {"http:/one-slash", true, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        const auto d = mainViewNavigation(c.url);
        EXPECT_EQ(d.divert, c.divert) << c.url;
        EXPECT_EQ(d.urlToOpen, c.opened ? c.url : "") << c.url;
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
        {"file:///x/netradio.html?go=realhttp://r.dk", true, ""},
        {"smb://realhttp://r.dk", true, ""},
        {"xrealhttp://r.dk", true, ""},
        {"http://radio.dk/player", false, ""},
        {"https://radio.dk/player", false, ""},
        {"file:///x/netradio.html?l=dansk", false, ""},
        {"real", false, ""},
        {"data:audio/wav;base64,UklG", false, ""},
        {"mailto:radio@r.dk", true, ""},
        {"rtx://pwned", true, ""},
        {"SMB://host/share", true, ""},
    };
    for (const auto& c : cases) {
        const auto d = radioViewNavigation(c.url);
        EXPECT_EQ(d.divert, c.divert) << c.url;
        EXPECT_EQ(d.urlToOpen, c.opened) << c.url;
    }
}

TEST(VendorAddress, OnlyAConfiguredWebServer)
{
    struct Case
    {
        const char* env; // nullptr: not set
        const char* url;
    };
    const Case cases[] = {
        {nullptr, ""},
        {"", ""},
        {"http://127.0.0.1:8000/", "http://127.0.0.1:8000/"},
        {"https://nuvio.example/", "https://nuvio.example/"},
        {"file:///tmp/vendor/", ""},
        {"127.0.0.1:8741/", ""},
    };
    for (const auto& c : cases) {
        if (c.env)
            ::setenv("NUVIO_SERVER_URL", c.env, 1);
        else
            ::unsetenv("NUVIO_SERVER_URL");
        EXPECT_EQ(vendorBaseUrl(), c.url) << (c.env ? c.env : "(unset)");
    }
    ::unsetenv("NUVIO_SERVER_URL");
}
