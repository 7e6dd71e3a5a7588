// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nuvio {

// An INI file read with the rules of Windows private-profile files: sections and keys
// match without regard to letter case (first occurrence wins), blanks around a value are
// dropped, one pair of enclosing double or single quotes is removed, and a value is cut
// to 2047 characters. Texts stay Windows-1252 bytes. A missing or unreadable file reads as
// an empty one.
class ProfileIni
{
public:
    static constexpr std::size_t kMaxValue = 2047;

    static ProfileIni parse(std::string_view text);
    static ProfileIni load(const std::string& path);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The value, or `fallback` when the section or key is missing; a present empty value
    // is the empty text.
    std::string read(std::string_view section, std::string_view key,
                     std::string_view fallback) const;

private:
    // Looked up by name with letter case folded, so that a file of many keys is read in
    // one pass however many texts are asked of it; a section's name is kept once, however
    // many keys it holds.
    std::unordered_map<std::string, std::size_t> m_sectionIds;
    std::unordered_map<std::string, std::string> m_values; // section id, "=", key: value
};

// Letter case folded the way the system compares names: A–Z and the accented letters of
// Windows-1252.
bool equalsIgnoringCase1252(std::string_view a, std::string_view b);

} // namespace nuvio
