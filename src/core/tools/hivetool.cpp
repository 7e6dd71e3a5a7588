// SPDX-License-Identifier: MIT
// nuvio-hive: reads and writes string values of nuvio's settings key, for the installer
// and for scripts. Other keys and values in the hive are kept.
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const auto usage = [] {
        std::fprintf(
            stderr,
            "usage: nuvio-hive get NAME\n       nuvio-hive set NAME VALUE\n"
            "The hive is $NUVIO_REGISTRY, or $XDG_CONFIG_HOME/nuvio/HKEY_LOCAL_MACHINE.reg.\n");
        return 2;
    };
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    nuvio::RegistryKey key(nuvio::registryHivePath(), nuvio::kSettingsKeyPath);
    if (!key.openOrCreate()) {
        std::fprintf(stderr, "nuvio-hive: cannot open %s\n", nuvio::registryHivePath().c_str());
        return 1;
    }
    try {
        if (command == "get" && argc == 3) {
            std::printf("%s\n", key.readString(argv[2]).c_str());
            return 0;
        }
        if (command == "set" && argc == 4) {
            key.writeString(argv[2], argv[3]);
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nuvio-hive: %s\n", error.what());
        return 1;
    }
    return usage();
}
