#include "report/layoutengine.h"

#include "report/report.h"

namespace movilibro::report {

namespace {

std::vector<int> groupFields(Report& report, const RecordSource& records)
{
    std::vector<int> fields;
    for (const auto& group : report.groups()) {
        const QString& field = group.header.groupField();
        fields.push_back(field.isEmpty() ? -1 : records.fieldIndex(field));
    }
    return fields;
}

// A step is a header chain, a detail or a footer: the first step of a row
// past the last is the next row's.
constexpr int HeadersStep = 0;
constexpr int DetailStep = 1;
constexpr int FirstFooterStep = 2;

} // namespace

LayoutEngine::LayoutEngine(Report& report, const RecordSource& records, const PageFrame& frame)
    : m_report(report), m_records(records), m_frame(frame), m_plan(records, groupFields(report, records))
{
    m_pageHeader = makeSlot(report.pageHeader());
    for (auto& group : report.groups()) {
        m_headers.push_back(makeSlot(group.header));
    }
    m_detail = makeSlot(report.detail());
    for (auto& group : report.groups()) {
        m_footers.push_back(makeSlot(group.footer));
    }
    m_pageFooter = makeSlot(report.pageFooter());
}

LayoutEngine::BandSlot LayoutEngine::makeSlot(Band& band)
{
    BandSlot slot{&band, band.isVisible(), band.isVisible() ? band.height() : 0, {}};
    for (const auto& control : band.controls()) {
        ControlSlot controlSlot;
        if (control.isBound()) {
            controlSlot.field = m_records.fieldIndex(control.dataField);
        }
        if (control.summary == Summary::GroupSum || control.summary == Summary::RunningGroupSum) {
            controlSlot.sumLevel = levelOfGroup(control.summaryGroup);
        }
        if (controlSlot.field >= 0 && control.summary == Summary::GroupSum) {
            m_plan.addSum(controlSlot.sumLevel, controlSlot.field);
        } else if (controlSlot.field >= 0 && control.summary == Summary::RunningGroupSum) {
            m_plan.addRunning(controlSlot.sumLevel, controlSlot.field);
        }
        slot.controls.push_back(controlSlot);
    }
    return slot;
}

int LayoutEngine::levelOfGroup(const QString& headerName) const
{
    const auto& groups = m_report.groups();
    for (size_t level = 0; level < groups.size(); ++level) {
        if (groups[level].header.name() == headerName) {
            return int(level);
        }
    }
    return -1;
}

LayoutStep LayoutEngine::next(LayoutStep at) const
{
    if (++at.step == FirstFooterStep + levelCount()) {
        return {at.row + 1, HeadersStep};
    }
    return at;
}

std::vector<LayoutStep> LayoutEngine::pageStarts() const
{
    std::vector<LayoutStep> starts{{0, HeadersStep}};
    const int top = m_pageHeader.height;
    int y = top;
    const auto breakBefore = [&](LayoutStep at) {
        starts.push_back(at);
        y = top;
    };
    for (int row = 0; row < m_records.rowCount(); ++row) {
        // A header alone at the foot of a page says nothing: move it together
        // with the first record of its group. A chain taller than a page
        // stays on the page it starts.
        const int chain = headerChainHeight(row);
        if (y + chain > bottom() && y > top) {
            breakBefore({row, HeadersStep});
        }
        const bool holdTogether = y == top;
        y += chain - m_detail.height;
        if (m_detail.visible) {
            if (m_detail.height > 0 && y + m_detail.height > bottom() && y > top && !holdTogether) {
                breakBefore({row, DetailStep});
            }
            y += m_detail.height;
        }
        for (int level = levelCount(); level-- > 0;) {
            const BandSlot& footer = m_footers[size_t(level)];
            if (!footer.visible || !m_plan.endsGroup(level, row)) {
                continue;
            }
            if (footer.height > 0 && y + footer.height > bottom() && y > top) {
                breakBefore({row, FirstFooterStep + levelCount() - 1 - level});
            }
            y += footer.height;
        }
    }
    return starts;
}

int LayoutEngine::headerChainHeight(int row) const
{
    int height = m_detail.height;
    for (int level = 0; level < levelCount(); ++level) {
        if (m_headers[size_t(level)].visible && m_plan.startsGroup(level, row)) {
            height += m_headers[size_t(level)].height;
        }
    }
    return height;
}

int LayoutEngine::bottom() const
{
    return m_frame.height - m_pageFooter.height;
}

Page LayoutEngine::layPage(LayoutStep from, LayoutStep to, int pageCount)
{
    m_page = Page();
    m_y = 0;
    m_pageCount = pageCount;
    startPage(from.row);
    for (LayoutStep at = from; at < to; at = next(at)) {
        placeStep(at);
    }
    finishPage(to.step == HeadersStep ? to.row - 1 : to.row);
    return std::move(m_page);
}

void LayoutEngine::placeStep(LayoutStep at)
{
    if (at.step == HeadersStep) {
        for (int level = 0; level < levelCount(); ++level) {
            if (m_headers[size_t(level)].visible && m_plan.startsGroup(level, at.row)) {
                place(m_headers[size_t(level)], at.row);
            }
        }
    } else if (at.step == DetailStep) {
        if (m_detail.visible) {
            place(m_detail, at.row);
        }
    } else {
        const int level = levelCount() - 1 - (at.step - FirstFooterStep);
        if (m_footers[size_t(level)].visible && m_plan.endsGroup(level, at.row)) {
            place(m_footers[size_t(level)], at.row);
        }
    }
}

void LayoutEngine::place(BandSlot& slot, int row)
{
    bindValues(slot, row);
    slot.band->runFormat();
    slot.band->runBeforePrint();
    addToPage(*slot.band, slot.height);
}

void LayoutEngine::bindValues(BandSlot& slot, int row)
{
    if (row < 0 || row >= m_records.rowCount()) {
        return;
    }
    auto& controls = slot.band->controls();
    for (size_t i = 0; i < controls.size() && i < slot.controls.size(); ++i) {
        Control& control = controls[i];
        const ControlSlot& state = slot.controls[i];
        if (state.field < 0 || control.kind != ControlKind::TextField) {
            continue;
        }
        switch (control.summary) {
        case Summary::None:
            control.value = m_records.value(row, state.field);
            break;
        case Summary::GroupSum:
            control.value = m_plan.sum(state.sumLevel, state.field, row);
            break;
        case Summary::RunningGroupSum:
            control.value = m_plan.running(state.sumLevel, state.field, row);
            break;
        case Summary::PageCount:
            continue;
        }
        control.text = control.formattedValue();
    }
}

void LayoutEngine::addToPage(Band& band, int height)
{
    if (height == 0 && band.controls().empty()) {
        return;
    }
    PlacedBand placed{band.name(), m_y, height, {}};
    placed.items.reserve(band.controls().size());
    for (const auto& control : band.controls()) {
        const bool pageCount = control.summary == Summary::PageCount;
        if (control.isText() && control.text.isEmpty() && qAlpha(control.background) == 0 && !pageCount) {
            continue;
        }
        PlacedItem item;
        item.kind = control.kind == ControlKind::Line     ? ItemKind::Line
                    : control.kind == ControlKind::Square ? ItemKind::Square
                                                          : ItemKind::Text;
        item.name = control.name;
        item.rect = control.rect.translated(0, m_y);
        item.text = pageCount ? QString::number(m_pageCount) : control.text;
        item.fontSize = control.fontSize > 0 ? control.fontSize : m_report.fontSize();
        item.alignment = control.alignment;
        item.background = control.background;
        item.fill = control.fill;
        placed.items.push_back(std::move(item));
    }
    m_page.bands.push_back(std::move(placed));
    m_y += height;
}

void LayoutEngine::startPage(int row)
{
    if (m_pageHeader.visible) {
        place(m_pageHeader, row);
    }
}

void LayoutEngine::finishPage(int row)
{
    if (m_pageFooter.visible) {
        bindValues(m_pageFooter, row);
        m_pageFooter.band->runFormat();
        m_pageFooter.band->runBeforePrint();
        m_y = bottom();
        addToPage(*m_pageFooter.band, m_pageFooter.height);
    }
}

} // namespace movilibro::report
