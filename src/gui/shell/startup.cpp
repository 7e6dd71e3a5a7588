// SPDX-License-Identifier: MIT
#include "gui/shell/startup.h"

#include "core/news/feedcache.h"
#include "core/platform/atomicfile.h"
#include "core/platform/codepage.h"
#include "core/platform/registryhive.h"
#include "core/platform/singleinstance.h"
#include "core/platform/terminationsignals.h"
#include "core/platform/userfolders.h"
#include "core/shell/commandline.h"
#include "core/shell/opmlcommand.h"
#include "gui/deffiles/definitionfiles.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/language/loadlanguage.h"
#include "gui/language/qttranslations.h"
#include "gui/platform/application.h"
#include "gui/platform/displaycheck.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/softwaredrawing.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/screenshot.h"
#include "gui/shell/sitelogins.h"
#include "gui/shell/tform1.h"
#include "gui/shell/webengineprocess.h"

#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace nuvio {

MainWindowCommands standardCommands(TForm1& form, Tsettings& settingsDialog,
                                    Tdownloading& progressWindow)
{
    MainWindowCommands commands;
    commands.showSettingsDialog = [&settingsDialog] { settingsDialog.exec(); };
    commands.LoadLanguage = [&form, &settingsDialog, &progressWindow] {
        LoadLanguage(form, settingsDialog, progressWindow);
    };
    commands.UpdateDefinitionFiles = [&form, &progressWindow] {
        UpdateDefinitionFiles(form, progressWindow);
    };
    return commands;
}

bool loadStartupLanguage(TForm1& form, Tsettings& settingsDialog, Tdownloading& progressWindow)
{
    if (form.settings().UserLanguage == "Dansk")
        return false;
    LoadLanguage(form, settingsDialog, progressWindow);
    return true;
}

std::optional<int> answerCommandLine(int argc, char** argv, const ProgramValues& program)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (isOpmlOption(option))
            return runOpmlCommand(argc, argv, i, registryHivePath(), stdout, stderr,
                                  keepLoginWithoutWindow);
        if (option == "--version" || option == "-v") {
            std::printf("%s %s\n", program.AppName.c_str(), program.AppVersion.c_str());
            return 0;
        }
        if (option == "--help" || option == "-h") {
            loadCommandLineTexts(registryHivePath());
            std::fputs(fromCp1252(helpText(program.AppName)).toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (bool takesValue = false; isToolkitOption(option, takesValue)) {
            i += takesValue ? 1 : 0;
            continue;
        }
        // Anything else is a mistake to say, not a window to open.
        loadCommandLineTexts(registryHivePath());
        std::fprintf(
            stderr, "%s\n",
            fromCp1252(unknownOptionText(program.AppName, option)).toLocal8Bit().constData());
        return 2;
    }
    return std::nullopt;
}

int runNuvio(int argc, char** argv)
{
    ProgramValues program;
    if (const auto answered = answerCommandLine(argc, argv, program))
        return *answered;
    // Said in one line before anything is made, not in Qt's abort with its plugin advice.
    if (const auto missing = missingDisplay()) {
        std::fprintf(stderr, "%s: %s\n", program.AppName.c_str(), missing->c_str());
        return 1;
    }
    prepareWebEngineProcess();
    std::optional<DisplayFailureGuard> displayGuard(std::in_place);
    NuvioApplication app(argc, argv);
    displayGuard.reset();
    QApplication::setApplicationName(QString::fromStdString(program.AppName));
    QApplication::setWindowIcon(TForm1::sharpIcon(QStringLiteral(":/nuvio/nuvio.png")));

    // Without a folder only this user can reach, a second copy could not be turned away
    // and would write the same files: the user is told why nothing starts.
    const QString instanceName = SingleInstance::serverName("TForm1", program.AppTitle);
    if (instanceName.isEmpty()) {
        const std::string cache = userCacheFolder();
        std::fprintf(stderr,
                     "%s: not started: no folder of the user's own for the single-instance "
                     "check ($XDG_RUNTIME_DIR is unset or not private, and %s is not a "
                     "folder of the user's own, mode 0700, that can be made)\n",
                     program.AppName.c_str(),
                     cache.empty() ? "$HOME/.cache/nuvio ($HOME unset)"
                                   : (cache + "/nuvio").c_str());
        return 1;
    }
    SingleInstance instance(instanceName);
    // The name is taken at once, not once the window is made (seconds with the web
    // engine): a copy started meanwhile would find nobody and open a window of its own.
    bool running = instance.findRunningCopy();
    if (!running && !instance.listen()) {
        // The copy that holds the name may not be listening yet.
        for (int attempt = 0; !running && attempt < 20; ++attempt) {
            running = instance.findRunningCopy();
            if (!running)
                QThread::msleep(100);
        }
        // A copy that listens where this one cannot look is running all the same.
        running = running || instance.heldByAnotherCopy();
        if (!running)
            std::fprintf(stderr, "%s: no single-instance check: cannot listen on %s\n",
                         program.AppName.c_str(), instanceName.toLocal8Bit().constData());
    }
    if (running) {
        showMessage(QString::fromStdString(program.AppName),
                    QString::fromUtf8("nuvio applikationen k\xC3\xB8rer allerede !"));
        instance.askRunningCopyToComeForward();
        return 0;
    }

    // The desktop may end the program at any moment of start-up, even while the window's
    // creation waits on a message box; the settings are saved all the same, once.
    TerminationSignals terminationSignals;
    TForm1* created = nullptr;
    bool quitDuringCreation = false;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, [&] {
        if (created) {
            created->Afslut1Click();
        } else {
            quitDuringCreation = true;
            NuvioApplication::closeModalWindows();
        }
    });

    AppSettings settings;
    auto form = std::make_unique<TForm1>(settings, program, registryHivePath());
    created = form.get();
    // Qt's own texts in the interface's language from the start, Danish ones included.
    useQtTranslations(settings.InstallPath, settings.UserLanguage);
    restoreDrawingEnvironment();
    if (quitDuringCreation)
        form->Afslut1Click();
    // Writes that a crash or a kill cut short left their temporary files; those another
    // copy (on another display, same install folder) is writing are locked and stay.
    removeLeftoverTemporaryFiles(
        QFileInfo(QString::fromStdString(registryHivePath())).path().toStdString());
    if (!settings.InstallPath.empty())
        removeLeftoverTemporaryFiles(settings.InstallPath);
    if (const std::string feeds = FeedCache::defaultFolder(); !feeds.empty())
        removeLeftoverTemporaryFiles(feeds);
    QObject::connect(&instance, &SingleInstance::comeForwardRequested, form.get(),
                     &TForm1::comeForward);

    auto settingsDialog = std::make_unique<Tsettings>(*form, form.get());
    auto progressWindow = std::make_unique<Tdownloading>(form.get());

    form->setCommands(standardCommands(*form, *settingsDialog, *progressWindow));

    loadStartupLanguage(*form, *settingsDialog, *progressWindow);

    // A failed update is reported and the program starts with the pages it has.
    CheckDefinitionFiles(*form, *progressWindow);

    form->openStartView();
    form->armStartupRefresh();

    scheduleScreenshotIfAsked(*form);

    int code = 0;
    if (!form->quitRequested()) {
        form->show();
        code = NuvioApplication::exec();
    }

    progressWindow.reset();
    settingsDialog.reset();
    form.reset();
    return code;
}

} // namespace nuvio
