#pragma once

#include "search/searchquery.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace movilibro {

namespace grid {
class GroupedGrid;
}
class JournalGrid;

// The search over the journal grid: the box `txtCerca` and the toggles "only
// money in" / "only money out" (`chkEntrate`, `chkUscite`). The grid follows
// the box after a short pause in the typing, the toggles at once; Ctrl+F in
// the window goes to the box and Esc in it clears the search. When nothing
// matches, a line over the grid says so.
class JournalSearch : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TypingPauseMs = 200;

    JournalSearch(QWidget* window, grid::GroupedGrid& gex, JournalGrid& journal);

    // Applies what is typed now, without waiting for the pause.
    void flush();
    void clear();
    // After the grid was loaded again: the no-match line follows.
    void updateNoMatch();

signals:
    // The grid now shows the entries of another filter.
    void filterApplied();

private:
    void onToggled(QToolButton* toggled);
    search::Filter typedFilter() const;
    void placeNoMatch();
    void showRefusal(const QString& why);

    grid::GroupedGrid& m_gex;
    JournalGrid& m_journal;
    QLineEdit* m_box;
    QToolButton* m_incomes;
    QToolButton* m_outgoings;
    QLabel* m_noMatch;
    QTimer m_pause;
};

} // namespace movilibro
