#include "ui/dialogs/descriptioncompletion.h"

#include "db/connection.h"
#include "ui/dialogs/amountedit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringListModel>

namespace movilibro {

DescriptionCompletion::DescriptionCompletion(QLineEdit* description, QComboBox* account, AmountEdit* in,
                                             AmountEdit* out, QObject* parent)
    : QObject(parent), m_description(description), m_account(account), m_in(in), m_out(out),
      m_completer(new QCompleter(this)), m_model(new QStringListModel(this))
{
    // The matching is ours (anywhere in the text, without accents); the
    // completer only shows what it is given.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setModel(m_model);
    m_completer->setMaxVisibleItems(MaxShown);
    m_completer->setWidget(description);
    // Installed after the completer's own filter, so it sees the keys first.
    m_completer->popup()->installEventFilter(this);
    description->installEventFilter(this);

    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            &DescriptionCompletion::accept);
    connect(description, &QLineEdit::textEdited, this, &DescriptionCompletion::offer);
    connect(account, &QComboBox::activated, this, [this] { m_accountTouched = true; });
    for (AmountEdit* box : {in, out})
        connect(box, &QLineEdit::textEdited, this, [this, box] { amountTyped(box); });
}

void DescriptionCompletion::prepare(const QString& connString, bool newEntry)
{
    close();
    m_newEntry = newEntry;
    m_accountTouched = false;
    m_amountTouched = false;
    m_broughtAmount = nullptr;
    try {
        db::Connection conn = db::Connection::openConnString(connString, db::Connection::Mode::ReadOnly);
        m_history = DescriptionHistory::read(conn);
    } catch (const db::DbError&) {
        m_history = {};
    }
}

void DescriptionCompletion::offer(const QString& typed)
{
    m_shown = typed.size() >= FirstLength ? m_history.matching(typed, MaxShown) : std::vector<int>();
    if (m_shown.empty()) {
        close();
        return;
    }
    QStringList texts;
    for (int i : m_shown)
        texts << m_history.entries()[size_t(i)].description;
    m_model->setStringList(texts);
    m_completer->complete();
    // Nothing is taken until the user moves into the list.
    m_completer->popup()->setCurrentIndex(QModelIndex());
}

void DescriptionCompletion::close()
{
    m_completer->popup()->hide();
}

bool DescriptionCompletion::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* list = m_completer->popup();
    if (watched == m_description) {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                descriptionLeft();
        }
        return false;
    }
    if (watched != list)
        return false;
    if (event->type() == QEvent::KeyPress)
        return listKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!list->rect().contains(mouse->position().toPoint())) {
            clickOutsideList(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return false;
}

bool DescriptionCompletion::listKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QModelIndex current = m_completer->popup()->currentIndex();
        close();
        if (current.isValid()) {
            accept(current);
            return true;
        }
        break; // nothing chosen: Enter does what it does without the list
    }
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        close();
        break;
    default:
        return false;
    }
    // Sent through the box's filters, so the editor's keyboard rules apply as without the list.
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
    QCoreApplication::sendEvent(m_description, &copy);
    return true;
}

// The list would take the click only to close itself: a button clicked
// beside it ("Salva", "Annulla") does its work at once.
void DescriptionCompletion::clickOutsideList(const QPoint& globalPos)
{
    close();
    QWidget* target = QApplication::widgetAt(globalPos);
    if (!target || target->window() != m_description->window() || !target->isEnabled())
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->click();
    else if (target->focusPolicy() & Qt::ClickFocus)
        target->setFocus(Qt::MouseFocusReason);
}

// A description typed out in full counts as its suggestion taken.
void DescriptionCompletion::descriptionLeft()
{
    if (!m_newEntry)
        return;
    const int known = m_history.position(m_description->text());
    if (known >= 0)
        fillFrom(m_history.entries()[size_t(known)]);
}

void DescriptionCompletion::amountTyped(AmountEdit* typedInto)
{
    m_amountTouched = true;
    if (m_broughtAmount && m_broughtAmount != typedInto)
        m_broughtAmount->setAmount(Currency());
    m_broughtAmount = nullptr;
}

void DescriptionCompletion::accept(const QModelIndex& index)
{
    if (index.row() < 0 || size_t(index.row()) >= m_shown.size())
        return;
    const PastEntry& past = m_history.entries()[size_t(m_shown[size_t(index.row())])];
    m_description->setText(past.description);
    if (m_newEntry)
        fillFrom(past);
}

void DescriptionCompletion::fillFrom(const PastEntry& past)
{
    if (!m_accountTouched) {
        const int account = m_account->findData(past.account);
        if (account >= 0)
            m_account->setCurrentIndex(account);
    }
    if (!m_amountTouched) {
        m_in->setAmount(Currency::fromRaw(past.in));
        m_out->setAmount(Currency::fromRaw(past.out));
        m_broughtAmount = past.in != 0 ? m_in : past.out != 0 ? m_out : nullptr;
    }
}

} // namespace movilibro
