#include "ui/dialogs/amountedit.h"

#include "app/mainmod.h"
#include "format/currency.h"
#include "format/formatengine.h"
#include "ui/prompt/prompt.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <limits>

namespace movilibro {

namespace {

constexpr char16_t Backspace = 8;
constexpr char16_t Tab = 9;

bool isControlLetter(const QKeyEvent* event)
{
    return (event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
           event->key() <= Qt::Key_Z;
}

QString largestAmountText()
{
    const auto largest = Currency::fromRaw(std::numeric_limits<qint64>::max());
    return Format::number(largest, QStringLiteral("#,#0.00"));
}

} // namespace

QChar FilterAmountKey(QChar typed)
{
    if ((typed >= u'0' && typed <= u'9') || typed == Backspace || typed == Tab || typed == u',')
        return typed;
    if (typed == u'.') {
        const QString separator = mainmod::GetLocaleString();
        return separator.isEmpty() ? QChar() : separator.front();
    }
    return QChar();
}

QString filterPastedAmount(const QString& pasted)
{
    if (const auto whole = Currency::parse(pasted); whole && !whole->isNegative())
        return whole->toString();
    QString kept;
    for (QChar c : pasted) {
        const QChar k = FilterAmountKey(c);
        if (!k.isNull() && k != Backspace && k != Tab)
            kept += k;
    }
    return kept;
}

bool readsAsNegative(const QString& pasted)
{
    const QString text = pasted.trimmed();
    const auto isMinus = [](QChar c) { return c == u'-' || c == QChar(0x2212); };
    const bool hasDigit = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    return hasDigit && (isMinus(text.front()) || (isMinus(text.back()) && text[text.size() - 2].isDigit()));
}

bool amountOverflows(const QString& text)
{
    if (Currency::parseRounded(text))
        return false;
    // The same text with every digit made 0 always fits: if that parses, only
    // the size of the number was wrong.
    QString zeros = text;
    for (QChar& c : zeros) {
        if (c >= u'0' && c <= u'9')
            c = u'0';
    }
    return Currency::parseRounded(zeros).has_value();
}

AmountEdit::AmountEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAcceptDrops(false);
    // No input method: its committed text would bypass the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void AmountEdit::setAmount(std::optional<Currency> value)
{
    setText(Format::number(value, m_format));
    m_shownText = text();
    m_shownAmount = value;
}

std::optional<Currency> AmountEdit::amount() const
{
    // The display format may show fewer decimals than the amount has: until
    // the text is edited, the amount stays the one shown.
    if (m_shownAmount && text() == m_shownText)
        return m_shownAmount;
    return Currency::parseRounded(text());
}

void AmountEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu or a message box over the box is not the end of the typing.
    const bool leaving =
        event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
    if (const auto value = amount(); leaving && value && !m_format.isEmpty())
        setAmount(value);
}

void AmountEdit::keyPressEvent(QKeyEvent* event)
{
    if (isControlLetter(event)) {
        event->accept(); // Ctrl+C, Ctrl+V and the like type nothing here
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text == u"-" || text == QChar(0x2212)) {
        event->accept();
        refuseNegative();
        return;
    }
    if (event->key() == Qt::Key_Backspace || text.isEmpty() || !text.front().isPrint()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    QString kept;
    for (QChar c : text) {
        if (const QChar k = FilterAmountKey(c); !k.isNull())
            kept += k;
    }
    if (!kept.isEmpty())
        insertChecked(kept);
}

void AmountEdit::insertChecked(const QString& text)
{
    QString next = QLineEdit::text();
    if (hasSelectedText())
        next.replace(selectionStart(), selectedText().size(), text);
    else
        next.insert(cursorPosition(), text);
    if (amountOverflows(next)) {
        Prompt::instance().message(
            window(),
            QStringLiteral("L'importo è troppo grande: il massimo consentito è %1.").arg(largestAmountText()),
            MsgStyle::Ok);
        return;
    }
    insert(text);
}

void AmountEdit::refuseNegative()
{
    Prompt::instance().message(window(), m_negativeRefusal, MsgStyle::Ok);
}

void AmountEdit::pasteFiltered(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString pasted = QGuiApplication::clipboard()->text(mode);
    if (readsAsNegative(pasted)) {
        refuseNegative();
        return;
    }
    const QString kept = filterPastedAmount(pasted);
    if (!kept.isEmpty())
        insertChecked(kept);
}

QMenu* AmountEdit::createFilteredContextMenu()
{
    // Our own menu rather than the standard one, whose paste would bypass the filter.
    auto* menu = new QMenu(this);
    const bool editable = !isReadOnly();
    auto add = [&](const QString& name, const QString& text, bool enabled, auto slot) {
        QAction* action = menu->addAction(text, this, slot);
        action->setObjectName(name);
        action->setEnabled(enabled);
    };
    add(QStringLiteral("edit-cut"), QStringLiteral("Taglia"), editable && hasSelectedText(), &QLineEdit::cut);
    add(QStringLiteral("edit-copy"), QStringLiteral("Copia"), hasSelectedText(), &QLineEdit::copy);
    add(QStringLiteral("edit-paste"), QStringLiteral("Incolla"),
        editable && !QGuiApplication::clipboard()->text().isEmpty(), [this] { pasteFiltered(); });
    add(QStringLiteral("edit-delete"), QStringLiteral("Elimina"), editable && hasSelectedText(),
        &QLineEdit::del);
    menu->addSeparator();
    add(QStringLiteral("select-all"), QStringLiteral("Seleziona tutto"), !text().isEmpty(),
        &QLineEdit::selectAll);
    return menu;
}

void AmountEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createFilteredContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void AmountEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        pasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

} // namespace movilibro
