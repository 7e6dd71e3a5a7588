// SPDX-License-Identifier: MIT
#include "gui/deffiles/tdownloading.h"

#include "core/language/languagetable.h"
#include "core/platform/codepage.h"
#include "gui/platform/windowplacement.h"

#include <QEvent>
#include <QProgressBar>
#include <algorithm>
#include <climits>

namespace nuvio {

Tdownloading::Tdownloading(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("downloading"));
    pgBar1 = new QProgressBar(this);
    pgBar1->setObjectName(QStringLiteral("pgBar1"));
    pgBar1->setTextVisible(false);
    // Sized by its caption from here on.
    setWindowTitle(QStringLiteral("Opdaterer definitions filer"));
    setModal(false);
    FormCreate();
}

void Tdownloading::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        fitToCaption();
}

void Tdownloading::fitToCaption()
{
    // Its usual 252 pixels, or wide enough that the title bar shows a longer language's
    // caption whole beside the close box.
    constexpr int kUsualWidth = 252;
    constexpr int kTitleBarExtras = 96;
    // Never wider than the screen: a longer caption is cut by the title bar.
    const int width = std::min(
        std::max(kUsualWidth, fontMetrics().horizontalAdvance(windowTitle()) + kTitleBarExtras),
        std::max(kUsualWidth, roomOnScreen(*this).width()));
    setFixedSize(width, 49);
    pgBar1->setGeometry(16, 16, width - 35, 17);
    if (!isVisible())
        centreOnScreen(*this);
}

void Tdownloading::FormCreate()
{
    centreOnScreen(*this);
}

void Tdownloading::begin(std::size_t entries)
{
    // The bar runs to the last entry; a list of none or one still has a range, since a
    // bar from 0 to 0 is drawn as busy rather than as empty or full.
    const std::size_t last = entries > 1 ? entries - 1 : 1;
    pgBar1->setRange(0, static_cast<int>(std::min<std::size_t>(last, INT_MAX)));
    pgBar1->setValue(0);
    show();
    raise();
}

void Tdownloading::at(std::size_t entry)
{
    // Past the last entry (the run is complete) the bar is full.
    pgBar1->setValue(static_cast<int>(
        std::min<std::size_t>(entry, static_cast<std::size_t>(pgBar1->maximum()))));
}

void Tdownloading::end()
{
    hide();
}

void Tdownloading::applyTexts(const std::vector<LanguageText>& texts)
{
    using T = TextTarget;
    for (const auto& [target, bytes] : texts) {
        const QString text = fromCp1252(bytes);
        switch (target) {
        case T::DownloadingCaption:
            setWindowTitle(text);
            break;

        default:
            break; // another window's
        }
    }
}

} // namespace nuvio
