// SPDX-License-Identifier: MIT
#pragma once

#include "core/deffiles/definitionupdate.h"

#include <QDialog>
#include <vector>

class QProgressBar;

namespace nuvio {

struct LanguageText;

// The progress window of the definition-file update: created once at start-up, hidden,
// shown while a run goes on. Closing it only hides it; the run goes on.
class Tdownloading : public QDialog, public UpdateProgress
{
    Q_OBJECT
public:
    explicit Tdownloading(QWidget* parent = nullptr);

    // Puts the texts that belong to this window on its widgets (LoadLanguage reads them).
    void applyTexts(const std::vector<LanguageText>& texts);
    void begin(std::size_t entries) override;
    void at(std::size_t entry) override;
    void end() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void fitToCaption();

    QProgressBar* pgBar1 = nullptr;
};

} // namespace nuvio
