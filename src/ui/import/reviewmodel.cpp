#include "ui/import/reviewmodel.h"

#include "format/formatengine.h"
#include "statement/notices.h"

#include <QBrush>
#include <QFont>
#include <QPalette>

#include <algorithm>

namespace movilibro {

namespace {
// As the journal grid shows its amounts.
const QString AmountFormat = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
} // namespace

void ReviewModel::setMovements(const std::vector<statement::Movement>* movements)
{
    beginResetModel();
    m_movements = movements;
    m_ticked.assign(movements ? movements->size() : 0, false);
    for (size_t i = 0; i < m_ticked.size(); ++i)
        m_ticked[i] = (*movements)[i].isFresh();
    endResetModel();
    emit ticksChanged();
}

void ReviewModel::toggle(int row)
{
    if (row < 0 || row >= rowCount() || movement(row).isRefused())
        return;
    m_ticked[size_t(row)] = !m_ticked[size_t(row)];
    const QModelIndex tick = index(row, Tick);
    emit dataChanged(tick, tick, {Qt::CheckStateRole});
    emit ticksChanged();
}

int ReviewModel::tickedCount() const
{
    return int(std::count(m_ticked.begin(), m_ticked.end(), true));
}

int ReviewModel::duplicateCount() const
{
    if (!m_movements)
        return 0;
    return int(std::count_if(m_movements->begin(), m_movements->end(),
                             [](const statement::Movement& m) { return m.duplicate && !m.isRefused(); }));
}

int ReviewModel::possibleRepeatCount() const
{
    if (!m_movements)
        return 0;
    return int(std::count_if(m_movements->begin(), m_movements->end(), [](const statement::Movement& m) {
        return m.possibleRepeat.has_value() && !m.isRefused();
    }));
}

int ReviewModel::refusedCount() const
{
    if (!m_movements)
        return 0;
    return int(std::count_if(m_movements->begin(), m_movements->end(),
                             [](const statement::Movement& m) { return m.isRefused(); }));
}

int ReviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ticked.size());
}

int ReviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ReviewModel::text(const statement::Movement& m, int column) const
{
    switch (column) {
    case Date:
        return m.date.isValid() ? m.date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    case Description:
        return m.description;
    case In:
        return m.amount.raw() > 0 ? Format::number(m.amount, AmountFormat) : QString();
    case Out:
        return m.amount.raw() < 0 ? Format::number(-m.amount, AmountFormat) : QString();
    case Note:
        if (m.isRefused())
            return QStringLiteral("scartata: ") + m.refusal;
        return m.duplicate ? QStringLiteral("già presente") : statement::possibleRepeatNote(m);
    default:
        return {};
    }
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const statement::Movement& m = movement(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(m, index.column());
    case Qt::ToolTipRole:
        return index.column() == Description || index.column() == Note ? text(m, index.column()) : QVariant();
    case Qt::CheckStateRole:
        if (index.column() != Tick)
            return {};
        return m_ticked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (index.column() == In || index.column() == Out)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // The journal's colours for money in and out; what will not come in is grey.
        if (m.isRefused() || m.duplicate || m.possibleRepeat)
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        if (index.column() == In)
            return QBrush(QColor(0, 0, 192));
        if (index.column() == Out)
            return QBrush(QColor(192, 0, 0));
        return {};
    default:
        return {};
    }
}

bool ReviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != Tick || role != Qt::CheckStateRole)
        return false;
    const bool wanted = value.toInt() == Qt::Checked;
    if (movement(index.row()).isRefused() || wanted == m_ticked[size_t(index.row())])
        return false;
    toggle(index.row());
    return true;
}

Qt::ItemFlags ReviewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == Tick) {
        if (movement(index.row()).isRefused())
            flags &= ~Qt::ItemIsEnabled;
        else
            flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant ReviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Date:
        return QStringLiteral("Data");
    case Description:
        return QStringLiteral("Descrizione");
    case In:
        return QStringLiteral("Entrate");
    case Out:
        return QStringLiteral("Uscite");
    case Note:
        return QStringLiteral("Note");
    default:
        return QString();
    }
}

} // namespace movilibro
