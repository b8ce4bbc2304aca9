#pragma once

#include "report/report.h"
#include "report/reportcontext.h"

#include <QStringList>

namespace movilibro::report {

// The journal report: the entries of the selected period under column
// captions, nested in up to three group levels whose headers carry the
// group's caption and its totals, with a progressive balance per entry.
class arpSchede : public Report
{
public:
    static constexpr int DesignedWidth = 10605;
    static inline const QString IncomesFormat = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
    static inline const QString BalanceFormat = QStringLiteral("#,##0.00;#,##0.00;0.00;0.00");

    arpSchede();

    // Read by the captions while the report runs.
    void setPeriod(const QDate& start, const QDate& end);
    void setDateGrouping(int kind);

    // Bands, controls and bindings as designed.
    void restoreDesign();
    // From the designed state: group fields, hidden bands, caption bindings
    // and the group the progressive balance runs over for the grouping
    // layout 0..4; any other layout leaves the design.
    void configure(int layout);
    // The incomes format goes to every incomes and outgoings field, the
    // balance format to every balance field.
    void setOutputFormats(const QString& incomes, const QString& balance);

    void GroupHeader1_BeforePrint(Band& band);
    void GroupHeader1_Format(Band& band);
    void GroupHeader2_BeforePrint(Band& band);
    void GroupHeader2_Format(Band& band);
    void GroupHeader3_BeforePrint(Band& band);
    void GroupHeader3_Format(Band& band);
    void Detail_BeforePrint(Band& band);

private:
    void designPageHeader();
    void designGroupHeader(Band& band, int level);
    void designDetail();
    void installHandlers();
    void setGroup(int level, const QString& field, const QString& captionName);
    void hideGroup(int level);
    void setPeriodCaption(Band& band, const QString& captionName, const QStringList& names) const;

    QDate m_start;
    QDate m_end;
    int m_kind = 0;
};

} // namespace movilibro::report
