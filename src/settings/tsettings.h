#pragma once

#include "settings/appsettings.h"

#include <QDialog>

namespace nuvio {

class TForm1;

// The settings dialog: created once at start-up, hidden, and shown modally by the
// settings command.
class Tsettings : public QDialog
{
    Q_OBJECT
public:
    explicit Tsettings(TForm1& form, QWidget* parent = nullptr);

private:
    TForm1& m_form;
};

} // namespace nuvio
