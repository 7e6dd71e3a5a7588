// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>

namespace nuvio {

// A drop-down that may be narrower than its longest entry: the chosen entry is shown cut
// with an ellipsis (as are the open list's entries). A language file's value may be 2,047
// characters long; a drop-down as wide as that would take the dialog far beyond the screen.
class ElidingComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nuvio
