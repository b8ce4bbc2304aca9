#include "report/reportpages.h"

#include "report/layoutengine.h"
#include "report/report.h"

namespace movilibro::report {

ReportPages::ReportPages() = default;

ReportPages::ReportPages(Report& report, std::shared_ptr<const RecordSource> records, const PageFrame& frame)
    : m_title(report.title()), m_fontFamily(report.fontFamily()), m_frame(frame),
      m_records(std::move(records)), m_engine(std::make_unique<LayoutEngine>(report, *m_records, frame)),
      m_starts(m_engine->pageStarts())
{}

ReportPages::ReportPages(ReportPages&&) noexcept = default;
ReportPages& ReportPages::operator=(ReportPages&&) noexcept = default;
ReportPages::~ReportPages() = default;

Page ReportPages::page(int index)
{
    const LayoutStep to = index + 1 < pageCount() ? m_starts[size_t(index) + 1] : m_engine->end();
    ++m_laidOut;
    return m_engine->layPage(m_starts[size_t(index)], to, pageCount());
}

ReportDocument ReportPages::all()
{
    ReportDocument document{m_title, m_fontFamily, m_frame, {}};
    document.pages.reserve(size_t(pageCount()));
    for (int index = 0; index < pageCount(); ++index) {
        document.pages.push_back(page(index));
    }
    return document;
}

} // namespace movilibro::report
