#include "deffiles/definitionfiles.h"

namespace nuvio {

void CheckDefinitionFiles(TForm1&, Tdownloading&)
{
    // The age check and the download run belong here; until they exist the local pages
    // the installer laid down are used as they are.
}

} // namespace nuvio
