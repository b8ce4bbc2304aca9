#pragma once

#include "report/document.h"
#include "report/layoutstep.h"
#include "report/recordsource.h"

#include <memory>
#include <vector>

namespace movilibro::report {

class LayoutEngine;
class Report;

// A report ready to be laid out page by page: its page breaks and page count
// are known, and each page is laid out only when asked for, so that a report
// of any length is drawn with one page in memory.
class ReportPages
{
public:
    // No pages.
    ReportPages();
    // Plans the pages of `report` over `records`. The report must outlive
    // this object and lay out nothing else meanwhile. Throws
    // CurrencyOverflow when a sum cannot be held.
    ReportPages(Report& report, std::shared_ptr<const RecordSource> records, const PageFrame& frame);
    ReportPages(ReportPages&&) noexcept;
    ReportPages& operator=(ReportPages&&) noexcept;
    ~ReportPages();

    const QString& title() const { return m_title; }
    const QString& fontFamily() const { return m_fontFamily; }
    const PageFrame& frame() const { return m_frame; }
    const std::shared_ptr<const RecordSource>& records() const { return m_records; }

    int pageCount() const { return int(m_starts.size()); }
    // Lays page `index` (0-based) out. Pages asked in order cost least; any
    // order gives the same pages.
    Page page(int index);
    // Every page at once, for a report known to be short.
    ReportDocument all();
    // How many pages have been laid out so far.
    int laidOutCount() const { return m_laidOut; }

private:
    QString m_title;
    QString m_fontFamily;
    PageFrame m_frame;
    std::shared_ptr<const RecordSource> m_records;
    std::unique_ptr<LayoutEngine> m_engine;
    std::vector<LayoutStep> m_starts;
    int m_laidOut = 0;
};

} // namespace movilibro::report
