#include "platform/codepage.h"

#include <array>
#include <unordered_map>

namespace nuvio {

namespace {

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const std::unordered_map<char16_t, char>& reverseHighControls()
{
    static const auto table = [] {
        std::unordered_map<char16_t, char> map;
        for (std::size_t i = 0; i < kHighControls.size(); ++i)
            map.emplace(kHighControls[i], static_cast<char>(0x80 + i));
        return map;
    }();
    return table;
}

} // namespace

QString fromCp1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0x80 && b < 0xA0)
            text.append(QChar(kHighControls[b - 0x80]));
        else
            text.append(QChar(static_cast<char16_t>(b)));
    }
    return text;
}

std::string toCp1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    const auto& reverse = reverseHighControls();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += '?';
            ++i;
            continue;
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        const auto found = reverse.find(c);
        bytes += found != reverse.end() ? found->second : '?';
    }
    return bytes;
}

} // namespace nuvio
