#include "ui/main/periodpanel.h"

#include "ui/dialogs/datepicker.h"

#include <QAction>
#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

namespace movilibro {

namespace {
const char* const OptionCaptions[] = {"Intero Esercizio", "Data di lavoro", "Mese corrente", "Dal"};
}

PeriodPanel::PeriodPanel(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(title(0, QStringLiteral("Periodo selezionato")));

    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_options[i] = new QRadioButton(QString::fromUtf8(OptionCaptions[i]), this);
        m_options[i]->setObjectName(QStringLiteral("optDate_%1").arg(i));
        group->addButton(m_options[i], i);
    }
    for (int i = 0; i < 2; ++i) {
        m_pickers[i] = new DatePicker(this);
        m_pickers[i]->setObjectName(QStringLiteral("dtpfilter_%1").arg(i));
        connect(m_pickers[i], &QDateEdit::dateChanged, this, &PeriodPanel::pickerChanged);
    }
    m_al = new QLabel(QStringLiteral("Al"), this);
    m_al->setObjectName(QStringLiteral("lblPeriodo"));
    layout->addWidget(m_options[0]);
    layout->addWidget(m_options[1]);
    layout->addWidget(m_options[2]);
    auto* range = new QGridLayout;
    range->addWidget(m_options[3], 0, 0);
    range->addWidget(m_pickers[0], 0, 1);
    range->addWidget(m_al, 1, 0);
    range->addWidget(m_pickers[1], 1, 1);
    layout->addLayout(range);
    connect(group, &QButtonGroup::idClicked, this, &PeriodPanel::optionClicked);

    layout->addSpacing(8);
    layout->addWidget(title(1, QStringLiteral("Preferenze")));
    const std::pair<int, const char*> statusTitles[] = {
        {2, "Data di lavoro"}, {3, "Esercizio contabile"}, {6, "Raggruppamento Date"}};
    for (int i = 0; i < 3; ++i) {
        auto* caption = title(statusTitles[i].first, QString::fromUtf8(statusTitles[i].second));
        QFont small = caption->font();
        small.setBold(false);
        small.setPointSizeF(6.75);
        caption->setFont(small);
        layout->addWidget(caption);
        m_status[i] = new QLabel(this);
        m_status[i]->setObjectName(QStringLiteral("lblStatus_%1").arg(i));
        m_status[i]->setIndent(8);
        layout->addWidget(m_status[i]);
    }
    auto* tbPreferenze = new QToolBar(this);
    tbPreferenze->setObjectName(QStringLiteral("tbPreferenze"));
    tbPreferenze->setIconSize(QSize(20, 20));
    QAction* prefs = tbPreferenze->addAction(QIcon(QStringLiteral(":/icons/preferences.svg")), QString());
    prefs->setObjectName(QStringLiteral("tbPreferenze_1"));
    prefs->setToolTip(QStringLiteral("Modifica Preferenze"));
    connect(prefs, &QAction::triggered, this, &PeriodPanel::preferencesClicked);
    layout->addWidget(tbPreferenze);

    selectOption(0);
    showOption(0);
}

QLabel* PeriodPanel::title(int index, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("lblTitle_%1").arg(index));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

int PeriodPanel::selectedOption() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_options[i]->isChecked())
            return i;
    }
    return 0;
}

void PeriodPanel::selectOption(int index)
{
    m_options[index]->setChecked(true);
}

void PeriodPanel::showOption(int index)
{
    for (int i = 0; i < 4; ++i) {
        QFont f = m_options[i]->font();
        f.setBold(i == index);
        m_options[i]->setFont(f);
    }
    const bool range = index == 3;
    m_pickers[0]->setEnabled(range);
    m_pickers[1]->setEnabled(range);
    QFont f = m_al->font();
    f.setBold(range);
    m_al->setFont(f);
}

QDate PeriodPanel::pickerDate(int index) const
{
    return m_pickers[index]->date();
}

void PeriodPanel::setPickerLimits(const DateRange& limits)
{
    for (QDateEdit* picker : m_pickers) {
        const QSignalBlocker block(picker);
        picker->setDateRange(limits.start, limits.end);
    }
}

void PeriodPanel::setPickerDates(const DateRange& period)
{
    const QSignalBlocker block0(m_pickers[0]);
    const QSignalBlocker block1(m_pickers[1]);
    m_pickers[0]->setDate(period.start);
    m_pickers[1]->setDate(period.end);
}

void PeriodPanel::setStatus(int index, const QString& text)
{
    m_status[index]->setText(text);
}

} // namespace movilibro
