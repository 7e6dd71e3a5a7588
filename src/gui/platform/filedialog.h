// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace nuvio {

// Everything a file dialog says, so that all of it is in the interface language: the
// desktop's own dialog would speak the desktop's.
struct FileDialogTexts
{
    QString caption;
    QString filter; // "Name (*.a *.b);;Other (*)"
    QString accept;
    QString cancel;
    QString lookIn;
    QString fileName;
    QString fileType;
};

enum class FileDialogMode { Open, Save };

// The file the user chose (an existing one to open; one to write, given `defaultSuffix`
// when typed without one), or nullopt when cancelled.
std::optional<QString> chooseFile(QWidget* parent, FileDialogMode mode,
                                  const FileDialogTexts& texts, const QString& defaultSuffix = {});

// Replaces the real dialog (nullptr restores it), so that tests can answer it; returns the
// previous hook.
using FileDialogHook =
    std::function<std::optional<QString>(FileDialogMode mode, const FileDialogTexts& texts)>;
FileDialogHook setFileDialogHook(FileDialogHook hook);

} // namespace nuvio
