// SPDX-License-Identifier: MIT
#include "gui/platform/messagebox.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
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

// The window a box belongs over: the dialog or window the user is in, else the program's
// main window; none while nothing of the program is on the screen (in the tray, say).
QWidget* ownerWindow()
{
    for (QWidget* each : {QApplication::activeModalWidget(), QApplication::activeWindow()}) {
        if (each && each->isVisible())
            return each->window();
    }
    for (QWidget* each : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(each) && each->isVisible() && !each->isMinimized())
            return each;
    }
    return nullptr;
}
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
                    caption, text, QMessageBox::Ok, ownerWindow());
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
    QInputDialog dialog(ownerWindow());
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
