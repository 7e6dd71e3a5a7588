// SPDX-License-Identifier: MIT
#include "core/language/languagekey.h"

#include "core/platform/asciitext.h"

namespace nuvio {

std::string languageKey(std::string_view userLanguage)
{
    return lowerAsciiCopy(userLanguage);
}

} // namespace nuvio
