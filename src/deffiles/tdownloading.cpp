#include "deffiles/tdownloading.h"

#include <QProgressBar>

namespace nuvio {

Tdownloading::Tdownloading(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("downloading"));
    setFixedSize(252, 49);
    pgBar1 = new QProgressBar(this);
    pgBar1->setObjectName(QStringLiteral("pgBar1"));
    pgBar1->setGeometry(16, 16, 217, 17);
    pgBar1->setTextVisible(false);
}

} // namespace nuvio
