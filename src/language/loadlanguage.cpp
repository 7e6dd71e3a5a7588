#include "language/loadlanguage.h"

namespace nuvio {

void LoadLanguage(TForm1&, Tsettings&, Tdownloading&)
{
    // The language files and their texts are read here once the reader for them exists;
    // until then every window keeps its built-in Danish texts.
}

} // namespace nuvio
