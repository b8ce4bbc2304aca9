#include "ui/grid/gridmodel.h"

#include "format/formatengine.h"

#include <QLocale>
#include <QtDebug>

#include <exception>
#include <stdexcept>

namespace movilibro::grid {

using journal::ColumnType;
using journal::RowType;

GridModel::GridModel(const journal::GridRows* rows, QObject* parent)
    : QAbstractItemModel(parent), m_rows(rows)
{}

void GridModel::reset(const std::function<void()>& change)
{
    reset(m_rows, change);
}

void GridModel::reset(const journal::GridRows* rows, const std::function<void()>& change)
{
    beginResetModel();
    m_rows = rows;
    m_formats.clear();
    try {
        change();
    } catch (...) {
        m_columnCount = data().columnCount();
        syncColumns();
        endResetModel();
        throw;
    }
    m_columnCount = data().columnCount();
    syncColumns();
    endResetModel();
}

void GridModel::refreshRows()
{
    m_formats.clear();
    emitDataChanged(0);
}

void GridModel::columnChanged(int col)
{
    if (col >= 1 && col <= m_columnCount)
        emit headerDataChanged(Qt::Horizontal, col, col);
}

// dataChanged covers one parent at a time, so walk the group headers.
void GridModel::emitDataChanged(int parentPosition)
{
    const int children = m_rows->childCount(parentPosition);
    if (children == 0)
        return;
    const QModelIndex parent = parentPosition == 0 ? QModelIndex() : indexOf(parentPosition);
    emit dataChanged(index(0, 0, parent), index(children - 1, m_columnCount, parent));
    for (int row = 0; row < children; ++row) {
        const int child = m_rows->childAt(parentPosition, row);
        if (m_rows->rowType(child) == RowType::GroupHeader)
            emitDataChanged(child);
    }
}

GridColumn& GridModel::column(int col)
{
    syncColumns();
    if (col < 1 || col > int(m_columns.size()))
        throw std::out_of_range("grid column out of range");
    return m_columns[col - 1];
}

const GridColumn& GridModel::column(int col) const
{
    if (col < 1 || col > int(m_columns.size()))
        throw std::out_of_range("grid column out of range");
    return m_columns[col - 1];
}

// Drawing must not throw when the data array shrank since the last reset.
const GridColumn& GridModel::design(int col) const
{
    static const GridColumn plain;
    return col >= 1 && col <= int(m_columns.size()) ? m_columns[col - 1] : plain;
}

void GridModel::syncColumns()
{
    if (int(m_columns.size()) != data().columnCount())
        m_columns.resize(data().columnCount());
}

void GridModel::setAlternatingRowStyles(const QString& odd, const QString& even)
{
    m_oddRowStyle = odd;
    m_evenRowStyle = even;
}

int GridModel::positionOf(const QModelIndex& index) const
{
    return index.isValid() ? int(index.internalId()) : 0;
}

QModelIndex GridModel::indexOf(int position, int column) const
{
    if (position < 1 || position > m_rows->displayRowCount() || column < 0 || column > m_columnCount)
        return QModelIndex();
    return createIndex(m_rows->rowInParent(position), column, quintptr(position));
}

const RowFormat& GridModel::rowFormat(int position) const
{
    auto it = m_formats.constFind(position);
    if (it != m_formats.cend())
        return *it;
    RowFormat format(*m_rows, position);
    if (m_hook) {
        try {
            m_hook(format);
        } catch (const std::exception& e) {
            // A hook failure must not stop drawing: the row keeps its plain look.
            qWarning("grid row format %d: %s", position, e.what());
            format = RowFormat(*m_rows, position);
        }
    }
    return *m_formats.insert(position, format);
}

QModelIndex GridModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column > m_columnCount || (parent.isValid() && parent.column() != 0))
        return QModelIndex();
    const int child = m_rows->childAt(positionOf(parent), row);
    return child > 0 ? createIndex(row, column, quintptr(child)) : QModelIndex();
}

QModelIndex GridModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return QModelIndex();
    const int parentPosition = m_rows->parentOf(positionOf(child));
    if (parentPosition <= 0)
        return QModelIndex();
    return createIndex(m_rows->rowInParent(parentPosition), 0, quintptr(parentPosition));
}

QModelIndex GridModel::sibling(int row, int column, const QModelIndex& index) const
{
    if (index.isValid() && row == index.row() && column >= 0 && column <= m_columnCount)
        return createIndex(row, column, index.internalId());
    return QAbstractItemModel::sibling(row, column, index);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_rows->childCount(positionOf(parent));
}

int GridModel::columnCount(const QModelIndex&) const
{
    return m_columnCount + 1;
}

bool GridModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int position = positionOf(index);
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(position, col);
    case Qt::TextAlignmentRole: {
        const Qt::Alignment horizontal = col > 0 ? design(col).alignment : Qt::AlignLeft;
        return int(horizontal | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole: {
        const QColor color = cellStyle(position, col).background;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::ForegroundRole: {
        const QColor color = cellStyle(position, col).foreground;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::FontRole:
        return fontFor(cellStyle(position, col));
    case Qt::DecorationRole: {
        const QIcon icon = cellStyle(position, col).icon;
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::ToolTipRole:
        if (col > 0 && displayText(position, col) == overflowText())
            return tr("Totale fuori dall'intervallo dei valori ammessi");
        if (const QString tip = cellStyle(position, col).toolTip; !tip.isEmpty())
            return tip;
        return QVariant();
    default:
        return QVariant();
    }
}

QString GridModel::displayText(int position, int col) const
{
    switch (m_rows->rowType(position)) {
    case RowType::GroupHeader:
        return col == 0 ? rowFormat(position).caption() : QString();
    case RowType::GroupTotal:
        return col == 0 ? QString() : totalText(position, col);
    case RowType::Entry: {
        const int dataRow = m_rows->dataIndex(position);
        if (col == 0 || dataRow > data().rowCount() || col > data().columnCount())
            return QString();
        return entryText(dataRow, col);
    }
    }
    return QString();
}

QString GridModel::entryText(int dataRow, int col) const
{
    const QString& format = design(col).format;
    switch (data().columnType(col)) {
    case ColumnType::Text:
        return data().text(col, dataRow);
    case ColumnType::Date: {
        const QDate date = data().date(col, dataRow);
        if (!date.isValid())
            return QString();
        return format.isEmpty() ? date.toString(QStringLiteral("dd/MM/yyyy")) : Format::date(date, format);
    }
    case ColumnType::Currency: {
        const auto amount = data().currency(col, dataRow);
        if (!format.isEmpty())
            return Format::number(amount, format);
        return amount ? amount->toString() : QString();
    }
    case ColumnType::Id: {
        const qint64 id = data().id(col, dataRow);
        return format.isEmpty() ? QString::number(id) : Format::number(id, format);
    }
    }
    return QString();
}

QString GridModel::totalText(int position, int col) const
{
    const QString& format = design(col).totalFormat;
    if (format.isEmpty() || col > data().columnCount() || data().columnType(col) != ColumnType::Currency)
        return QString();
    try {
        return Format::number(m_rows->groupSum(position, col), format);
    } catch (const CurrencyOverflow&) {
        return overflowText();
    }
}

QString GridModel::overflowText()
{
    return QStringLiteral("######");
}

// Layers, bottom to top: group rows or alternating rows, the column's own
// style, then what the row-format hook laid on the cell.
CellStyle GridModel::cellStyle(int position, int col) const
{
    CellStyle style;
    if (m_rows->rowType(position) == RowType::Entry) {
        layStyle(style, position % 2 == 1 ? m_oddRowStyle : m_evenRowStyle);
        if (col > 0)
            layStyle(style, design(col).style);
    } else {
        layStyle(style, m_groupRowStyle);
    }
    layStyle(style, rowFormat(position).cellStyle(col));
    return style;
}

void GridModel::layStyle(CellStyle& style, const QString& name) const
{
    if (name.isEmpty())
        return;
    const auto it = m_styles.constFind(name);
    if (it == m_styles.cend())
        return;
    if (it->background.isValid())
        style.background = it->background;
    if (it->foreground.isValid())
        style.foreground = it->foreground;
    if (it->weight)
        style.weight = it->weight;
    if (!it->icon.isNull()) {
        style.icon = it->icon;
        style.toolTip = it->toolTip;
    }
}

QVariant GridModel::fontFor(const CellStyle& style) const
{
    if (!style.weight)
        return QVariant();
    QFont font = m_baseFont;
    font.setWeight(*style.weight);
    return font;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > m_columnCount)
        return QAbstractItemModel::headerData(section, orientation, role);
    if (section == 0) // the hierarchy column has no title
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    if (role == Qt::DisplayRole)
        return design(section).caption;
    if (role == Qt::TextAlignmentRole)
        return int(design(section).alignment | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_rows->rowType(positionOf(index)) != RowType::GroupHeader)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

} // namespace movilibro::grid
