// SPDX-License-Identifier: MIT
#include "gui/language/loadlanguage.h"

#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"
#include "core/platform/codepage.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/language/qttranslations.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/tform1.h"

namespace nuvio {

void LoadLanguage(TForm1& form, Tsettings& dialog, Tdownloading& progressWindow)
{
    // Each window puts the texts that are its own on its widgets, in the file's order.
    const std::string file =
        languageFilePath(form.settings().InstallPath, form.settings().UserLanguage);
    loadAddedTexts(file);
    useQtTranslations(form.settings().InstallPath, form.settings().UserLanguage);
    const auto texts = readLanguageTexts(file);
    form.applyTexts(texts);
    dialog.applyTexts(texts);
    progressWindow.applyTexts(texts);
}

QString uiText(AddedText text)
{
    return fromCp1252(addedText(text));
}

} // namespace nuvio
