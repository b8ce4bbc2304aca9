#include "ui/import/columnrolebar.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace movilibro {

using statement::ColumnRole;

namespace {
const ColumnRole Listed[] = {ColumnRole::Date,         ColumnRole::ValueDate, ColumnRole::Description,
                             ColumnRole::SignedAmount, ColumnRole::Credit,    ColumnRole::Debit,
                             ColumnRole::Sign,         ColumnRole::Balance,   ColumnRole::Currency,
                             ColumnRole::Reference,    ColumnRole::Ignored};
} // namespace

QString ColumnRoleBar::roleName(ColumnRole role)
{
    switch (role) {
    case ColumnRole::Date:
        return QStringLiteral("Data");
    case ColumnRole::ValueDate:
        return QStringLiteral("Data valuta");
    case ColumnRole::Description:
        return QStringLiteral("Descrizione");
    case ColumnRole::SignedAmount:
        return QStringLiteral("Importo con segno");
    case ColumnRole::Credit:
        return QStringLiteral("Entrate");
    case ColumnRole::Debit:
        return QStringLiteral("Uscite");
    case ColumnRole::Reference:
        return QStringLiteral("Riferimento");
    case ColumnRole::Sign:
        return QStringLiteral("Segno");
    case ColumnRole::Balance:
        return QStringLiteral("Saldo");
    case ColumnRole::Currency:
        return QStringLiteral("Divisa");
    case ColumnRole::Ignored:
        break;
    }
    return QStringLiteral("ignorata");
}

ColumnRoleBar::ColumnRoleBar(QTableView* view, QWidget* parent) : QWidget(parent), m_view(view)
{
    QHeaderView* header = view->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &ColumnRoleBar::placeCombos);
    connect(header, &QHeaderView::geometriesChanged, this, &ColumnRoleBar::placeCombos);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ColumnRoleBar::placeCombos);
    view->installEventFilter(this);
}

void ColumnRoleBar::setRoles(const QList<ColumnRole>& roles)
{
    m_roles = roles;
    while (m_combos.size() > roles.size())
        delete m_combos.takeLast();
    while (m_combos.size() < roles.size()) {
        const int column = int(m_combos.size());
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cmbRuolo_%1").arg(column));
        for (ColumnRole role : Listed)
            combo->addItem(roleName(role), int(role));
        connect(combo, &QComboBox::activated, this, [this, column](int index) { choose(column, index); });
        combo->installEventFilter(this);
        combo->show();
        m_combos << combo;
    }
    for (int i = 0; i < roles.size(); ++i) {
        m_combos[i]->setCurrentIndex(m_combos[i]->findData(int(roles[i])));
        m_combos[i]->setToolTip(m_view->model() ? m_view->model()->headerData(i, Qt::Horizontal).toString()
                                                : QString());
    }
    // The columns are at least as wide as their combos.
    if (!m_combos.isEmpty())
        m_view->horizontalHeader()->setMinimumSectionSize(m_combos.first()->sizeHint().width());
    placeCombos();
    updateGeometry();
}

void ColumnRoleBar::choose(int column, int comboIndex)
{
    const auto role = ColumnRole(m_combos[column]->itemData(comboIndex).toInt());
    if (role == m_roles[column])
        return;
    m_roles[column] = role;
    emit rolesChanged();
}

void ColumnRoleBar::placeCombos()
{
    const QHeaderView* header = m_view->horizontalHeader();
    // The bar stands where the table does, so it follows the table's own offsets.
    const int left = m_view->x() - x() + m_view->frameWidth() +
                     (m_view->verticalHeader()->isVisible() ? m_view->verticalHeader()->width() : 0);
    for (int i = 0; i < m_combos.size(); ++i)
        m_combos[i]->setGeometry(left + header->sectionViewportPosition(i), 0, header->sectionSize(i),
                                 height());
}

QSize ColumnRoleBar::sizeHint() const
{
    const int height =
        m_combos.isEmpty() ? QComboBox().sizeHint().height() : m_combos.first()->sizeHint().height();
    return {m_view->sizeHint().width(), height};
}

bool ColumnRoleBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeCombos();
    if (event->type() == QEvent::FocusIn) {
        // A combo reached with Tab brings its column into view.
        const int column = int(m_combos.indexOf(qobject_cast<QComboBox*>(watched)));
        if (column >= 0 && m_view->model() && m_view->model()->rowCount() > 0)
            m_view->scrollTo(m_view->model()->index(0, column));
        else if (column >= 0)
            m_view->horizontalScrollBar()->setValue(m_view->horizontalHeader()->sectionPosition(column));
    }
    return QWidget::eventFilter(watched, event);
}

void ColumnRoleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeCombos();
}

} // namespace movilibro
