#include "report/layoutengine.h"

#include "report/report.h"

namespace movilibro::report {

namespace {

std::vector<int> groupFields(Report& report, const RecordTable& records)
{
    std::vector<int> fields;
    for (const auto& group : report.groups()) {
        const QString& field = group.header.groupField();
        fields.push_back(field.isEmpty() ? -1 : records.fieldIndex(field));
    }
    return fields;
}

bool isSummary(const Control& control)
{
    return control.summary == Summary::GroupSum || control.summary == Summary::RunningGroupSum;
}

} // namespace

LayoutEngine::LayoutEngine(Report& report, const RecordTable& records, const PageFrame& frame)
    : m_report(report), m_records(records), m_plan(records, groupFields(report, records))
{
    m_document.title = report.title();
    m_document.fontFamily = report.fontFamily();
    m_document.frame = frame;

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
    BandSlot slot{&band, {}};
    for (const auto& control : band.controls()) {
        ControlSlot controlSlot;
        if (control.isBound()) {
            controlSlot.field = m_records.fieldIndex(control.dataField);
        }
        if (isSummary(control)) {
            controlSlot.sumLevel = levelOfGroup(control.summaryGroup);
            if (control.summary == Summary::GroupSum && controlSlot.field >= 0) {
                m_plan.addSum(controlSlot.sumLevel, controlSlot.field);
            }
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

ReportDocument LayoutEngine::run()
{
    startPage(0);
    for (int row = 0; row < m_records.rowCount(); ++row) {
        placeGroupHeaders(row);
        if (m_detail.band->isVisible()) {
            place(m_detail, row);
        }
        m_holdTogether = false;
        placeGroupFooters(row);
    }
    finishPage(m_records.rowCount() - 1);
    fillPageCounts();
    return std::move(m_document);
}

int LayoutEngine::headerChainHeight(int row) const
{
    int height = m_detail.band->isVisible() ? m_detail.band->height() : 0;
    for (size_t level = 0; level < m_headers.size(); ++level) {
        const Band& header = *m_headers[level].band;
        if (header.isVisible() && m_plan.startsGroup(int(level), row)) {
            height += header.height();
        }
    }
    return height;
}

void LayoutEngine::placeGroupHeaders(int row)
{
    // A header alone at the foot of a page says nothing: move it together
    // with the first record of its group.
    if (!fits(headerChainHeight(row)) && pageHasBody()) {
        finishPage(row - 1);
        startPage(row);
    }
    // A chain taller than a page stays on the page it starts.
    m_holdTogether = !pageHasBody();
    for (size_t level = 0; level < m_headers.size(); ++level) {
        if (m_headers[level].band->isVisible() && m_plan.startsGroup(int(level), row)) {
            place(m_headers[level], row);
        }
    }
}

void LayoutEngine::placeGroupFooters(int row)
{
    for (size_t level = m_footers.size(); level-- > 0;) {
        if (m_footers[level].band->isVisible() && m_plan.endsGroup(int(level), row)) {
            place(m_footers[level], row);
        }
    }
}

void LayoutEngine::place(BandSlot& slot, int row)
{
    Band& band = *slot.band;
    bindValues(slot, row);
    band.runFormat();
    if (band.height() > 0 && !fits(band.height()) && pageHasBody() && !m_holdTogether) {
        finishPage(row);
        startPage(row);
    }
    band.runBeforePrint();
    addToPage(band);
}

void LayoutEngine::bindValues(BandSlot& slot, int row)
{
    if (row < 0 || row >= m_records.rowCount()) {
        return;
    }
    auto& controls = slot.band->controls();
    for (size_t i = 0; i < controls.size() && i < slot.controls.size(); ++i) {
        Control& control = controls[i];
        ControlSlot& state = slot.controls[i];
        if (state.field < 0 || control.kind != ControlKind::TextField) {
            continue;
        }
        const Value& recordValue = m_records.value(row, state.field);
        switch (control.summary) {
        case Summary::None:
            control.value = recordValue;
            break;
        case Summary::GroupSum:
            control.value = m_plan.sum(state.sumLevel, state.field, row);
            break;
        case Summary::RunningGroupSum: {
            const bool restart = state.sumLevel < 0 ? row == 0 : m_plan.startsGroup(state.sumLevel, row);
            state.running = (restart ? Currency() : state.running) + amountOf(recordValue);
            control.value = state.running;
            break;
        }
        case Summary::PageCount:
            continue;
        }
        control.text = control.formattedValue();
    }
}

void LayoutEngine::addToPage(Band& band)
{
    if (band.height() == 0 && band.controls().empty()) {
        return;
    }
    Page& page = m_document.pages.back();
    PlacedBand placed{band.name(), m_y, band.height(), {}};
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
        item.text = control.text;
        item.fontSize = control.fontSize > 0 ? control.fontSize : m_report.fontSize();
        item.alignment = control.alignment;
        item.background = control.background;
        item.fill = control.fill;
        if (pageCount) {
            m_pageCountItems.push_back({m_document.pages.size() - 1, page.bands.size(), placed.items.size()});
        }
        placed.items.push_back(std::move(item));
    }
    page.bands.push_back(std::move(placed));
    m_y += band.height();
}

void LayoutEngine::startPage(int row)
{
    m_document.pages.emplace_back();
    m_y = 0;
    if (m_pageHeader.band->isVisible()) {
        bindValues(m_pageHeader, row);
        m_pageHeader.band->runFormat();
        m_pageHeader.band->runBeforePrint();
        addToPage(*m_pageHeader.band);
    }
    m_bodyTop = m_y;
}

void LayoutEngine::finishPage(int row)
{
    if (!m_pageFooter.band->isVisible()) {
        return;
    }
    bindValues(m_pageFooter, row);
    m_pageFooter.band->runFormat();
    m_pageFooter.band->runBeforePrint();
    m_y = bottom();
    addToPage(*m_pageFooter.band);
}

int LayoutEngine::bottom() const
{
    const Band& footer = *m_pageFooter.band;
    return m_document.frame.height - (footer.isVisible() ? footer.height() : 0);
}

void LayoutEngine::fillPageCounts()
{
    const QString count = QString::number(m_document.pages.size());
    for (const auto& ref : m_pageCountItems) {
        m_document.pages[ref.page].bands[ref.band].items[ref.item].text = count;
    }
}

} // namespace movilibro::report
