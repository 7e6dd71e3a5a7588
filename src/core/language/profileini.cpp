// SPDX-License-Identifier: MIT
#include "core/language/profileini.h"

#include "core/platform/asciitext.h"
#include "core/platform/textfile.h"

namespace nuvio {

namespace {

unsigned char fold(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<unsigned char>(c + 16);
    case 0x9F: // Ÿ
        return 0xFF;
    default:
        return c;
    }
}

std::string folded(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return out;
}

std::string valueKey(std::size_t sectionId, std::string_view key)
{
    return std::to_string(sectionId) + "=" + folded(key);
}

} // namespace

bool equalsIgnoringCase1252(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

ProfileIni ProfileIni::parse(std::string_view text)
{
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    ProfileIni ini;
    std::size_t section = 0;
    bool inSection = false;
    for (const auto& raw : splitLines(text)) {
        const std::string_view line = trimBlanks(raw);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            const std::string name = folded(trimBlanks(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            section = ini.m_sectionIds.try_emplace(name, ini.m_sectionIds.size()).first->second;
            inSection = true;
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string_view::npos)
            continue;
        std::string_view value = trimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > kMaxValue)
            value = value.substr(0, kMaxValue);
        ini.m_values.try_emplace(valueKey(section, trimBlanks(line.substr(0, equals))), value);
    }
    return ini;
}

ProfileIni ProfileIni::load(const std::string& path)
{
    try {
        return parse(readFileBytes(path));
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<std::string> ProfileIni::value(std::string_view section, std::string_view key) const
{
    const auto id = m_sectionIds.find(folded(section));
    if (id == m_sectionIds.end())
        return std::nullopt;
    if (const auto found = m_values.find(valueKey(id->second, key)); found != m_values.end())
        return found->second;
    return std::nullopt;
}

std::string ProfileIni::read(std::string_view section, std::string_view key,
                             std::string_view fallback) const
{
    if (auto found = value(section, key))
        return *found;
    return std::string(fallback);
}

} // namespace nuvio
