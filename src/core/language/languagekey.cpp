// SPDX-License-Identifier: MIT
#include "core/language/languagekey.h"

#include "core/platform/asciitext.h"

namespace nuvio {

std::string languageKey(std::string_view userLanguage)
{
    std::string key(userLanguage);
    for (char& c : key)
        c = lowerAscii(c);
    return key;
}

} // namespace nuvio
