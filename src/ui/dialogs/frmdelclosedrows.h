#pragma once

#include "db/backup.h"

#include <QDialog>

#include <optional>

class QDateEdit;
class QLabel;
class QPushButton;

namespace movilibro {

class JournalView;

// The purge: deletes every entry up to a chosen day, after confirmation.
class frmDelClosedRows : public QDialog
{
    Q_OBJECT
public:
    enum class Outcome
    {
        NothingFound,
        Declined,
        Done,
        Failed
    };

    explicit frmDelClosedRows(QWidget* parent = nullptr);

    // Shows the dialog modally with the cut-off on the working date; returns
    // when it has closed.
    void Mostra(JournalView& view);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onOk();
    // Counts, asks, deletes: the whole purge, told to the user.
    Outcome purgeUpTo(const QDate& cutOff);
    bool makeCopy(std::optional<db::PendingCopy>& copy);
    bool confirm(qint64 count);
    void tell(const QString& text);

    JournalView* m_view = nullptr;
    QLabel* lblData;
    QDateEdit* dtp;
    QPushButton* cmdSalva;
    QPushButton* cmdAnnulla;
};

} // namespace movilibro
