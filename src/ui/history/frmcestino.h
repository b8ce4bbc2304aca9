#pragma once

#include "history/writes.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace movilibro {

class JournalView;

// The bin: the entries and accounts deleted, restored on request (an entry
// brings its account back with it) or emptied for good after asking.
class frmCestino : public QDialog
{
    Q_OBJECT
public:
    explicit frmCestino(QWidget* parent = nullptr);

    // Shows the bin modally; what it restores reaches the main window as a
    // write of its own, reloaded and undoable.
    void Mostra(JournalView& view);

private:
    bool reload();
    void onRestore();
    void onEmpty();
    void updateButtons();

    QTreeWidget* lstCestino;
    QPushButton* cmdRipristina;
    QPushButton* cmdSvuota;
    QPushButton* cmdChiudi;
    JournalView* m_view = nullptr;
    std::vector<history::BinRow> m_rows;
};

} // namespace movilibro
