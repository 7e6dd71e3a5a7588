// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace nuvio {

// The program's texts are Windows-1252 bytes; these two convert them where they meet a
// widget or a Qt API that wants Unicode. The five bytes the code page leaves undefined map
// to the C1 controls of the same value, so every byte string survives the round trip.
QString fromCp1252(std::string_view bytes);

// Characters the code page lacks become "?".
std::string toCp1252(const QString& text);

} // namespace nuvio
