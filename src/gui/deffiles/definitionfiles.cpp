// SPDX-License-Identifier: MIT
#include "gui/deffiles/definitionfiles.h"

#include "core/deffiles/definitionupdate.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/platform/application.h"
#include "gui/shell/tform1.h"

#include <QScopeGuard>

namespace nuvio {

namespace {

bool updateRunning = false;
// The language of the running update: a change of language meanwhile (the settings
// dialog stays usable) needs the new language's files once this run is over.
std::string runningLanguage;

DefinitionUpdateContext contextFor(TForm1& form, Tdownloading& progressWindow)
{
    DefinitionUpdateContext context;
    context.installPath = form.settings().InstallPath;
    context.serverBaseUrl = form.program().ServerBaseURL;
    context.userLanguage = form.settings().UserLanguage;
    context.checkLocalDays = form.settings().CheckLocalDays;
    context.http = &form.http();
    context.progress = &progressWindow;
    context.yield = [&form] { form.yieldToEvents(); };
    context.cancelled = [&form] { return form.quitRequested(); };
    context.showStatus = [&form](const std::string& text) { form.ShowStatus(text); };
    return context;
}

template <typename Run> void runOnce(TForm1& form, Run run)
{
    if (updateRunning)
        return;
    updateRunning = true;
    runningLanguage = form.settings().UserLanguage;
    const auto done = qScopeGuard([] { updateRunning = false; });
    try {
        run();
    } catch (const RunCancelled&) {
        // quitting: nothing to report
    } catch (const std::exception& error) {
        // Reported here, so that an update the new language still needs runs after it.
        NuvioApplication::showException(error);
    }
}

void runAgainForANewLanguage(TForm1& form, Tdownloading& progressWindow)
{
    while (!form.quitRequested() && form.settings().UserLanguage != runningLanguage)
        runOnce(form, [&] { fetchDefinitionFiles(contextFor(form, progressWindow)); });
}

} // namespace

void CheckDefinitionFiles(TForm1& form, Tdownloading& progressWindow)
{
    if (updateRunning)
        return;
    runOnce(form, [&] { fetchDefinitionFilesIfStale(contextFor(form, progressWindow)); });
    runAgainForANewLanguage(form, progressWindow);
}

void UpdateDefinitionFiles(TForm1& form, Tdownloading& progressWindow)
{
    if (updateRunning)
        return;
    runOnce(form, [&] { fetchDefinitionFiles(contextFor(form, progressWindow)); });
    runAgainForANewLanguage(form, progressWindow);
}

} // namespace nuvio
