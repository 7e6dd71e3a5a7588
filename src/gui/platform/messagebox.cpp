// SPDX-License-Identifier: MIT
#include "gui/platform/messagebox.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <atomic>
#include <cstdio>

namespace nuvio {

namespace {
MessageHook& currentHook()
{
    static MessageHook hook;
    return hook;
}
std::atomic<bool> boxesDismissed{false};
} // namespace

void dismissMessageBoxes()
{
    boxesDismissed = true;
}

void showMessage(const QString& caption, const QString& text, MessageIcon icon)
{
    if (const auto& hook = currentHook()) {
        hook(caption, text, icon);
        return;
    }
    if (boxesDismissed) {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(icon == MessageIcon::Error         ? QMessageBox::Critical
                    : icon == MessageIcon::Information ? QMessageBox::Information
                                                       : QMessageBox::NoIcon,
                    caption, text, QMessageBox::Ok);
    // Messages carry feed names, addresses and servers' words: markup in them is text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

MessageHook setMessageHook(MessageHook hook)
{
    MessageHook previous = std::move(currentHook());
    currentHook() = std::move(hook);
    return previous;
}

namespace {
InputHook& currentInputHook()
{
    static InputHook hook;
    return hook;
}
} // namespace

std::optional<QString> inputQuery(const QString& caption, const QString& prompt, int maxLength)
{
    if (const auto& hook = currentInputHook())
        return hook(caption, prompt, maxLength);
    QInputDialog dialog;
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(maxLength);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

InputHook setInputHook(InputHook hook)
{
    InputHook previous = std::move(currentInputHook());
    currentInputHook() = std::move(hook);
    return previous;
}

} // namespace nuvio
