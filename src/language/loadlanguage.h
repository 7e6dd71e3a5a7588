#pragma once

namespace nuvio {

class TForm1;
class Tsettings;
class Tdownloading;

// Replaces the built-in Danish texts of the three windows with those of the language file
// that the language setting names.
void LoadLanguage(TForm1& form, Tsettings& settingsDialog, Tdownloading& progressWindow);

} // namespace nuvio
