// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// Qt's own texts (standard buttons, the edit fields' menus, the colour and font dialogs)
// in the language the interface shows, from Qt's translations (qtbase_*.qm): Danish while
// the built-in texts stand (no language file), German, and Norwegian (Bokmål where it is
// installed, else Nynorsk); Swedish where a Swedish file is installed. English, and any
// language Qt has no file for, keep Qt's English texts.
void useQtTranslations(const std::string& installPath, const std::string& userLanguage);

} // namespace nuvio
