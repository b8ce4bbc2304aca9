#include "ui/grid/groupedgrid.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "ui/grid/griddelegate.h"
#include "ui/grid/gridmodel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace movilibro::grid {

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
    : QWidget(parent), m_model(new GridModel(m_data, m_rows, this)), m_delegate(new GridDelegate(this)),
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

void GroupedGrid::setRowCount(int count)
{
    m_model->reset([&] {
        m_rows.clear();
        m_data.setRowCount(count);
    });
    applyLayout();
}

const GridColumn& GroupedGrid::column(int col) const
{
    const_cast<GridModel*>(m_model)->syncColumns();
    return m_model->column(col);
}

void GroupedGrid::setColumn(int col, const GridColumn& column)
{
    m_model->column(col) = column;
    applyColumn(col);
}

void GroupedGrid::setColumnKey(int col, const QString& key)
{
    m_model->column(col).key = key;
}

void GroupedGrid::setColumnCaption(int col, const QString& caption)
{
    m_model->column(col).caption = caption;
    applyColumn(col);
}

void GroupedGrid::setColumnVisible(int col, bool visible)
{
    m_model->column(col).visible = visible;
    applyColumn(col);
}

void GroupedGrid::setColumnWidth(int col, int pixels)
{
    m_model->column(col).width = pixels;
    applyColumn(col);
}

void GroupedGrid::setColumnFormat(int col, const QString& pattern)
{
    m_model->column(col).format = pattern;
    applyColumn(col);
}

void GroupedGrid::setColumnTotalFormat(int col, const QString& pattern)
{
    m_model->column(col).totalFormat = pattern;
    applyColumn(col);
}

void GroupedGrid::setColumnAlignment(int col, Qt::Alignment alignment)
{
    m_model->column(col).alignment = alignment;
    applyColumn(col);
}

void GroupedGrid::setColumnStyle(int col, const QString& style)
{
    m_model->column(col).style = style;
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

void GroupedGrid::clearGroups()
{
    m_rows.clearGroups();
}

void GroupedGrid::addGroup(int col, bool ascending)
{
    m_rows.addGroup(col, ascending);
}

void GroupedGrid::clearSortKeys()
{
    m_rows.clearSortKeys();
}

void GroupedGrid::addSortKey(int col, bool descending)
{
    m_rows.addSortKey(col, descending);
}

void GroupedGrid::rebuild()
{
    try {
        m_model->reset([&] { m_rows.rebuild(); });
    } catch (...) {
        applyLayout();
        throw;
    }
    applyLayout();
}

void GroupedGrid::filterEntries(std::vector<quint8> keep)
{
    m_model->reset([&] { m_rows.filterEntries(std::move(keep)); });
    applyLayout();
}

// After a reset: the hierarchy column, the columns, group captions across the
// row, every group open.
void GroupedGrid::applyLayout()
{
    const int levels = m_rows.levelCount();
    m_view->setRootIsDecorated(levels > 0);
    m_view->setColumnHidden(0, levels == 0);
    m_view->setColumnWidth(0, m_view->indentation() * (levels + 1) + 4);
    for (int col = 1; col <= m_model->dataColumnCount(); ++col)
        applyColumn(col);
    fitFillColumn();
    // Spans are set while the tree is still collapsed, when the view finds
    // each row quickly.
    for (int p = 1; p <= m_rows.displayRowCount(); ++p) {
        if (m_rows.rowType(p) == RowType::GroupHeader)
            m_view->setFirstColumnSpanned(m_rows.rowInParent(p), m_model->indexOf(p).parent(), true);
    }
    if (levels > 0)
        m_view->expandAll();
    onCurrentChanged(m_view->currentIndex());
}

void GroupedGrid::setCaption(int p, const QString& caption)
{
    m_rows.setCaption(p, caption);
    refreshRows();
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
    return p > 0 ? m_rows.value(p, col) : QVariant();
}

bool GroupedGrid::refresh(bool requery)
{
    if (!requery) {
        refreshRows();
        return true;
    }
    const QVariant previous = currentRow() > 0 && columnCount() > 0 ? currentValue(1) : QVariant();
    m_lastError.clear();
    try {
        loadRecordSource();
    } catch (const std::exception& e) {
        const auto* dbError = dynamic_cast<const db::DbError*>(&e);
        m_lastError = dbError ? db::userMessage(*dbError) : QString::fromStdString(e.what());
        m_model->reset([&] {
            m_rows.clear();
            m_data.setRowCount(0);
        });
        applyLayout();
        return false;
    }
    restoreCurrent(previous);
    return true;
}

// Integer columns (by declared type) become Id columns, the others Text.
// Presentation set earlier for a column key is kept.
void GroupedGrid::loadRecordSource()
{
    auto connection = db::Connection::openConnString(m_connString, db::Connection::Mode::ReadOnly);
    auto statement = connection.prepareJet(m_recordSource);
    const int columns = statement.columnCount();
    GridData fresh;
    fresh.setColumnCount(columns);
    std::vector<GridColumn> designs(columns);
    for (int c = 1; c <= columns; ++c) {
        const QString key = statement.columnName(c - 1);
        const bool integer =
            statement.columnDeclType(c - 1).contains(QLatin1String("INT"), Qt::CaseInsensitive);
        fresh.setColumnType(c, integer ? ColumnType::Id : ColumnType::Text);
        const int known = columnIndex(key);
        if (known > 0) {
            designs[c - 1] = column(known);
        } else {
            designs[c - 1].key = key;
            designs[c - 1].caption = key;
        }
    }
    while (statement.step()) {
        const int k = fresh.appendRow();
        for (int c = 1; c <= columns; ++c) {
            if (fresh.columnType(c) == ColumnType::Id)
                fresh.setId(c, k, statement.isNull(c - 1) ? 0 : statement.int64(c - 1));
            else
                fresh.setText(c, k, statement.text(c - 1));
        }
    }
    m_model->reset([&] {
        m_data = std::move(fresh);
        m_model->setColumns(std::move(designs));
        m_rows.clearGroups();
        m_rows.clearSortKeys();
        m_rows.rebuild();
    });
    applyLayout();
}

void GroupedGrid::restoreCurrent(const QVariant& key)
{
    const int count = displayRowCount();
    if (key.isValid()) {
        for (int p = 1; p <= count; ++p) {
            if (m_rows.value(p, 1) == key) {
                setCurrentRow(p);
                return;
            }
        }
    }
    setCurrentRow(count > 0 ? 1 : 0);
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
