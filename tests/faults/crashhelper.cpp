// SPDX-License-Identifier: MIT
// Writes settings or runs definition-file updates over and over, until it is killed; or
// makes one write and prints its failure, for runs as another user.
//   crash_helper save HIVE
//   crash_helper update INSTALLDIR SERVERURL
//   crash_helper once save HIVE | once select FILE [FEED...] | once update INSTALLDIR SERVERURL
//   crash_helper once refresh INSTALLDIR CACHEFOLDER     (prints the status lines)
//   crash_helper hold FILE   (writes half of FILE, makes FILE.ready, waits for FILE.go, ends it)
#include "core/deffiles/definitionupdate.h"
#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/news/feedlists.h"
#include "core/news/newsrefresh.h"
#include "core/platform/atomicfile.h"
#include "core/settings/settingsstore.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace nuvio;

namespace {

void updateDefinitionFiles(HttpClient& http, const std::string& folder, const std::string& server)
{
    DefinitionUpdateContext context;
    context.installPath = folder;
    context.serverBaseUrl = server;
    context.userLanguage = "Dansk";
    context.http = &http;
    fetchDefinitionFiles(context);
}

int writeOnce(const std::string& what, const std::vector<std::string>& args)
{
    try {
        if (what == "save" && args.size() == 1) {
            AppSettings settings;
            settings.UserLanguage = "English";
            SaveSettings(args[0], settings, {1, 2, 300, 400}, 60000);
        } else if (what == "select" && !args.empty()) {
            writeSelectedFeeds(args[0], {args.begin() + 1, args.end()});
        } else if (what == "update" && args.size() == 2) {
            HttpClient http;
            updateDefinitionFiles(http, args[0], args[1]);
        } else if (what == "refresh" && args.size() == 2) {
            HttpClient http;
            FeedCache cache(args[1]);
            NewsRefreshContext context;
            context.installPath = args[0];
            context.showStatus = [](const std::string& text) { std::printf("%s|", text.c_str()); };
            context.http = &http;
            context.cache = &cache;
            refreshNewsPage(context);
        } else {
            return 2;
        }
    } catch (const std::exception& error) {
        std::printf("%s", error.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "once" && argc > 2)
        return writeOnce(argv[2], {argv + 3, argv + argc});
    if (mode == "hold" && argc == 3) {
        // A writer in the middle of its write, for as long as the test wants.
        try {
            const std::string path = argv[2];
            AtomicFileWriter file(path);
            file.write("first half, ");
            std::ofstream(path + ".ready").flush();
            while (!std::filesystem::exists(path + ".go"))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            file.write("second half");
            file.commit();
        } catch (const std::exception& error) {
            std::printf("%s", error.what());
            return 1;
        }
        return 0;
    }
    if (mode == "save" && argc == 3) {
        for (int round = 0;; ++round) {
            AppSettings settings;
            const bool odd = round % 2;
            settings.UserLanguage = odd ? "English" : "Deutsch";
            settings.MaxNewsPerFeed = odd ? 11 : 22;
            settings.MinToSysTray = odd;
            SaveSettings(argv[2], settings, {odd ? 1 : 2, odd ? 3 : 4, 300, 400},
                         odd ? 60000 : 120000);
        }
    }
    if (mode == "update" && argc == 4) {
        HttpClient http;
        for (;;)
            updateDefinitionFiles(http, argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: crash_helper save HIVE | update DIR URL\n");
    return 2;
}
