#pragma once

#include <QApplication>
#include <exception>

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
};

// Prepares the process for the browser views; call before the application object exists.
void prepareWebEngineProcess();

} // namespace nuvio
