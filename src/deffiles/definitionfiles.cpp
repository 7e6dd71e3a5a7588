#include "deffiles/definitionfiles.h"

#include "deffiles/definitionupdate.h"
#include "deffiles/tdownloading.h"
#include "shell/tform1.h"

#include <QScopeGuard>

namespace nuvio {

namespace {

bool updateRunning = false;

DefinitionUpdateContext contextFor(TForm1& form, Tdownloading& progressWindow)
{
    DefinitionUpdateContext context;
    context.installPath = form.settings().InstallPath;
    context.serverBaseUrl = form.program().ServerBaseURL;
    context.userLanguage = form.settings().UserLanguage;
    context.checkLocalDays = form.settings().CheckLocalDays;
    context.http = form.IdHTTP1.get();
    context.progress = &progressWindow;
    context.yield = [&form] { form.yieldToEvents(); };
    context.showStatus = [&form](const std::string& text) { form.ShowStatus(text); };
    return context;
}

template <typename Run> void runOnce(Run run)
{
    if (updateRunning)
        return;
    updateRunning = true;
    const auto done = qScopeGuard([] { updateRunning = false; });
    run();
}

} // namespace

void CheckDefinitionFiles(TForm1& form, Tdownloading& progressWindow)
{
    runOnce([&] { nuvio::CheckDefinitionFiles(contextFor(form, progressWindow)); });
}

void UpdateDefinitionFiles(TForm1& form, Tdownloading& progressWindow)
{
    runOnce([&] { nuvio::UpdateDefinitionFiles(contextFor(form, progressWindow)); });
}

} // namespace nuvio
