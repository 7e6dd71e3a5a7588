// SPDX-License-Identifier: MIT
#include "support/formfixture.h"

#include "core/platform/registryhive.h"
#include "core/platform/textfile.h"
#include "core/settings/settingsstore.h"

#include <QTest>

namespace nuvio::test {

std::string silentWave()
{
    const auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    const std::string body = "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
                             le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(800, 4) +
                             std::string(800, '\x80');
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

void FormFixture::SetUp()
{
    setMessageHook([this](const QString& caption, const QString& text, MessageIcon icon) {
        messages.push_back({caption, text, icon});
    });
    dir.write("update.wav", silentWave());
}

void FormFixture::TearDown()
{
    form.reset();
    setMessageHook(nullptr);
}

void FormFixture::writeHive(const std::string& values)
{
    dir.write("hive.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"InstallPath\"=\"" +
                  dir.path() + "\"\n" + values);
}

TForm1& FormFixture::create()
{
    if (!fileExists(dir.file("hive.reg")))
        writeHive("");
    form = std::make_unique<TForm1>(settings, program, dir.file("hive.reg"), &opener);
    return *form;
}

std::string FormFixture::hiveValue(const char* name)
{
    RegistryKey key(dir.file("hive.reg"), kSettingsKeyPath);
    EXPECT_TRUE(key.openOrCreate());
    return key.readString(name);
}

bool waitForLoad(QWebEngineView* view, int timeoutMs)
{
    QSignalSpy spy(view, &QWebEngineView::loadFinished);
    return spy.wait(timeoutMs) && spy.first().first().toBool();
}

QVariant evaluate(QWebEngineView* view, const QString& script, int timeoutMs)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, timeoutMs))
        ADD_FAILURE() << "the script did not finish: " << script.toStdString();
    return result;
}

} // namespace nuvio::test
