#pragma once

#include "app/viewstate.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace movilibro {

namespace grid {
class GroupedGrid;
}
class AccountsPane;
class EmptyStatePanel;
class GridMenu;
class JournalGrid;
class JournalHistory;
class JournalSearch;
class MainToolbar;
class PeriodPanel;
namespace report {
struct ReportContext;
}

// The program's main window: wiring between the period filter, the journal
// grid, the toolbars, the accounts pane and the dialogs.
class frmMain : public QWidget, public JournalView
{
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    const ViewState& viewState() const override { return m_state; }
    void setWorkingDate(const QDate& date) override;
    void SettaAmbiente() override;
    void gexsBind() override;
    void recorded(const std::vector<qint64>& logLines) override;
    void SettaVuoto(bool empty);
    void setLayout(int layout) { m_state.layout = layout; }

    grid::GroupedGrid* journalGrid() const { return m_gex; }
    MainToolbar* toolbar() const { return m_tb; }
    PeriodPanel* periodPanel() const { return m_period; }
    AccountsPane* accountsPane() const { return m_accounts; }
    JournalHistory* history() const { return m_history; }
    GridMenu* gridMenu() const { return m_gridMenu; }

    // The id of the entry on the grid's current row, if it is an entry row.
    std::optional<qint64> currentEntryId() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

signals:
    void settaAmbienteDone();
    void gexsBindDone();
    // The search filter changed what the grid shows.
    void filterChanged();
    // The window was closed: the program ends.
    void closed();

private:
    void buildWindow();
    void buildGridMenu();
    void connectSignals();
    void onToolbarCommand(const QString& key);
    void onViewMenu(int position);
    void onOptionClicked(int index);
    void onPickerChanged();
    void onGridKey(int key, Qt::KeyboardModifiers modifiers);
    void onAccountsCommand(const QString& key);
    void newEntry();
    void openCurrentEntry();
    void deleteCurrentEntry();
    void deleteCurrentAccount();
    void runPreferences();
    void showCharts();
    void showPeriod(const DateRange& period);
    void bringForward();
    bool searchLeavesNothing(const QString& verb);
    report::ReportContext reportContext() const;
    template <typename Dialog> Dialog& dialog();
    void reportFailure(const QString& what, const QString& why);
    // True when the period has entries; otherwise `failure` may say why not.
    bool loadJournal(std::optional<std::pair<QString, QString>>& failure);

    ViewState m_state;
    MainToolbar* m_tb;
    PeriodPanel* m_period;
    AccountsPane* m_accounts;
    grid::GroupedGrid* m_gex;
    EmptyStatePanel* m_picVoid;
    std::unique_ptr<JournalGrid> m_journal;
    JournalSearch* m_search;
    JournalHistory* m_history;
    GridMenu* m_gridMenu;
};

} // namespace movilibro
