// SPDX-License-Identifier: MIT
#include "core/language/addedtexts.h"

#include "core/language/profileini.h"

#include <array>
#include <cstddef>

namespace nuvio {

namespace {

constexpr std::size_t kCount = static_cast<std::size_t>(AddedText::Count);

using T = AddedText;
constexpr std::array<AddedTextRow, kCount> kRows = {{
    {T::NoUpdateServer, "NoUpdateServer",
     "Ingen opdateringsserver: de lokale sider f\xF8lger med programpakken"},
    {T::TrayRestore, "TrayRestore", "Vis nuvio"},
}};

constexpr bool rowsInEnumOrder()
{
    for (std::size_t i = 0; i < kRows.size(); ++i)
        if (static_cast<std::size_t>(kRows[i].text) != i)
            return false;
    return true;
}
static_assert(rowsInEnumOrder(), "rows follow the enum");

std::array<std::string, kCount> danishTexts()
{
    std::array<std::string, kCount> texts;
    for (std::size_t i = 0; i < kCount; ++i)
        texts[i] = std::string(kRows[i].danish);
    return texts;
}

// The interface has one language at a time and is driven from the UI thread only.
std::array<std::string, kCount>& currentTexts()
{
    static std::array<std::string, kCount> texts = danishTexts();
    return texts;
}

} // namespace

std::span<const AddedTextRow> addedTextTable()
{
    return kRows;
}

const std::string& addedText(AddedText text)
{
    return currentTexts()[static_cast<std::size_t>(text)];
}

void loadAddedTexts(const std::string& languageFile)
{
    const ProfileIni ini = ProfileIni::load(languageFile);
    auto& texts = currentTexts();
    for (std::size_t i = 0; i < kCount; ++i)
        texts[i] = ini.read(kAddedTextSection, kRows[i].key, kRows[i].danish);
}

} // namespace nuvio
