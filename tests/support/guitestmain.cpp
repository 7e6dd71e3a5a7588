// SPDX-License-Identifier: MIT
#include "gui/platform/application.h"
#include "gui/shell/webengineprocess.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The display the tests run on has no tray until a tray host runs on it.
std::unique_ptr<QProcess> startTrayHost()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        QSystemTrayIcon::isSystemTrayAvailable() ||
        QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        return nullptr;
    auto host = std::make_unique<QProcess>();
    host->start(QStringLiteral("trayer"),
                {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                 QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                 QStringLiteral("--width"), QStringLiteral("120")});
    if (!host->waitForStarted(5000))
        return nullptr;
    [[maybe_unused]] const bool available =
        QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000);
    return host;
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The feeds' answers are kept in a cache of this run's own, not the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    nuvio::prepareWebEngineProcess();
    nuvio::NuvioApplication app(argc, argv);
    const auto trayHost = startTrayHost();
    const int result = RUN_ALL_TESTS();
    if (trayHost) {
        trayHost->kill();
        trayHost->waitForFinished(3000);
    }
    return result;
}
