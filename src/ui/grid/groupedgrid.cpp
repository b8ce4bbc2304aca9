#include "ui/grid/groupedgrid.h"

#include "ui/grid/cellstyle.h"
#include "ui/grid/griddelegate.h"
#include "ui/grid/gridmodel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace movilibro::grid {

using journal::RowType;

namespace {

const QColor GridLineColor(202, 202, 202);
const QColor GridBackground(252, 252, 252);

QFont verdana(qreal pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

constexpr int MinimumFillWidth = 40;

// What a grid shows before it is given rows.
const journal::GridRows* noRows()
{
    static const journal::GridData data;
    static const journal::GridRows rows(data);
    return &rows;
}

// Lets a view paint rows in the alternating colours below its last row.
class EmptyRowsStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ItemView_PaintAlternatingRowColorsForEmptyArea)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

GroupedGrid::GroupedGrid(QWidget* parent)
    : QWidget(parent), m_model(new GridModel(noRows(), this)), m_delegate(new GridDelegate(this)),
      m_view(new QTreeView(this)), m_navigator(new QLabel(this))
{
    setUpView();
    m_navigator->setObjectName(QStringLiteral("navigator"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_navigator);
    setFocusProxy(m_view);
    updateNavigator();
}

GroupedGrid::~GroupedGrid() = default;

void GroupedGrid::setUpView()
{
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_delegate->setGridLines(true, GridLineColor);
    m_view->setUniformRowHeights(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setAllColumnsShowFocus(true);
    m_view->setAnimated(false);
    m_view->setSortingEnabled(false);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setStretchLastSection(false);
    // Cells take the grid's own font, so an owner's setFont() reaches them;
    // the headers keep theirs.
    setFont(verdana(8.25));
    m_view->header()->setFont(verdana(6.75, true));
    m_model->setBaseFont(font());
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Base, GridBackground);
    m_view->setPalette(palette);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    connect(m_view->header(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section != m_fillColumn)
            fitFillColumn();
    });

    connect(m_view, &QTreeView::doubleClicked, this, [this] { emit doubleClicked(); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(m_view, &QTreeView::collapsed, this, [this] { keepCurrentVisible(); });
}

void GroupedGrid::showRows(const journal::GridRows* rows)
{
    m_model->reset(rows ? rows : noRows(), [] {});
    applyLayout();
}

void GroupedGrid::changeRows(const std::function<void()>& change)
{
    try {
        m_model->reset(change);
    } catch (...) {
        applyLayout();
        throw;
    }
    applyLayout();
}

const journal::GridRows& GroupedGrid::rows() const
{
    return m_model->rows();
}

const GridColumn& GroupedGrid::column(int col) const
{
    const_cast<GridModel*>(m_model)->syncColumns();
    return m_model->column(col);
}

void GroupedGrid::setColumn(int col, const GridColumn& column)
{
    updateColumn(col, [&](GridColumn& c) { c = column; });
}

void GroupedGrid::setColumnCaption(int col, const QString& caption)
{
    updateColumn(col, [&](GridColumn& c) { c.caption = caption; });
}

void GroupedGrid::setColumnVisible(int col, bool visible)
{
    updateColumn(col, [&](GridColumn& c) { c.visible = visible; });
}

void GroupedGrid::setColumnWidth(int col, int pixels)
{
    updateColumn(col, [&](GridColumn& c) { c.width = pixels; });
}

void GroupedGrid::setColumnFormat(int col, const QString& pattern)
{
    updateColumn(col, [&](GridColumn& c) { c.format = pattern; });
}

void GroupedGrid::setColumnTotalFormat(int col, const QString& pattern)
{
    updateColumn(col, [&](GridColumn& c) { c.totalFormat = pattern; });
}

void GroupedGrid::setColumnAlignment(int col, Qt::Alignment alignment)
{
    updateColumn(col, [&](GridColumn& c) { c.alignment = alignment; });
}

void GroupedGrid::setColumnStyle(int col, const QString& style)
{
    updateColumn(col, [&](GridColumn& c) { c.style = style; });
}

void GroupedGrid::updateColumn(int col, const std::function<void(GridColumn&)>& change)
{
    change(m_model->column(col));
    applyColumn(col);
}

int GroupedGrid::columnIndex(const QString& key) const
{
    const_cast<GridModel*>(m_model)->syncColumns();
    const auto& columns = m_model->columns();
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].key == key)
            return int(c) + 1;
    }
    return 0;
}

// Columns the view does not show yet take effect at the next rebuild.
void GroupedGrid::applyColumn(int col)
{
    if (col > m_model->dataColumnCount())
        return;
    const GridColumn& design = m_model->column(col);
    m_view->setColumnHidden(col, !design.visible);
    if (col == m_fillColumn)
        fitFillColumn();
    else
        m_view->setColumnWidth(col, design.width);
    m_model->columnChanged(col);
    m_view->viewport()->update();
}

void GroupedGrid::setFillColumn(int col)
{
    m_fillColumn = col;
    fitFillColumn();
}

void GroupedGrid::fitFillColumn()
{
    if (m_fillColumn < 1 || m_fillColumn > m_model->dataColumnCount())
        return;
    int others = 0;
    for (int col = 0; col <= m_model->dataColumnCount(); ++col) {
        if (col != m_fillColumn && !m_view->isColumnHidden(col))
            others += m_view->columnWidth(col);
    }
    m_view->setColumnWidth(m_fillColumn, std::max(MinimumFillWidth, m_view->viewport()->width() - others));
}

// After a reset: the hierarchy column, the columns, group captions across the
// row, every group open.
void GroupedGrid::applyLayout()
{
    const journal::GridRows& shown = rows();
    const int levels = shown.levelCount();
    m_view->setRootIsDecorated(levels > 0);
    m_view->setColumnHidden(0, levels == 0);
    m_view->setColumnWidth(0, m_view->indentation() * (levels + 1) + 4);
    for (int col = 1; col <= m_model->dataColumnCount(); ++col)
        applyColumn(col);
    fitFillColumn();
    // Spans are set while the tree is still collapsed, when the view finds
    // each row quickly.
    for (int p = 1; p <= shown.displayRowCount(); ++p) {
        if (shown.rowType(p) == RowType::GroupHeader)
            m_view->setFirstColumnSpanned(shown.rowInParent(p), m_model->indexOf(p).parent(), true);
    }
    if (levels > 0)
        m_view->expandAll();
    onCurrentChanged(m_view->currentIndex());
}

void GroupedGrid::setRowFormatHook(RowFormatHook hook)
{
    m_model->setRowFormatHook(std::move(hook));
    refreshRows();
}

void GroupedGrid::refreshRows()
{
    m_model->refreshRows();
    m_view->viewport()->update();
}

void GroupedGrid::expandAll()
{
    m_view->expandAll();
}

void GroupedGrid::collapseAll()
{
    m_view->collapseAll();
    keepCurrentVisible();
}

void GroupedGrid::addStyle(const QString& name, const QColor& background, const QColor& foreground,
                           std::optional<QFont::Weight> weight)
{
    m_model->addStyle(name, CellStyle{background, foreground, weight});
    refreshRows();
}

void GroupedGrid::addMarkStyle(const QString& name, const QIcon& icon, const QString& toolTip)
{
    CellStyle style;
    style.icon = icon;
    style.toolTip = toolTip;
    m_model->addStyle(name, style);
    refreshRows();
}

void GroupedGrid::setGroupRowStyle(const QString& name)
{
    m_model->setGroupRowStyle(name);
    refreshRows();
}

void GroupedGrid::setAlternatingRowStyles(const QString& odd, const QString& even)
{
    m_model->setAlternatingRowStyles(odd, even);
    refreshRows();
}

void GroupedGrid::setHeaderVisible(bool visible)
{
    m_view->setHeaderHidden(!visible);
}

void GroupedGrid::setGridLinesVisible(bool visible)
{
    m_delegate->setGridLines(visible, GridLineColor);
    m_view->viewport()->update();
}

void GroupedGrid::setNavigatorVisible(bool visible)
{
    m_navigator->setVisible(visible);
}

void GroupedGrid::setBorderVisible(bool visible)
{
    m_view->setFrameShape(visible ? QFrame::StyledPanel : QFrame::NoFrame);
}

void GroupedGrid::setEmptyRowsVisible(bool visible)
{
    m_view->setAlternatingRowColors(visible);
    if (!visible)
        return;
    // Qt alternates from the first row as the model's odd and even styles do.
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Base, m_model->styleBackground(m_model->oddRowStyle()));
    palette.setColor(QPalette::AlternateBase, m_model->styleBackground(m_model->evenRowStyle()));
    m_view->setPalette(palette);
    auto* style = new EmptyRowsStyle;
    style->setParent(this);
    m_view->setStyle(style);
}

int GroupedGrid::currentRow() const
{
    return m_model->positionOf(m_view->currentIndex());
}

void GroupedGrid::setCurrentRow(int p)
{
    int column = 0;
    while (column < m_model->dataColumnCount() && m_view->isColumnHidden(column))
        ++column;
    const QModelIndex index = m_model->indexOf(p, column);
    m_view->setCurrentIndex(index);
    if (index.isValid())
        m_view->scrollTo(index);
    else
        m_view->selectionModel()->clear();
}

QVariant GroupedGrid::currentValue(int col) const
{
    const int p = currentRow();
    return p > 0 ? rows().value(p, col) : QVariant();
}

// A row hidden inside a collapsed group cannot stay current (Delete would act
// on a row the user does not see): the visible group header takes its place.
void GroupedGrid::keepCurrentVisible()
{
    const QModelIndex current = m_model->indexOf(currentRow());
    QModelIndex visible = current;
    for (QModelIndex ancestor = current.parent(); ancestor.isValid(); ancestor = ancestor.parent()) {
        if (!m_view->isExpanded(ancestor))
            visible = ancestor;
    }
    if (visible != current)
        setCurrentRow(m_model->positionOf(visible));
}

void GroupedGrid::onCurrentChanged(const QModelIndex& current)
{
    updateNavigator();
    const int p = m_model->positionOf(current);
    if (p != m_reportedCurrent) {
        m_reportedCurrent = p;
        emit currentRowChanged(p);
    }
}

void GroupedGrid::updateNavigator()
{
    m_navigator->setText(QStringLiteral("riga:%1/%2").arg(currentRow()).arg(displayRowCount()));
}

void GroupedGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_model->setBaseFont(font());
        refreshRows();
    }
    QWidget::changeEvent(event);
}

bool GroupedGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        fitFillColumn();
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        emit keyDown(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace movilibro::grid
