// SPDX-License-Identifier: MIT
#include "core/platform/codepage.h"

#include "core/platform/cp1252.h"

namespace nuvio {

QString fromCp1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes)
        text.append(
            QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(byte)))));
    return text;
}

std::string toCp1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += '?';
            ++i;
            continue;
        }
        int byte = unicodeToCp1252(c);
        // The controls that stand for the unassigned bytes go back to those bytes, so that
        // every byte string survives the trip through a widget.
        if (byte < 0 && c >= 0x80 && c < 0xA0 &&
            cp1252ToUnicode(static_cast<unsigned char>(c)) == c)
            byte = c;
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return bytes;
}

} // namespace nuvio
