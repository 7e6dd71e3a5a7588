// SPDX-License-Identifier: MIT
#include "gui/language/qttranslations.h"

#include "core/language/languagekey.h"
#include "core/language/languagetable.h"
#include "core/platform/textfile.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <memory>

namespace nuvio {

namespace {

// Qt's names for the translations of a language, best first.
QStringList qtLanguagesFor(const std::string& key)
{
    if (key == "dansk")
        return {QStringLiteral("da")};
    if (key == "deutsch")
        return {QStringLiteral("de")};
    if (key == "norsk")
        return {QStringLiteral("nb"), QStringLiteral("no"), QStringLiteral("nn")};
    if (key == "svenska")
        return {QStringLiteral("sv")};
    return {};
}

} // namespace

void useQtTranslations(const std::string& installPath, const std::string& userLanguage)
{
    // One language at a time, for the whole program; driven from the UI thread only.
    static std::unique_ptr<QTranslator> current;
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    // Without its file the interface shows the built-in Danish texts.
    const std::string key = fileExists(languageFilePath(installPath, userLanguage))
                                ? languageKey(userLanguage)
                                : std::string("dansk");
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& language : qtLanguagesFor(key)) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qtbase_") + language, folder)) {
            QCoreApplication::installTranslator(translator.get());
            current = std::move(translator);
            return;
        }
    }
}

} // namespace nuvio
