#pragma once

#include "completion/descriptionhistory.h"

#include <QObject>

#include <vector>

class QComboBox;
class QCompleter;
class QLineEdit;
class QKeyEvent;
class QModelIndex;
class QPoint;
class QStringListModel;

namespace movilibro {

class AmountEdit;

// Offers the descriptions typed before under the entry editor's description
// box, from the second character typed. While the list is open, Enter takes
// the highlighted description (and stays in the box) and Esc closes the list;
// with nothing highlighted, or with the list closed, the editor's keyboard
// rules hold; a click outside the list closes it and still does what it was
// aimed at. A description taken for a new entry, or typed out in full, also
// brings the account and the amount of its latest entry, where the user has
// not set them yet; typing into one amount box then clears the other one if
// it still holds the amount brought.
class DescriptionCompletion : public QObject
{
    Q_OBJECT
public:
    static constexpr int FirstLength = 2;
    static constexpr int MaxShown = 12;

    DescriptionCompletion(QLineEdit* description, QComboBox* account, AmountEdit* in, AmountEdit* out,
                          QObject* parent);

    // Reads the descriptions afresh from the journal; none when it cannot be
    // read, as the editor works without them.
    void prepare(const QString& connString, bool newEntry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void offer(const QString& typed);
    void close();
    void accept(const QModelIndex& index);
    void fillFrom(const PastEntry& past);
    bool listKey(QKeyEvent* key);
    void clickOutsideList(const QPoint& globalPos);
    void descriptionLeft();
    void amountTyped(AmountEdit* typedInto);

    QLineEdit* m_description;
    QComboBox* m_account;
    AmountEdit* m_in;
    AmountEdit* m_out;
    QCompleter* m_completer;
    QStringListModel* m_model;
    DescriptionHistory m_history;
    std::vector<int> m_shown;
    bool m_newEntry = false;
    bool m_accountTouched = false;
    bool m_amountTouched = false;
    // The amount box still showing what a suggestion brought.
    AmountEdit* m_broughtAmount = nullptr;
};

} // namespace movilibro
