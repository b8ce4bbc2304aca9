#include "report/report.h"

#include "report/records.h"

#include <stdexcept>

namespace movilibro::report {

Report::Report()
    : m_pageHeader(QStringLiteral("PageHeader"), BandKind::PageHeader, 0),
      m_detail(QStringLiteral("Detail"), BandKind::Detail, 0),
      m_pageFooter(QStringLiteral("PageFooter"), BandKind::PageFooter, 0)
{}

void Report::setBaseFont(const QString& family, qreal pointSize)
{
    m_fontFamily = family;
    m_fontSize = pointSize;
}

Report::Group& Report::addGroup(const QString& headerName, int headerHeight, const QString& footerName,
                                int footerHeight)
{
    m_groups.push_back({Band(headerName, BandKind::GroupHeader, headerHeight),
                        Band(footerName, BandKind::GroupFooter, footerHeight)});
    return m_groups.back();
}

void Report::clearBands()
{
    m_pageHeader = Band(m_pageHeader.name(), BandKind::PageHeader, 0);
    m_detail = Band(m_detail.name(), BandKind::Detail, 0);
    m_pageFooter = Band(m_pageFooter.name(), BandKind::PageFooter, 0);
    m_groups.clear();
}

Band* Report::band(const QString& name)
{
    for (Band* candidate : {&m_pageHeader, &m_detail, &m_pageFooter}) {
        if (candidate->name() == name) {
            return candidate;
        }
    }
    for (auto& group : m_groups) {
        if (group.header.name() == name) {
            return &group.header;
        }
        if (group.footer.name() == name) {
            return &group.footer;
        }
    }
    return nullptr;
}

Control* Report::control(const QString& name)
{
    for (Band* candidate : {&m_pageHeader, &m_detail, &m_pageFooter}) {
        if (auto* found = candidate->control(name)) {
            return found;
        }
    }
    for (auto& group : m_groups) {
        for (Band* candidate : {&group.header, &group.footer}) {
            if (auto* found = candidate->control(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

Control& Report::at(const QString& name)
{
    if (auto* found = control(name)) {
        return *found;
    }
    throw std::out_of_range("no control " + name.toStdString());
}

ReportPages Report::paginate(const PageFrame& frame)
{
    return paginate(m_dataControl.records(), frame);
}

ReportPages Report::paginate(std::shared_ptr<const RecordSource> records, const PageFrame& frame)
{
    return ReportPages(*this, std::move(records), frame);
}

ReportDocument Report::run(const PageFrame& frame)
{
    return paginate(frame).all();
}

ReportDocument Report::layout(const RecordSource& records, const PageFrame& frame)
{
    // Held by the caller: nothing to free.
    return paginate(std::shared_ptr<const RecordSource>(std::shared_ptr<void>(), &records), frame).all();
}

} // namespace movilibro::report
