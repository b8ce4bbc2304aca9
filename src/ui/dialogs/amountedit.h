#pragma once

#include "format/currency.h"

#include <QClipboard>
#include <QLineEdit>

#include <optional>

class QMenu;

namespace movilibro {

// What a key typed into an amount box becomes: digits, Backspace, Tab and the
// comma pass, the full stop becomes the user's decimal separator, anything
// else gives a null QChar (the key is dropped).
QChar FilterAmountKey(QChar typed);

// Pasted text reduced to what typing it would leave. A whole non-negative
// amount as the user would write it ("1.234,50") is kept as that amount.
QString filterPastedAmount(const QString& pasted);

// True when pasted text is a negative amount ("-5", "−5", "5-"): never taken
// with its sign dropped.
bool readsAsNegative(const QString& pasted);

// True when `text` is a well-formed amount too large for the currency type.
bool amountOverflows(const QString& text);

// A money box: right-aligned, takes only what FilterAmountKey lets through,
// by keyboard and by paste alike, and refuses amounts beyond the currency
// range. A minus sign typed, or a negative amount pasted, is refused with a
// message: the box holds amounts of one direction only.
class AmountEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit AmountEdit(QWidget* parent = nullptr);

    // Four-section number pattern the amount is shown with while not edited.
    void setDisplayFormat(const QString& pattern) { m_format = pattern; }
    // What the user is told when a negative amount is typed or pasted.
    void setNegativeRefusal(const QString& text) { m_negativeRefusal = text; }
    const QString& negativeRefusal() const { return m_negativeRefusal; }
    // Shows an amount (nullopt: the empty section).
    void setAmount(std::optional<Currency> value);
    // The typed amount, more than four decimals rounded to four; nullopt
    // when the text is not a number.
    std::optional<Currency> amount() const;

    // The standard menu, its paste entry filtered like typing.
    QMenu* createFilteredContextMenu();
    void pasteFiltered(QClipboard::Mode mode = QClipboard::Clipboard);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Inserts at the cursor unless the result would not fit the currency type.
    void insertChecked(const QString& text);
    void refuseNegative();

    QString m_format;
    QString m_negativeRefusal = QStringLiteral("Gli importi negativi non sono ammessi.");
    QString m_shownText;
    std::optional<Currency> m_shownAmount;
};

} // namespace movilibro
