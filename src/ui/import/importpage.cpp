#include "ui/import/importpage.h"

#include "ui/prompt/prompt.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace movilibro::importpage {

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

QStringList statementFilters()
{
    return {
        QStringLiteral("Estratti conto (*.csv *.txt *.xlsx *.xlsm *.xls *.ofx *.qfx *.xml *.CSV *.TXT *.XLSX "
                       "*.XLSM *.XLS *.OFX *.QFX *.XML)"),
        QStringLiteral("CSV (*.csv *.txt *.CSV *.TXT)"),
        QStringLiteral("Excel (*.xlsx *.xlsm *.xls *.XLSX *.XLSM *.XLS)"),
        QStringLiteral("OFX (*.ofx *.qfx *.OFX *.QFX)"),
        QStringLiteral("ISO 20022 camt.052, camt.053, camt.054 (*.xml *.XML)"),
        QStringLiteral("Tutti i file (*)")};
}

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QTableView* movementTable(const QString& name, QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

} // namespace movilibro::importpage
