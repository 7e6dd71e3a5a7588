#include "settings/tsettings.h"

#include "shell/tform1.h"

namespace nuvio {

Tsettings::Tsettings(TForm1& form, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      m_form(form)
{
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Indstillinger"));
    setModal(true);
    setFixedSize(448, 434);
}

} // namespace nuvio
