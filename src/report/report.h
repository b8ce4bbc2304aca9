#pragma once

#include "report/band.h"
#include "report/datacontrol.h"
#include "report/document.h"
#include "report/reportpages.h"

#include <QString>

#include <vector>

namespace movilibro::report {

// A banded report: a page header, nested groups (a header and a footer each,
// outermost first), a detail band and a page footer, with a data control for
// its records. Running it lays the records out in pages.
class Report
{
public:
    struct Group
    {
        Band header;
        Band footer;
    };

    Report();
    virtual ~Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    // Width of the designed page in twips.
    int printWidth() const { return m_printWidth; }
    void setPrintWidth(int twips) { m_printWidth = twips; }
    QString fontFamily() const { return m_fontFamily; }
    qreal fontSize() const { return m_fontSize; }
    void setBaseFont(const QString& family, qreal pointSize);

    DataControl& dataControl() { return m_dataControl; }

    Band& pageHeader() { return m_pageHeader; }
    Band& detail() { return m_detail; }
    Band& pageFooter() { return m_pageFooter; }
    std::vector<Group>& groups() { return m_groups; }
    Group& addGroup(const QString& headerName, int headerHeight, const QString& footerName, int footerHeight);
    void clearBands();

    // nullptr when there is no such band or control.
    Band* band(const QString& name);
    Control* control(const QString& name);
    // Throws std::out_of_range when there is no such control.
    Control& at(const QString& name);

    // Reads the data control's records and plans the pages over them.
    // Throws db::DbError and CurrencyOverflow.
    ReportPages paginate(const PageFrame& frame);
    // Plans the pages over records already read. Throws CurrencyOverflow.
    ReportPages paginate(std::shared_ptr<const RecordSource> records, const PageFrame& frame);

    // Every page at once, for short reports: of the data control's records,
    // or of `records`.
    ReportDocument run(const PageFrame& frame);
    ReportDocument layout(const RecordSource& records, const PageFrame& frame);

private:
    QString m_title;
    int m_printWidth = 0;
    QString m_fontFamily;
    qreal m_fontSize = 10;
    DataControl m_dataControl;
    Band m_pageHeader;
    std::vector<Group> m_groups;
    Band m_detail;
    Band m_pageFooter;
};

} // namespace movilibro::report
