// SPDX-License-Identifier: MIT
#include "gui/language/loadlanguage.h"

#include "core/language/languagetable.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/tform1.h"

namespace nuvio {

void LoadLanguage(TForm1& form, Tsettings& dialog, Tdownloading& progressWindow)
{
    // Each window puts the texts that are its own on its widgets, in the file's order.
    const auto texts = readLanguageTexts(
        languageFilePath(form.settings().InstallPath, form.settings().UserLanguage));
    form.applyTexts(texts);
    dialog.applyTexts(texts);
    progressWindow.applyTexts(texts);
}

} // namespace nuvio
