// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// The language name with A–Z lowered and every other byte kept: the "l" parameter of the
// local pages, the language file's name and part of the server's file-list name.
std::string languageKey(std::string_view userLanguage);

} // namespace nuvio
