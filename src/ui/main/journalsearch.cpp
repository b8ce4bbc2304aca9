#include "ui/main/journalsearch.h"

#include "format/currency.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QTreeView>

namespace movilibro {

namespace {

const QString BoxTip =
    QStringLiteral("Ogni parola deve comparire nella descrizione o nel conto; importi come "
                   "12,50, intervalli come >100, <100 o 100..200; -parola esclude (Ctrl+F)");

// A pressed toggle looks pressed in every style, not only under the pointer.
const QString ToggleStyle = QStringLiteral(
    "QToolButton { border: 1px solid palette(mid); border-radius: 3px; padding: 1px 6px; }"
    "QToolButton:checked { background-color: rgb(200, 222, 250); border: 1px solid rgb(40, 100, 190); }");

QToolButton* toggle(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setCheckable(true);
    button->setStyleSheet(ToggleStyle);
    return button;
}

// Esc in the box clears the search (and is left to others when nothing is
// set); Down and Enter go on to the entries found.
class BoxKeys : public QObject
{
public:
    BoxKeys(JournalSearch& search, QLineEdit& box) : QObject(&search), m_search(search), m_box(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_box || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_search.isSet()) {
            m_search.clear();
            return true;
        }
        const bool plain = !(key->modifiers() & ~Qt::KeypadModifier);
        if (plain &&
            (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            m_search.goToFirstEntry();
            return true;
        }
        return false;
    }

private:
    JournalSearch& m_search;
    QLineEdit& m_box;
};

} // namespace

JournalSearch::JournalSearch(QWidget* window, grid::GroupedGrid& gex, JournalGrid& journal)
    : QWidget(window), m_gex(gex), m_journal(journal)
{
    setObjectName(QStringLiteral("picCerca"));
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("txtCerca"));
    m_box->setPlaceholderText(QStringLiteral("Cerca descrizione, conto o importo"));
    m_box->setToolTip(BoxTip);
    m_box->setClearButtonEnabled(true);
    m_box->installEventFilter(new BoxKeys(*this, *m_box));
    m_incomes = toggle(this, "chkEntrate", QStringLiteral("Entrate"),
                       QStringLiteral("Solo le registrazioni con un'entrata"));
    m_outgoings = toggle(this, "chkUscite", QStringLiteral("Uscite"),
                         QStringLiteral("Solo le registrazioni con un'uscita"));
    // The toggles under the box: the box keeps the whole width the toolbar leaves.
    auto* rows = new QGridLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    rows->addWidget(m_box, 0, 0, 1, 3);
    rows->addWidget(m_incomes, 1, 0);
    rows->addWidget(m_outgoings, 1, 1);
    rows->setColumnStretch(2, 1);

    m_noMatch = new QLabel(window);
    m_noMatch->setObjectName(QStringLiteral("lblNessunRisultato"));
    m_noMatch->setAlignment(Qt::AlignCenter);
    m_noMatch->setWordWrap(true);
    m_noMatch->hide();

    m_unreadable = new QLabel(window);
    m_unreadable->setObjectName(QStringLiteral("lblRicercaNonValida"));
    m_unreadable->setStyleSheet(
        QStringLiteral("background-color: rgb(255, 246, 213); color: rgb(170, 0, 0); padding: 2px 6px;"));
    m_unreadable->hide();

    m_pause.setSingleShot(true);
    m_pause.setInterval(TypingPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &JournalSearch::flush);
    connect(m_box, &QLineEdit::textEdited, &m_pause, qOverload<>(&QTimer::start));
    // The clear button changes the text without an edit.
    connect(m_box, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            flush();
    });
    connect(m_incomes, &QToolButton::toggled, this, [this] { onToggled(m_incomes); });
    connect(m_outgoings, &QToolButton::toggled, this, [this] { onToggled(m_outgoings); });
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), window);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        m_box->setFocus(Qt::ShortcutFocusReason);
        m_box->selectAll();
    });
}

search::Filter JournalSearch::typedFilter() const
{
    search::Filter filter;
    filter.text = m_box->text();
    if (m_incomes->isChecked())
        filter.direction = search::Direction::Incomes;
    else if (m_outgoings->isChecked())
        filter.direction = search::Direction::Outgoings;
    return filter;
}

// Only one of the two at a time.
void JournalSearch::onToggled(QToolButton* toggled)
{
    QToolButton* other = toggled == m_incomes ? m_outgoings : m_incomes;
    if (toggled->isChecked() && other->isChecked()) {
        const QSignalBlocker block(other);
        other->setChecked(false);
    }
    flush();
}

QString JournalSearch::apply(const search::Filter& filter)
{
    try {
        if (filter != m_journal.filter()) {
            m_journal.setFilter(filter);
            emit filterApplied();
        }
        return {};
    } catch (const search::SearchError& e) {
        return e.message();
    } catch (const CurrencyOverflow&) {
        return QStringLiteral("Le registrazioni trovate superano l'importo massimo gestibile.");
    }
}

void JournalSearch::flush()
{
    m_pause.stop();
    const search::Filter wanted = typedFilter();
    const QString why = apply(wanted);
    // Half-typed ranges pass through here: the last text read stays, the toggles still count.
    if (!why.isEmpty() && wanted.direction != m_journal.filter().direction)
        apply({m_journal.filter().text, wanted.direction});
    showRefusal(why);
    updateNoMatch();
}

void JournalSearch::showRefusal(const QString& why)
{
    m_box->setStyleSheet(why.isEmpty() ? QString() : QStringLiteral("color: rgb(200, 0, 0)"));
    m_box->setToolTip(why.isEmpty() ? BoxTip : why);
    if (why.isEmpty()) {
        m_unreadable->hide();
        return;
    }
    const search::Filter& inForce = m_journal.filter();
    m_unreadable->setText(why + u' ' +
                          (inForce.isActive()
                               ? QStringLiteral("Resta in vigore il filtro \"%1\".").arg(inForce.describe())
                               : QStringLiteral("Sono mostrate tutte le registrazioni del periodo.")));
    const QRect grid = m_gex.geometry();
    const int height = m_unreadable->sizeHint().height();
    m_unreadable->setGeometry(grid.x(), grid.bottom() + 1 - height, grid.width(), height);
    m_unreadable->show();
    m_unreadable->raise();
}

void JournalSearch::search(const QString& text)
{
    m_box->setText(text);
    flush();
}

bool JournalSearch::isSet() const
{
    return !m_box->text().isEmpty() || m_incomes->isChecked() || m_outgoings->isChecked();
}

void JournalSearch::clear()
{
    for (QToolButton* button : {m_incomes, m_outgoings}) {
        const QSignalBlocker block(button);
        button->setChecked(false);
    }
    m_box->clear();
    flush();
}

void JournalSearch::goToFirstEntry()
{
    flush();
    if (m_gex.isHidden())
        return;
    for (int p = 1; p <= m_gex.displayRowCount(); ++p) {
        if (m_gex.rowType(p) == grid::RowType::Entry) {
            m_gex.setCurrentRow(p);
            m_gex.view()->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void JournalSearch::updateNoMatch()
{
    const bool none = m_journal.isFiltered() && m_journal.shownEntries() == 0 && m_gex.rowCount() > 0;
    if (none) {
        m_noMatch->setText(QStringLiteral("Nessuna registrazione corrisponde alla ricerca.\n\"%1\"")
                               .arg(m_journal.filter().describe()));
        placeNoMatch();
        m_noMatch->raise();
    }
    m_noMatch->setVisible(none && !m_gex.isHidden());
}

void JournalSearch::placeNoMatch()
{
    const QRect grid = m_gex.geometry();
    m_noMatch->setGeometry(grid.x() + 20, grid.y() + 60, grid.width() - 40, 80);
}

} // namespace movilibro
