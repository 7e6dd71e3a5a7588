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
    {T::MenuImportFeeds, "MenuImportFeeds", "&Import\xE9r feeds\x85"},
    {T::MenuExportFeeds, "MenuExportFeeds", "&Eksport\xE9r feeds\x85"},
    {T::OpmlFileTypes, "OpmlFileTypes", "OPML-filer (*.opml *.xml);;Alle filer (*)"},
    {T::OpmlImportButton, "OpmlImportButton", "Import\xE9r"},
    {T::OpmlExportButton, "OpmlExportButton", "Eksport\xE9r"},
    {T::FileDialogLookIn, "FileDialogLookIn", "S\xF8g i:"},
    {T::FileDialogFileName, "FileDialogFileName", "Filnavn:"},
    {T::FileDialogFileType, "FileDialogFileType", "Filtype:"},
    {T::FileDialogCancel, "FileDialogCancel", "Annuller"},
    {T::OpmlImported, "OpmlImported", "Feeds importeret fra %1: %2 tilf\xF8jet, %3 sprunget over"},
    {T::OpmlExported, "OpmlExported", "Feeds eksporteret til %1: %2"},
    {T::OpmlNotXml, "OpmlNotXml", "%1 er ikke en OPML-fil (linje %2): %3"},
    {T::OpmlNotOpml, "OpmlNotOpml", "%1 er ikke en OPML-fil"},
    {T::OpmlNoFeeds, "OpmlNoFeeds", "%1 indeholder ingen feeds"},
    {T::OpmlTooLarge, "OpmlTooLarge", "%1 er st\xF8rre end 10 MB"},
    {T::OpmlDeclaresEntities, "OpmlDeclaresEntities",
     "%1 erkl\xE6rer entiteter (DTD) og l\xE6ses ikke"},
    {T::OpmlNothingChosen, "OpmlNothingChosen", "Der er ingen valgte feeds at eksportere"},
    {T::NewHeadlines, "NewHeadlines", "Nye overskrifter: %1"},
    {T::FeedsFailed, "FeedsFailed", "%1 \x96 %2 af %3 feeds fejlede"},
    {T::NetworkDown, "NetworkDown", "Intet net \x96 de senest hentede nyheder vises"},
    {T::FailureNoConnection, "FailureNoConnection", "ingen forbindelse"},
    {T::FailureNameNotFound, "FailureNameNotFound", "navnet findes ikke"},
    {T::FailureCertificate, "FailureCertificate", "certifikatet er ikke godkendt"},
    {T::FailureSecureConnection, "FailureSecureConnection", "sikker forbindelse mislykkedes"},
    {T::FailureNoAnswer, "FailureNoAnswer", "intet svar"},
    {T::FailureNotAFeed, "FailureNotAFeed", "ikke et feed"},
    {T::FailureTooLarge, "FailureTooLarge", "svaret er for stort"},
    {T::FailureBroken, "FailureBroken", "forbindelsen blev afbrudt"},
    {T::FailureBadAnswer, "FailureBadAnswer", "ugyldigt svar"},
    {T::NewFeedPrefixed, "NewFeedPrefixed", "Adressen er tilf\xF8jet som %1"},
    {T::NewFeedNotAnAddress, "NewFeedNotAnAddress",
     "\"%1\" er ikke en adresse; intet feed er tilf\xF8jet"},
    {T::FailureNoAddress, "FailureNoAddress", "ingen adresse (ikke i kataloget)"},
    {T::StillFetching, "StillFetching", "Henter stadig: %1"},
    {T::MenuRefreshNow, "MenuRefreshNow", "Opdat\xE9r nyheder nu"},
    {T::MenuShowFailedFeeds, "MenuShowFailedFeeds", "Vis fejlede feeds"},
    {T::NewHeadline, "NewHeadline", "Ny"},
    {T::CliUnknownOption, "CliUnknownOption", "%1: ukendt tilvalg: %2"},
    {T::CliUsage, "CliUsage",
     "Brug: %1 [--help] [--version] [--import-opml FIL|-] [--export-opml FIL|-]"},
    {T::CliNeedsFile, "CliNeedsFile", "%1: %2 kr\xE6ver et filnavn"},
    {T::CliNoInstallPath, "CliNoInstallPath",
     "%1: ingen InstallPath i %2: start nuvio \xE9n gang, s\xE5 den installerer sine filer"},
    {T::FileCannotOpen, "FileCannotOpen",
     "Filen \"%1\" kan ikke \xE5"
     "bnes: %2"},
    {T::FileCannotCreate, "FileCannotCreate", "Filen \"%1\" kan ikke oprettes: %2"},
    {T::ReasonNoSuchFile, "ReasonNoSuchFile", "filen eller mappen findes ikke"},
    {T::ReasonAccessDenied, "ReasonAccessDenied", "adgang n\xE6gtet"},
    {T::ReasonDiskFull, "ReasonDiskFull", "disken er fuld"},
    {T::ReasonIsFolder, "ReasonIsFolder", "det er en mappe"},
    {T::XmlPrematureEnd, "XmlPrematureEnd", "filen slutter for tidligt"},
    {T::XmlNotWellFormed, "XmlNotWellFormed", "ikke gyldig XML"},
    {T::FailureProxy, "FailureProxy", "proxyen afviste eller kunne ikke n\xE5s"},
    {T::FailureLogin, "FailureLogin", "kr\xE6ver login"},
    {T::LoginTitle, "LoginTitle", "Log ind p\xE5 %1"},
    {T::LoginUser, "LoginUser", "Brugernavn:"},
    {T::LoginPassword, "LoginPassword", "Adgangskode:"},
    {T::LoginPlainHttp, "LoginPlainHttp",
     "Send dem ukrypteret (http): alle undervejs kan l\xE6se dem"},
    {T::LoginSessionOnly, "LoginSessionOnly",
     "Der er ingen n\xF8glering: login huskes kun, til programmet lukkes."},
    {T::LoginRefused, "LoginRefused", "Brugernavn eller adgangskode blev afvist."},
    {T::FailureClosed, "FailureClosed", "lukket af udgiveren"},
    {T::OpmlNotOrdinaryFile, "OpmlNotOrdinaryFile",
     "%1 er ikke en almindelig fil og er ladt, som den var"},
    {T::LoginMovedToKeyring, "LoginMovedToKeyring",
     "Brugernavn og adgangskode til %1 er taget ud af adressen og gemt i n\xF8gleringen"},
    {T::LoginMovedForSession, "LoginMovedForSession",
     "Brugernavn og adgangskode til %1 er taget ud af adressen; der er ingen n\xF8glering, s\xE5 "
     "de huskes kun, til programmet lukkes"},
    {T::LoginLeftOut, "LoginLeftOut",
     "Brugernavn og adgangskode til %1 er ikke gemt, for der er ingen n\xF8glering; feedet er "
     "tilf\xF8jet uden dem, og nuvio sp\xF8rger, n\xE5r det kr\xE6ver login"},
    {T::CliHelpAbout, "CliHelpAbout",
     "Viser overskrifterne fra de nyhedsfeeds, du v\xE6lger, en netradio og en s\xF8geside i sit "
     "eget vindue."},
    {T::CliHelpHelp, "CliHelpHelp", "vis denne tekst og slut"},
    {T::CliHelpVersion, "CliHelpVersion", "vis versionen og slut"},
    {T::CliHelpImport, "CliHelpImport",
     "tilf\xF8j feedsene i en OPML-fil (- er standardinddata) til de valgte"},
    {T::CliHelpExport, "CliHelpExport",
     "skriv de valgte feeds i en OPML-fil (- er standarduddata)"},
    {T::CliHelpFiles, "CliHelpFiles",
     "Indstillinger: $XDG_CONFIG_HOME/nuvio/HKEY_LOCAL_MACHINE.reg eller den fil, NUVIO_REGISTRY "
     "n\xE6vner. Leverand\xF8rserver: NUVIO_SERVER_URL (ingen som standard)."},
    {T::CliFile, "CliFile", "FIL"},
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

std::string addedText(AddedText text, std::initializer_list<std::string_view> values)
{
    const std::string& pattern = addedText(text);
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            out += values.begin()[index];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void loadAddedTexts(const std::string& languageFile)
{
    const ProfileIni ini = ProfileIni::load(languageFile);
    auto& texts = currentTexts();
    for (std::size_t i = 0; i < kCount; ++i)
        texts[i] = ini.read(kAddedTextSection, kRows[i].key, kRows[i].danish);
}

} // namespace nuvio
