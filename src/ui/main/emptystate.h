#pragma once

#include <QFrame>

class QLabel;

namespace movilibro {

// `picVoid`: shown instead of the grid when the period holds no entries.
class EmptyStatePanel : public QFrame
{
    Q_OBJECT
public:
    explicit EmptyStatePanel(QWidget* parent = nullptr);

    // With no account yet, an entry cannot be saved: say so, and where to
    // create the first account.
    void setNeedsAccount(bool needed);

private:
    QLabel* m_needsAccount;
};

} // namespace movilibro
