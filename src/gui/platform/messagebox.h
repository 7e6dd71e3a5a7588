// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace nuvio {

enum class MessageIcon { None, Information, Error };

// Every message box of the program goes through here, so that tests can answer them.
using MessageHook =
    std::function<void(const QString& caption, const QString& text, MessageIcon icon)>;

void showMessage(const QString& caption, const QString& text, MessageIcon icon = MessageIcon::None);

// From now on no real box opens (the program is quitting and nobody should have to answer
// one); their texts go to the standard error output instead.
void dismissMessageBoxes();

// Replaces the real box (nullptr restores it); returns the previous hook.
MessageHook setMessageHook(MessageHook hook);

// A one-line input box with "OK" and "Cancel"; nullopt when cancelled.
using InputHook = std::function<std::optional<QString>(const QString& caption,
                                                       const QString& prompt, int maxLength)>;
std::optional<QString> inputQuery(const QString& caption, const QString& prompt, int maxLength);
InputHook setInputHook(InputHook hook);

} // namespace nuvio
