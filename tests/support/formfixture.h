// SPDX-License-Identifier: MIT
#pragma once

#include "gui/platform/messagebox.h"
#include "gui/platform/urlopener.h"
#include "gui/shell/tform1.h"
#include "support/tempdir.h"
#include "support/widgets.h"

#include <QSignalSpy>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace nuvio::test {

class RecordingOpener : public UrlOpener
{
public:
    void open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

struct RecordedMessage
{
    QString caption, text;
    MessageIcon icon;
};

// A silent, valid wave file's bytes.
std::string silentWave();

// A main window over a temporary install directory and hive, with message boxes and
// diverted links recorded instead of shown.
class FormFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void writeHive(const std::string& values);
    TForm1& create();
    std::string hiveValue(const char* name);

    TempDir dir;
    AppSettings settings;
    ProgramValues program;
    RecordingOpener opener;
    std::unique_ptr<TForm1> form;
    std::vector<RecordedMessage> messages;
};

// Waits for the view's next finished load; true when it succeeded.
bool waitForLoad(QWebEngineView* view, int timeoutMs = 20000);
// Runs a script in the view's page and returns its result.
QVariant evaluate(QWebEngineView* view, const QString& script, int timeoutMs = 10000);

} // namespace nuvio::test
