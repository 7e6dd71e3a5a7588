#include "platform/messagebox.h"

#include <QMessageBox>

namespace nuvio {

namespace {
MessageHook& currentHook()
{
    static MessageHook hook;
    return hook;
}
} // namespace

void showMessage(const QString& caption, const QString& text, MessageIcon icon)
{
    if (const auto& hook = currentHook()) {
        hook(caption, text, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::Error         ? QMessageBox::Critical
                    : icon == MessageIcon::Information ? QMessageBox::Information
                                                       : QMessageBox::NoIcon,
                    caption, text, QMessageBox::Ok);
    box.exec();
}

MessageHook setMessageHook(MessageHook hook)
{
    MessageHook previous = std::move(currentHook());
    currentHook() = std::move(hook);
    return previous;
}

} // namespace nuvio
