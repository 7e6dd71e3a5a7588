// Writes settings or runs definition-file updates over and over, until it is killed.
//   crash_helper save HIVE
//   crash_helper update INSTALLDIR SERVERURL
#include "deffiles/definitionupdate.h"
#include "net/httpclient.h"
#include "settings/settingsstore.h"

#include <cstdio>
#include <string>

using namespace nuvio;

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
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
        DefinitionUpdateContext context;
        context.installPath = argv[2];
        context.serverBaseUrl = argv[3];
        context.userLanguage = "Dansk";
        context.http = &http;
        for (;;)
            UpdateDefinitionFiles(context);
    }
    std::fprintf(stderr, "usage: crash_helper save HIVE | update DIR URL\n");
    return 2;
}
