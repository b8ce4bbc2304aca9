#pragma once

#include "db/periods.h"

#include <QWidget>

#include <array>

class QDateEdit;
class QLabel;
class QRadioButton;
class QToolBar;

namespace movilibro {

// Upper half of the side panel: the period filter ("Periodo selezionato")
// and the preferences summary with its three status lines.
class PeriodPanel : public QWidget
{
    Q_OBJECT
public:
    explicit PeriodPanel(QWidget* parent = nullptr);

    // Index of the option that is on, 0 when none is.
    int selectedOption() const;
    void selectOption(int index);
    // Bold caption on the chosen option, pickers enabled only for "Dal".
    void showOption(int index);

    QDate pickerDate(int index) const;
    void setPickerLimits(const DateRange& limits);
    void setPickerDates(const DateRange& period);
    void setStatus(int index, const QString& text);

signals:
    void optionClicked(int index);
    void pickerChanged();
    void preferencesClicked();

private:
    QLabel* title(int index, const QString& text);
    std::array<QRadioButton*, 4> m_options{};
    std::array<QDateEdit*, 2> m_pickers{};
    std::array<QLabel*, 3> m_status{};
    QLabel* m_al = nullptr;
};

} // namespace movilibro
