#include "language/languagekey.h"

namespace nuvio {

std::string languageKey(std::string_view userLanguage)
{
    std::string key(userLanguage);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

} // namespace nuvio
