// SPDX-License-Identifier: MIT
#pragma once

#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"

#include <QString>
#include <utility>

namespace nuvio {

class TForm1;
class Tsettings;
class Tdownloading;

// Puts the texts of the language file that the language setting names onto the three
// windows, in the table's order; a missing file, section or key gives the default text.
// Never fails.
void LoadLanguage(TForm1& form, Tsettings& settingsDialog, Tdownloading& progressWindow);

// An added text of the language loaded last, for a widget; "%1", "%2", ... as QString::arg fills.
QString uiText(AddedText text);

// For the windows' applyTexts: puts `text` on the label, button or action that `table`
// pairs with `target`. False when the table names no such target.
template <typename Widget, std::size_t N>
bool setTextOf(const std::pair<TextTarget, Widget*> (&table)[N], TextTarget target,
               const QString& text)
{
    for (const auto& [each, widget] : table) {
        if (each == target) {
            widget->setText(text);
            return true;
        }
    }
    return false;
}

} // namespace nuvio
