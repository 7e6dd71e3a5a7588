// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <QApplication>
#include <exception>
#include <utility>

namespace nuvio {

// The application object. An exception that leaves an event handler is shown in the
// general error report and the program goes on.
class NuvioApplication : public QApplication
{
    Q_OBJECT
public:
    NuvioApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The caption of the error report (the application title).
    static void setTitle(const QString& title);
    static QString title();

    // The general error report: the message, with a full stop added when it has none, in
    // a box with the application title, an error icon and one OK button.
    static void showException(const std::exception& error);
    static void showException(const QString& message);

    // Closes every open modal window but `except` (message boxes, dialogs), so that code
    // waiting in their loops goes on, and lets no message box open after it; quitting
    // uses it.
    static void closeModalWindows(const QWidget* except = nullptr);
};

// Wraps a slot so that its failure goes to the general error report and ends there:
// exceptions must not travel through Qt's signal machinery. A run given up for a quit is
// no failure and is not reported.
template <typename Slot> auto reportingFailures(Slot slot)
{
    return [slot = std::move(slot)] {
        try {
            slot();
        } catch (const RunCancelled&) {
        } catch (const std::exception& error) {
            NuvioApplication::showException(error);
        }
    };
}

} // namespace nuvio
