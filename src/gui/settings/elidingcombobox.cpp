// SPDX-License-Identifier: MIT
#include "gui/settings/elidingcombobox.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace nuvio {

void ElidingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect label =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText =
        fontMetrics().elidedText(option.currentText, Qt::ElideRight, std::max(0, label.width()));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace nuvio
