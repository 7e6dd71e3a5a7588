// SPDX-License-Identifier: MIT
#include "gui/platform/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace nuvio {

namespace {
FileDialogHook& currentHook()
{
    static FileDialogHook hook;
    return hook;
}
} // namespace

std::optional<QString> chooseFile(QWidget* parent, FileDialogMode mode,
                                  const FileDialogTexts& texts, const QString& defaultSuffix)
{
    std::optional<QString> chosen;
    if (const auto& hook = currentHook()) {
        chosen = hook(mode, texts);
    } else {
        QFileDialog dialog(parent, texts.caption, QDir::homePath(), texts.filter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode == FileDialogMode::Open ? QFileDialog::AcceptOpen
                                                          : QFileDialog::AcceptSave);
        dialog.setFileMode(mode == FileDialogMode::Open ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
        dialog.setLabelText(QFileDialog::Accept, texts.accept);
        dialog.setLabelText(QFileDialog::Reject, texts.cancel);
        dialog.setLabelText(QFileDialog::LookIn, texts.lookIn);
        dialog.setLabelText(QFileDialog::FileName, texts.fileName);
        dialog.setLabelText(QFileDialog::FileType, texts.fileType);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    // Typed without a suffix, a name to write gets the file type's own.
    if (chosen && mode == FileDialogMode::Save && !defaultSuffix.isEmpty() &&
        QFileInfo(*chosen).suffix().isEmpty())
        *chosen += QLatin1Char('.') + defaultSuffix;
    return chosen;
}

FileDialogHook setFileDialogHook(FileDialogHook hook)
{
    FileDialogHook previous = std::move(currentHook());
    currentHook() = std::move(hook);
    return previous;
}

} // namespace nuvio
