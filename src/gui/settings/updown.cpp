// SPDX-License-Identifier: MIT
#include "gui/settings/updown.h"

#include "core/platform/codepage.h"
#include "core/platform/errors.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace nuvio {

UpDown::UpDown(QLineEdit* associate, int minimum, int maximum, int increment, QWidget* parent)
    : QWidget(parent), m_associate(associate), m_minimum(minimum), m_maximum(maximum),
      m_increment(increment), m_position(minimum)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setObjectName(QStringLiteral("up"));
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setObjectName(QStringLiteral("down"));
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    m_associate->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_associate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::setPosition(int value)
{
    m_position = std::clamp(value, m_minimum, m_maximum);
    m_associate->setText(QString::number(m_position));
}

void UpDown::step(int direction)
{
    // The arrows start from the number the field shows when it holds one.
    std::int32_t shown = 0;
    if (tryStrToInt(toCp1252(m_associate->text()), shown))
        m_position = std::clamp(static_cast<int>(shown), m_minimum, m_maximum);
    setPosition(m_position + direction * m_increment);
}

} // namespace nuvio
