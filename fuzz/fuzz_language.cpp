// SPDX-License-Identifier: MIT
// A language file: every text of the table is read without a crash, and no value is
// longer than a profile value may be.
#include "core/language/languagetable.h"
#include "core/language/profileini.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto ini =
        nuvio::ProfileIni::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& row : nuvio::languageTable()) {
        const std::string text = ini.read(row.section, row.key, row.defaultText);
        if (text.size() > nuvio::ProfileIni::kMaxValue && text != row.defaultText)
            std::abort();
    }
    return 0;
}
