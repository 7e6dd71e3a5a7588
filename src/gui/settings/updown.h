// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace nuvio {

// A spin control bound to an edit field: its arrows step the number in the field within
// the range, while the field itself may hold any text the user types. The Up and Down keys in
// the field step it too, so a field that takes no typing can be set from the keyboard.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(QLineEdit* associate, int minimum, int maximum, int increment,
           QWidget* parent = nullptr);

    int position() const { return m_position; }
    // Moves to the value (within the range) and shows it in the field.
    void setPosition(int value);
    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int increment() const { return m_increment; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int direction);

    QLineEdit* m_associate;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum, m_maximum, m_increment;
    int m_position;
};

} // namespace nuvio
