// SPDX-License-Identifier: MIT
// A hive file: read, written and read again gives the same values, and a value set in it
// reads back as set, with everything else unchanged.
#include "core/platform/registryhive.h"

#include <cstdlib>
#include <string>

namespace {
const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio";
const char* kNames[] = {"InstallPath", "mleft", "MaxNewsPerFeed", "UserLanguage", "", "x"};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto hive = nuvio::RegistryHive::parse(text);
    const auto again = nuvio::RegistryHive::parse(hive.serialize());
    for (const char* name : kNames) {
        const auto a = hive.value(kKey, name);
        const auto b = again.value(kKey, name);
        if (a.has_value() != b.has_value() || (a && (a->type != b->type || a->data != b->data)))
            std::abort();
    }
    auto changed = hive;
    const std::string value = text.substr(0, 64);
    changed.setValue(kKey, "mleft", {nuvio::RegSz, value});
    const auto reread = nuvio::RegistryHive::parse(changed.serialize());
    const auto stored = reread.value(kKey, "mleft");
    if (!stored || stored->type != nuvio::RegSz || stored->data.substr(0, value.size()) != value)
        std::abort();
    for (const char* name : kNames) {
        if (std::string(name) == "mleft")
            continue;
        const auto a = hive.value(kKey, name);
        const auto b = reread.value(kKey, name);
        if (a.has_value() != b.has_value() || (a && a->data != b->data))
            std::abort();
    }
    return 0;
}
