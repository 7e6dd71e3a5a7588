#pragma once

#include <QString>
#include <functional>

namespace nuvio {

enum class MessageIcon { None, Information, Error };

// Every message box of the program goes through here, so that tests can answer them.
using MessageHook =
    std::function<void(const QString& caption, const QString& text, MessageIcon icon)>;

void showMessage(const QString& caption, const QString& text, MessageIcon icon = MessageIcon::None);

// Replaces the real box (nullptr restores it); returns the previous hook.
MessageHook setMessageHook(MessageHook hook);

} // namespace nuvio
