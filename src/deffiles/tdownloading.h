#pragma once

#include <QDialog>

class QProgressBar;

namespace nuvio {

// The progress window of the definition-file update: created once at start-up, hidden.
class Tdownloading : public QDialog
{
    Q_OBJECT
public:
    explicit Tdownloading(QWidget* parent = nullptr);

    QProgressBar* pgBar1 = nullptr;
};

} // namespace nuvio
