#include "deffiles/tdownloading.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <climits>
#include <cmath>

namespace nuvio {

Tdownloading::Tdownloading(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("downloading"));
    setWindowTitle(QStringLiteral("Opdaterer definitions filer"));
    setModal(false);
    setFixedSize(252, 49);
    pgBar1 = new QProgressBar(this);
    pgBar1->setObjectName(QStringLiteral("pgBar1"));
    pgBar1->setGeometry(16, 16, 217, 17);
    pgBar1->setTextVisible(false);
    FormCreate();
}

void Tdownloading::FormCreate()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // Halves round to the even neighbour.
    const auto centred = [](int space, int size) {
        return static_cast<int>(std::nearbyint(static_cast<double>(space - size) / 2.0));
    };
    move(area.x() + centred(area.width(), width()), area.y() + centred(area.height(), height()));
}

void Tdownloading::begin(std::size_t entries)
{
    // An empty list shows an empty bar that is done at once.
    pgBar1->setRange(
        0, entries == 0 ? 1 : static_cast<int>(std::min<std::size_t>(entries, INT_MAX) - 1));
    pgBar1->setValue(0);
    show();
    raise();
}

void Tdownloading::at(std::size_t entry)
{
    pgBar1->setValue(static_cast<int>(std::min<std::size_t>(entry, INT_MAX)));
}

void Tdownloading::end()
{
    hide();
}

} // namespace nuvio
