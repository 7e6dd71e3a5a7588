// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

class TForm1;
class Tsettings;
class Tdownloading;

// Puts the texts of the language file that the language setting names onto the three
// windows, in the table's order; a missing file, section or key gives the default text.
// Never fails.
void LoadLanguage(TForm1& form, Tsettings& settingsDialog, Tdownloading& progressWindow);

} // namespace nuvio
