#include "ui/history/logmodel.h"

namespace movilibro {

namespace {
const char* const Captions[] = {"Quando", "Operazione", "Voce", "Prima", "Dopo", "Nota"};
}

void LogModel::setLines(std::vector<history::LogLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int LogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int LogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(std::size(Captions));
}

QVariant LogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const history::LogLine& line = m_lines[size_t(index.row())];
    switch (index.column()) {
    case 0:
        return line.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case 1:
        return history::operationText(line);
    case 2:
        return history::itemText(line);
    case 3:
        return history::stateText(line, line.before);
    case 4:
        return history::stateText(line, line.after);
    default:
        return line.note;
    }
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    return QString::fromLatin1(Captions[section]);
}

} // namespace movilibro
