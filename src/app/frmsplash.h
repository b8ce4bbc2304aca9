#pragma once

#include <QWidget>

class QLabel;

namespace movilibro {

// Borderless window shown while the main window loads.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

private:
    QLabel* Image1;
    QLabel* Label1;
    QLabel* lblloading;
};

} // namespace movilibro
