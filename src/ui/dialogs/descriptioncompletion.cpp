#include "ui/dialogs/descriptioncompletion.h"

#include "db/connection.h"
#include "ui/dialogs/amountedit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
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

    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            &DescriptionCompletion::accept);
    connect(description, &QLineEdit::textEdited, this, &DescriptionCompletion::offer);
    connect(account, &QComboBox::activated, this, [this] { m_accountTouched = true; });
    for (AmountEdit* box : {in, out})
        connect(box, &QLineEdit::textEdited, this, [this] { m_amountTouched = true; });
}

void DescriptionCompletion::prepare(const QString& connString, bool newEntry)
{
    close();
    m_newEntry = newEntry;
    m_accountTouched = false;
    m_amountTouched = false;
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
    if (watched != m_completer->popup() || event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
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
    }
}

} // namespace movilibro
