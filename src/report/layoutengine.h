#pragma once

#include "report/document.h"
#include "report/groupplan.h"
#include "report/layoutstep.h"
#include "report/recordsource.h"

#include <vector>

namespace movilibro::report {

class Band;
class Report;

// Lays a report's records out in pages: group headers where groups start,
// one detail band per record, group footers where groups end, the page
// header on top of every page. A band is never split; a group header is kept
// on the page of its first record.
//
// Page breaks follow from band heights alone, so they are planned first
// (pageStarts(), nothing bound or drawn) and each page is then laid out on
// its own, in any order. Event hooks change what a band shows, never its
// height: heights are read when the engine is made.
class LayoutEngine
{
public:
    // `report` and `records` must outlive the engine, which writes the
    // values and texts of the report's controls while it lays out. Throws
    // CurrencyOverflow when a sum cannot be held.
    LayoutEngine(Report& report, const RecordSource& records, const PageFrame& frame);

    // Where each page starts; the first page starts at {0, 0}.
    std::vector<LayoutStep> pageStarts() const;
    // The step after the last: where the last page ends.
    LayoutStep end() const { return {m_records.rowCount(), 0}; }
    // The page that runs from `from` up to `to`, with `pageCount` in the
    // page-count fields.
    Page layPage(LayoutStep from, LayoutStep to, int pageCount);

private:
    struct ControlSlot
    {
        int field = -1;    // record field of a bound control or summary
        int sumLevel = -1; // group level of a summary, -1 for the whole report
    };
    struct BandSlot
    {
        Band* band = nullptr;
        bool visible = false;
        int height = 0;
        std::vector<ControlSlot> controls;
    };

    BandSlot makeSlot(Band& band);
    int levelOfGroup(const QString& headerName) const;
    int levelCount() const { return int(m_headers.size()); }
    LayoutStep next(LayoutStep at) const;
    int headerChainHeight(int row) const;
    int bottom() const;

    void placeStep(LayoutStep at);
    void place(BandSlot& slot, int row);
    void bindValues(BandSlot& slot, int row);
    void addToPage(Band& band, int height);
    void startPage(int row);
    void finishPage(int row);

    Report& m_report;
    const RecordSource& m_records;
    const PageFrame m_frame;
    GroupPlan m_plan;

    BandSlot m_pageHeader;
    std::vector<BandSlot> m_headers;
    BandSlot m_detail;
    std::vector<BandSlot> m_footers;
    BandSlot m_pageFooter;

    // The page being laid out.
    Page m_page;
    int m_y = 0;
    int m_pageCount = 0;
};

} // namespace movilibro::report
