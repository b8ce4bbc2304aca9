#pragma once

#include "report/document.h"
#include "report/groupplan.h"
#include "report/records.h"

#include <vector>

namespace movilibro::report {

class Band;
class Report;

// Lays a report's records out in pages: group headers where groups start,
// one detail band per record, group footers where groups end, the page header
// on top of every page. A band is never split; a group header is kept on the
// page of its first record.
class LayoutEngine
{
public:
    LayoutEngine(Report& report, const RecordTable& records, const PageFrame& frame);
    ReportDocument run();

private:
    struct ControlSlot
    {
        int field = -1;    // record field of a bound control or summary
        int sumLevel = -1; // group level of a summary, -1 for the whole report
        Currency running;
    };
    struct BandSlot
    {
        Band* band = nullptr;
        std::vector<ControlSlot> controls;
    };

    BandSlot makeSlot(Band& band);
    int levelOfGroup(const QString& headerName) const;
    int headerChainHeight(int row) const;

    void placeGroupHeaders(int row);
    void placeGroupFooters(int row);
    void place(BandSlot& slot, int row);
    void bindValues(BandSlot& slot, int row);
    void addToPage(Band& band);

    void startPage(int row);
    void finishPage(int row);
    int bottom() const;
    bool fits(int height) const { return m_y + height <= bottom(); }
    bool pageHasBody() const { return m_y > m_bodyTop; }
    void fillPageCounts();

    Report& m_report;
    const RecordTable& m_records;
    GroupPlan m_plan;
    ReportDocument m_document;

    BandSlot m_pageHeader;
    std::vector<BandSlot> m_headers;
    BandSlot m_detail;
    std::vector<BandSlot> m_footers;
    BandSlot m_pageFooter;

    int m_y = 0;
    int m_bodyTop = 0;
    bool m_holdTogether = false;
    struct ItemRef
    {
        size_t page, band, item;
    };
    std::vector<ItemRef> m_pageCountItems;
};

} // namespace movilibro::report
