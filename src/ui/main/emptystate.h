#pragma once

#include <QFrame>

namespace movilibro {

// `picVoid`: shown instead of the grid when the period holds no entries.
class EmptyStatePanel : public QFrame
{
    Q_OBJECT
public:
    explicit EmptyStatePanel(QWidget* parent = nullptr);
};

} // namespace movilibro
