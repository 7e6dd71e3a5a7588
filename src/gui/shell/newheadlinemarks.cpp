// SPDX-License-Identifier: MIT
#include "gui/shell/newheadlinemarks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace nuvio {

namespace {

const QString kScriptName = QStringLiteral("nuvio-new-headline-marks");

QString markingScript(const QString& text)
{
    // Quoted as JSON, so no language file's text can become script.
    const QByteArray quoted = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QStringLiteral(
               "(function () {"
               "  if (location.protocol !== 'file:' && location.protocol !== 'nuvio:')"
               "    return;"
               "  var text = %1[0];"
               "  var marks = document.querySelectorAll('img[src=\"feed-line-new.gif\"]');"
               "  for (var i = 0; i < marks.length; ++i)"
               "    marks[i].alt = text;"
               "})();")
        .arg(QString::fromUtf8(quoted));
}

} // namespace

void markNewHeadlinesForReaders(QWebEnginePage* page, const QString& text)
{
    QWebEngineScriptCollection& scripts = page->scripts();
    for (const auto& old : scripts.find(kScriptName))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(kScriptName);
    script.setSourceCode(markingScript(text));
    // The program's own world: the page's scripts neither see it nor can stop it.
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(false);
    scripts.insert(script);
    page->runJavaScript(script.sourceCode(), QWebEngineScript::ApplicationWorld);
}

} // namespace nuvio
