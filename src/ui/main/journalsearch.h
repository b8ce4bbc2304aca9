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
// the window goes to the box, Esc in it clears the search and the toggles,
// Down or Enter goes to the first entry shown. When nothing matches, a line
// over the grid says so; a text that cannot be read is said in a line at the
// grid's foot, the last filter read staying in force (with the toggles as
// they are).
class JournalSearch : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TypingPauseMs = 200;

    JournalSearch(QWidget* window, grid::GroupedGrid& gex, JournalGrid& journal);

    // Applies what is typed now, without waiting for the pause.
    void flush();
    // Puts `text` in the box and applies it.
    void search(const QString& text);
    // Empties the box and releases the toggles.
    void clear();
    bool isSet() const;
    // Applies the search and puts the focus on the first entry shown.
    void goToFirstEntry();
    // After the grid was loaded again: the no-match line follows.
    void updateNoMatch();

signals:
    // The grid now shows the entries of another filter.
    void filterApplied();

private:
    void onToggled(QToolButton* toggled);
    search::Filter typedFilter() const;
    // Empty when applied; else why not.
    QString apply(const search::Filter& filter);
    void placeNoMatch();
    void showRefusal(const QString& why);

    grid::GroupedGrid& m_gex;
    JournalGrid& m_journal;
    QLineEdit* m_box;
    QToolButton* m_incomes;
    QToolButton* m_outgoings;
    QLabel* m_noMatch;
    QLabel* m_unreadable;
    QTimer m_pause;
};

} // namespace movilibro
