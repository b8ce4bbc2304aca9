#include "ui/import/columnspage.h"

#include "ui/import/columnrolebar.h"
#include "ui/import/datechoicebox.h"
#include "ui/import/importsession.h"
#include "ui/import/previewmodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace movilibro {

using importpage::movementTable;
using importpage::tell;
using importpage::wrappedLabel;
using statement::ColumnRole;
using statement::DateChoice;

namespace {

QString separatorName(QChar separator)
{
    if (separator == u'\t')
        return QStringLiteral("tabulazione");
    return QStringLiteral("«") + separator + QStringLiteral("»");
}

// What the user still has to point out, or to undo, before the movements can
// be read; empty when the columns are fine.
QString mappingProblem(const QList<ColumnRole>& roles)
{
    for (ColumnRole role : roles) {
        if (role != ColumnRole::Ignored && roles.count(role) > 1)
            return QStringLiteral("Più colonne sono indicate come «%1»: lasciarne una sola.")
                .arg(ColumnRoleBar::roleName(role));
    }
    QStringList missing;
    if (!roles.contains(ColumnRole::Date) && !roles.contains(ColumnRole::ValueDate))
        missing << QStringLiteral("la data");
    if (!roles.contains(ColumnRole::Description))
        missing << QStringLiteral("la descrizione");
    if (!roles.contains(ColumnRole::SignedAmount) && !roles.contains(ColumnRole::Credit) &&
        !roles.contains(ColumnRole::Debit))
        missing << QStringLiteral("l'importo (con segno, oppure Entrate e Uscite)");
    if (missing.isEmpty())
        return {};
    return QStringLiteral("Indicare la colonna con ") + missing.join(QStringLiteral(", ")) + u'.';
}

} // namespace

ColumnsPage::ColumnsPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Colonne del file"));
    setSubTitle(QStringLiteral("Controllare che cosa contiene ogni colonna e correggere dove serve."));
    lblFormato = wrappedLabel(QString(), this);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    tblPreview = movementTable(QStringLiteral("tblPreview"), this);
    m_preview = new PreviewModel(this);
    tblPreview->setModel(m_preview);
    tblPreview->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    tblPreview->horizontalHeader()->setDefaultSectionSize(150);
    tblPreview->horizontalHeader()->setStretchLastSection(true);
    tblPreview->verticalHeader()->hide();
    tblPreview->setSelectionMode(QAbstractItemView::NoSelection);
    m_roles = new ColumnRoleBar(tblPreview, this);
    m_roles->setObjectName(QStringLiteral("barRuoli"));
    m_date = new DateChoiceBox(QStringLiteral("optData"), this);
    // "1.000" is a thousand or one: the file alone cannot always tell.
    cmbDecimali = new QComboBox(this);
    cmbDecimali->setObjectName(QStringLiteral("cmbDecimali"));
    cmbDecimali->addItem(QStringLiteral("virgola (1.234,56)"), QChar(u','));
    cmbDecimali->addItem(QStringLiteral("punto (1,234.56)"), QChar(u'.'));
    auto* decimals = new QLabel(QStringLiteral("&Decimali degli importi:"), this);
    decimals->setBuddy(cmbDecimali);
    lblMancante = wrappedLabel(QString(), this);
    lblMancante->setObjectName(QStringLiteral("lblMancante"));

    auto* page = new QVBoxLayout(this);
    page->addWidget(lblFormato);
    page->addWidget(m_roles);
    page->setSpacing(2);
    page->addWidget(tblPreview, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(decimals);
    options->addWidget(cmbDecimali);
    options->addSpacing(24);
    options->addWidget(m_date);
    options->addStretch(1);
    page->addLayout(options);
    page->addWidget(lblMancante);

    connect(m_roles, &ColumnRoleBar::rolesChanged, this, &ColumnsPage::onRolesChanged);
}

void ColumnsPage::initializePage()
{
    const statement::Statement& read = m_session.statement();
    m_preview->setRows(read.layout.headers, read.previewRows);
    m_roles->setRoles(read.layout.roles);
    m_date->setChoice(read.layout.dateChoice);
    cmbDecimali->setCurrentIndex(read.layout.decimalSeparator == u'.' ? 1 : 0);
    lblFormato->setText(
        QStringLiteral("Separatore %1, codifica %2, titoli delle colonne alla riga %3 del file.")
            .arg(separatorName(read.layout.separator), QString::fromLatin1(read.layout.encoding))
            .arg(read.layout.headerRow + 1));
    // Tab goes through the combos in the order of the columns.
    QWidget* previous = nullptr;
    for (int i = 0; QWidget* combo = m_roles->combo(i); ++i) {
        if (previous)
            setTabOrder(previous, combo);
        previous = combo;
    }
    if (previous)
        setTabOrder(previous, tblPreview);
    setTabOrder(tblPreview, cmbDecimali);
    setTabOrder(cmbDecimali, findChild<QWidget*>(QStringLiteral("optDataContabile")));
    onRolesChanged();
    setFirstControl(m_roles->combo(0) ? static_cast<QWidget*>(m_roles->combo(0)) : tblPreview);
}

statement::CsvLayout ColumnsPage::chosenLayout() const
{
    statement::CsvLayout layout = m_session.statement().layout;
    layout.roles = m_roles->roles();
    layout.dateChoice = m_date->isVisibleTo(this) ? m_date->choice() : DateChoice::Booking;
    layout.decimalSeparator = cmbDecimali->currentData().toChar();
    return layout;
}

void ColumnsPage::onRolesChanged()
{
    const QList<ColumnRole>& roles = m_roles->roles();
    m_date->setVisible(roles.contains(ColumnRole::Date) && roles.contains(ColumnRole::ValueDate));
    lblMancante->setText(mappingProblem(roles));
    emit completeChanged();
}

bool ColumnsPage::isComplete() const
{
    return chosenLayout().isComplete() && lblMancante->text().isEmpty();
}

bool ColumnsPage::validatePage()
{
    try {
        m_session.applyLayout(chosenLayout());
    } catch (const statement::StatementError& e) {
        tell(this, QStringLiteral("Impossibile leggere i movimenti con queste colonne.\r\n") + e.message());
        return false;
    }
    m_session.rememberLayout();
    return true;
}

} // namespace movilibro
