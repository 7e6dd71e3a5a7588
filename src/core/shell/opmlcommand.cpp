// SPDX-License-Identifier: MIT
#include "core/shell/opmlcommand.h"

#include "core/language/addedtexts.h"
#include "core/language/languagetable.h"
#include "core/news/feedexchange.h"
#include "core/platform/atomicfile.h"
#include "core/platform/codepage.h"
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "core/settings/settingsstore.h"
#include "core/shell/commandline.h"

#include <cerrno>
#include <sys/stat.h>

namespace nuvio {

namespace {

constexpr std::string_view kImport = "--import-opml";
constexpr std::string_view kExport = "--export-opml";

void printLine(std::FILE* stream, const std::string& cp1252Text)
{
    std::fprintf(stream, "%s\n", fromCp1252(cp1252Text).toLocal8Bit().constData());
}

// The system's reason in the interface language where it is one a user meets here.
std::string reasonText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return addedText(AddedText::ReasonNoSuchFile);
    case EACCES:
    case EPERM:
    case EROFS:
        return addedText(AddedText::ReasonAccessDenied);
    case ENOSPC:
    case EDQUOT:
        return addedText(AddedText::ReasonDiskFull);
    case EISDIR:
        return addedText(AddedText::ReasonIsFolder);
    default:
        return errors::systemReason(errorNumber);
    }
}

std::string fileErrorText(const std::string& path, int errorNumber, bool creating)
{
    return addedText(creating ? AddedText::FileCannotCreate : AddedText::FileCannotOpen,
                     {path, reasonText(errorNumber)});
}

} // namespace

bool isOpmlOption(std::string_view option)
{
    for (const auto name : {kImport, kExport}) {
        if (option == name || (option.starts_with(name) && option.substr(name.size(), 1) == "="))
            return true;
    }
    return false;
}

int runOpmlCommand(int argc, char** argv, int index, const std::string& hivePath, std::FILE* out,
                   std::FILE* err, const LoginKeeper& keepLogin)
{
    const std::string_view option = argv[index];
    const bool import = option.starts_with(kImport);
    std::string file;
    if (const auto equals = option.find('='); equals != std::string_view::npos)
        file = option.substr(equals + 1);
    else if (index + 1 < argc)
        file = argv[index + 1];
    // What goes wrong is said in the interface language, once it is known.
    loadCommandLineTexts(hivePath);
    if (file.empty()) {
        printLine(err, addedText(AddedText::CliNeedsFile, {"nuvio", option}));
        return 1;
    }
    try {
        RegistryKey key(hivePath, kSettingsKeyPath);
        std::string installPath;
        std::string language = "Dansk";
        if (key.openOrCreate()) {
            installPath = key.readString("InstallPath");
            if (const std::string chosen = key.readString("UserLanguage"); !chosen.empty())
                language = chosen;
        }
        if (installPath.empty()) {
            printLine(err, addedText(AddedText::CliNoInstallPath, {"nuvio", hivePath}));
            return 1;
        }
        struct stat folder
        {
        };
        if (::stat(installPath.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            throw errors::cannotOpenFile(installPath, ENOENT);
        loadAddedTexts(languageFilePath(installPath, language));
        // "-": standard input or output; the line that says what was done then goes to the
        // error output, leaving the OPML alone on the standard output.
        const bool standard = file == "-";
        if (import) {
            const OpmlImport imported = importOpmlFile(installPath, standard ? "/dev/stdin" : file);
            printLine(out, importReport(file, imported));
            for (const auto& [origin, login] : imported.logins) {
                const MovedLogin where = keepLogin(origin, login);
                printLine(where == MovedLogin::LeftOut ? err : out,
                          movedLoginReport(origin, where));
            }
        } else if (standard) {
            const OpmlExport exported = exportOpml(installPath);
            std::fwrite(exported.text.data(), 1, exported.text.size(), out);
            std::fflush(out);
            printLine(err, exportReport(file, exported.count));
        } else {
            printLine(out, exportReport(file, exportOpmlFile(installPath, file)));
        }
        return 0;
    } catch (const FileError& error) {
        printLine(err,
                  "nuvio: " + fileErrorText(error.path(), error.errorNumber(), error.creating()));
        return 1;
    } catch (const FileWriteError& error) {
        printLine(err, "nuvio: " + fileErrorText(file, error.errorNumber(), true));
        return 1;
    } catch (const std::exception& error) {
        printLine(err, std::string("nuvio: ") + error.what());
        return 1;
    }
}

} // namespace nuvio
