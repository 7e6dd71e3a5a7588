// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace nuvio {

// Texts nuvio shows beyond the language table (status lines, tray menu, messages of its
// own). Each has a key in the language file's [Messages] section and a Danish text that
// stands when a file lacks the key. Append new texts at the end and give every shipped
// language file the key.
enum class AddedText {
    NoUpdateServer,
    TrayRestore,
    MenuImportFeeds,
    MenuExportFeeds,
    OpmlFileTypes,
    OpmlImportButton,
    OpmlExportButton,
    FileDialogLookIn,
    FileDialogFileName,
    FileDialogFileType,
    FileDialogCancel,
    OpmlImported,
    OpmlExported,
    OpmlNotXml,
    OpmlNotOpml,
    OpmlNoFeeds,
    OpmlTooLarge,
    OpmlDeclaresEntities,
    OpmlNothingChosen,
    NewHeadlines,
    FeedsFailed,
    NetworkDown,
    FailureNoConnection,
    FailureNameNotFound,
    FailureCertificate,
    FailureSecureConnection,
    FailureNoAnswer,
    FailureNotAFeed,
    FailureTooLarge,
    FailureBroken,
    FailureBadAnswer,
    NewFeedPrefixed,
    NewFeedNotAnAddress,
    FailureNoAddress,
    StillFetching,
    MenuRefreshNow,
    MenuShowFailedFeeds,
    NewHeadline,
    CliUnknownOption,
    CliUsage,
    CliNeedsFile,
    CliNoInstallPath,
    FileCannotOpen,
    FileCannotCreate,
    ReasonNoSuchFile,
    ReasonAccessDenied,
    ReasonDiskFull,
    ReasonIsFolder,
    XmlPrematureEnd,
    XmlNotWellFormed,
    FailureProxy,
    FailureLogin,
    LoginTitle,
    LoginUser,
    LoginPassword,
    LoginPlainHttp,
    LoginSessionOnly,
    LoginRefused,
    FailureClosed,
    OpmlNotOrdinaryFile,
    LoginMovedToKeyring,
    LoginMovedForSession,
    LoginLeftOut,
    CliHelpAbout,
    CliHelpHelp,
    CliHelpVersion,
    CliHelpImport,
    CliHelpExport,
    CliHelpFiles,
    CliFile,
    Count // not a text
};

struct AddedTextRow
{
    AddedText text;
    std::string_view key;    // ASCII
    std::string_view danish; // Windows-1252 bytes
};

inline constexpr std::string_view kAddedTextSection = "Messages";

std::span<const AddedTextRow> addedTextTable();

// The text in the interface language loaded last (Danish until a file is loaded), Windows-1252
// bytes. "%1", "%2", ... stand where the caller puts its values.
const std::string& addedText(AddedText text);
// The same with "%1", "%2", ... replaced by the values in order (Windows-1252 bytes too).
std::string addedText(AddedText text, std::initializer_list<std::string_view> values);

// Reads the [Messages] section of a language file; a missing file, section or key gives the
// Danish text. Never fails.
void loadAddedTexts(const std::string& languageFile);

} // namespace nuvio
