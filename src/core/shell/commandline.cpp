// SPDX-License-Identifier: MIT
#include "core/shell/commandline.h"

#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"

#include <algorithm>
#include <array>

namespace nuvio {

void loadCommandLineTexts(const std::string& hivePath)
{
    try {
        RegistryKey key(hivePath, kSettingsKeyPath);
        if (!key.openOrCreate())
            return;
        const std::string installPath = key.readString("InstallPath");
        const std::string language = key.readString("UserLanguage");
        if (installPath.empty() || language.empty())
            return;
        loadAddedTexts(languageFilePath(installPath, language));
    } catch (const std::exception&) {
        // Danish, then.
    }
}

bool isToolkitOption(std::string_view option, bool& takesValue)
{
    if (option.starts_with("--"))
        option.remove_prefix(1);
    constexpr std::array<std::string_view, 14> withValue = {
        "-session",     "-display",           "-platform",     "-style",
        "-name",        "-geometry",          "-title",        "-stylesheet",
        "-plugin",      "-platformtheme",     "-qwindowtitle", "-qwindowgeometry",
        "-qwindowicon", "-platformpluginpath"};
    constexpr std::array<std::string_view, 5> alone = {"-reverse", "-sync", "-widgetcount",
                                                       "-nograb", "-dograb"};
    for (const auto name : withValue) {
        if (option == name) {
            takesValue = true;
            return true;
        }
        if (option.starts_with(name) && option.substr(name.size(), 1) == "=") {
            takesValue = false;
            return true;
        }
    }
    for (const auto name : alone) {
        if (option == name) {
            takesValue = false;
            return true;
        }
    }
    return false;
}

std::string unknownOptionText(const std::string& appName, std::string_view option)
{
    return addedText(AddedText::CliUnknownOption, {appName, option}) + "\n" +
           addedText(AddedText::CliUsage, {appName});
}

std::string helpText(const std::string& appName)
{
    const auto option = [](std::string name, const std::string& what) {
        name.resize(std::max<std::size_t>(name.size() + 2, 24), ' ');
        return "  " + name + what + "\n";
    };
    const std::string& file = addedText(AddedText::CliFile);
    return addedText(AddedText::CliUsage, {appName}) + "\n" + addedText(AddedText::CliHelpAbout) +
           "\n" + option("-h, --help", addedText(AddedText::CliHelpHelp)) +
           option("-v, --version", addedText(AddedText::CliHelpVersion)) +
           option("--import-opml " + file + "|-", addedText(AddedText::CliHelpImport)) +
           option("--export-opml " + file + "|-", addedText(AddedText::CliHelpExport)) +
           addedText(AddedText::CliHelpFiles) + "\n";
}

} // namespace nuvio
