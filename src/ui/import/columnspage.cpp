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

#include <algorithm>

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
// be read; empty when the columns are fine. Several text columns make one
// description.
QString mappingProblem(const statement::ColumnLayout& layout)
{
    const QList<ColumnRole>& roles = layout.roles;
    for (ColumnRole role : roles) {
        if (role != ColumnRole::Ignored && role != ColumnRole::Description && roles.count(role) > 1)
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
    if (!missing.isEmpty())
        return QStringLiteral("Indicare la colonna con ") + missing.join(QStringLiteral(", ")) + u'.';
    if (layout.signFromAmountAlone() && layout.amountSign == statement::AmountSign::Undecided)
        return QStringLiteral("Gli importi del file non hanno segno: indicare se un importo positivo è "
                              "un'entrata o un'uscita.");
    return {};
}

QComboBox* choiceBox(const QString& name, const QList<std::pair<QString, int>>& items, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    for (const auto& [text, value] : items)
        combo->addItem(text, value);
    return combo;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

ColumnsPage::ColumnsPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Colonne del file"));
    setSubTitle(QStringLiteral("Controllare che cosa contiene ogni colonna e correggere dove serve."));
    lblFormato = wrappedLabel(QString(), this);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    cmbFoglio = new QComboBox(this);
    cmbFoglio->setObjectName(QStringLiteral("cmbFoglio"));
    lblFoglio = buddyLabel(QStringLiteral("Il file ha più fogli con dati: &foglio"), cmbFoglio, this);
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
    // "1.000" is a thousand or one, "01/03" March or January: the file alone cannot always tell.
    cmbDecimali = choiceBox(
        QStringLiteral("cmbDecimali"),
        {{QStringLiteral("virgola (1.234,56)"), u','}, {QStringLiteral("punto (1,234.56)"), u'.'}}, this);
    cmbOrdineDate = choiceBox(QStringLiteral("cmbOrdineDate"),
                              {{QStringLiteral("giorno/mese/anno"), int(statement::DateOrder::DayMonth)},
                               {QStringLiteral("mese/giorno/anno"), int(statement::DateOrder::MonthDay)}},
                              this);
    // Nothing is chosen for the user when the file does not say.
    cmbSegno = choiceBox(QStringLiteral("cmbSegno"),
                         {{QStringLiteral("un'entrata"), int(statement::AmountSign::PositiveIn)},
                          {QStringLiteral("un'uscita"), int(statement::AmountSign::PositiveOut)}},
                         this);
    cmbSegno->setPlaceholderText(QStringLiteral("da scegliere"));
    lblSegno = buddyLabel(QStringLiteral("Un importo &positivo è:"), cmbSegno, this);
    lblMancante = wrappedLabel(QString(), this);
    lblMancante->setObjectName(QStringLiteral("lblMancante"));

    auto* page = new QVBoxLayout(this);
    auto* sheet = new QHBoxLayout;
    sheet->addWidget(lblFoglio);
    sheet->addWidget(cmbFoglio, 1);
    page->addLayout(sheet);
    page->addWidget(lblFormato);
    page->addWidget(m_roles);
    page->setSpacing(2);
    page->addWidget(tblPreview, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(buddyLabel(QStringLiteral("&Decimali degli importi:"), cmbDecimali, this));
    options->addWidget(cmbDecimali);
    options->addSpacing(16);
    options->addWidget(buddyLabel(QStringLiteral("&Ordine delle date:"), cmbOrdineDate, this));
    options->addWidget(cmbOrdineDate);
    options->addSpacing(16);
    options->addWidget(lblSegno);
    options->addWidget(cmbSegno);
    options->addStretch(1);
    page->addLayout(options);
    page->addWidget(m_date);
    page->addWidget(lblMancante);

    connect(m_roles, &ColumnRoleBar::rolesChanged, this, &ColumnsPage::onRolesChanged);
    connect(cmbSegno, &QComboBox::currentIndexChanged, this, &ColumnsPage::onRolesChanged);
    connect(cmbFoglio, &QComboBox::activated, this, &ColumnsPage::onSheetChosen);
}

void ColumnsPage::initializePage()
{
    const statement::Statement& read = m_session.statement();
    m_preview->setRows(read.layout.headers, read.previewRows);
    m_roles->setRoles(read.layout.roles);
    m_date->setChoice(read.layout.dateChoice);
    cmbDecimali->setCurrentIndex(read.layout.decimalSeparator == u'.' ? 1 : 0);
    cmbOrdineDate->setCurrentIndex(cmbOrdineDate->findData(int(read.layout.dateOrder)));
    cmbSegno->setCurrentIndex(cmbSegno->findData(int(read.layout.amountSign)));
    cmbFoglio->clear();
    cmbFoglio->addItems(read.sheets);
    cmbFoglio->setCurrentIndex(int(read.sheets.indexOf(read.sheet)));
    lblFoglio->setVisible(read.sheets.size() > 1);
    cmbFoglio->setVisible(read.sheets.size() > 1);
    lblFormato->setText(
        read.kind == statement::Statement::Kind::Csv
            ? QStringLiteral("Separatore %1, codifica %2, titoli delle colonne alla riga %3 del file.")
                  .arg(separatorName(read.layout.separator), QString::fromLatin1(read.layout.encoding))
                  .arg(read.layout.headerRow + 1)
            : QStringLiteral("Foglio «%1», titoli delle colonne alla riga %2.")
                  .arg(read.sheet)
                  .arg(read.layout.headerRow + 1));
    // Tab goes from the sheet through the combos in the order of the columns.
    setTabOrder(cmbFoglio, m_roles->combo(0) ? static_cast<QWidget*>(m_roles->combo(0)) : tblPreview);
    QWidget* previous = nullptr;
    for (int i = 0; QWidget* combo = m_roles->combo(i); ++i) {
        if (previous)
            setTabOrder(previous, combo);
        previous = combo;
    }
    if (previous)
        setTabOrder(previous, tblPreview);
    setTabOrder(tblPreview, cmbDecimali);
    setTabOrder(cmbDecimali, cmbOrdineDate);
    setTabOrder(cmbOrdineDate, cmbSegno);
    setTabOrder(cmbSegno, findChild<QWidget*>(QStringLiteral("optDataContabile")));
    onRolesChanged();
    // What the file leaves open is said first, until the user changes something.
    if (!read.undecided.isEmpty())
        lblMancante->setText(read.undecided.left(1).toUpper() + read.undecided.mid(1) + u'.');
    setFirstControl(cmbFoglio->isVisibleTo(this) ? static_cast<QWidget*>(cmbFoglio)
                    : m_roles->combo(0)          ? static_cast<QWidget*>(m_roles->combo(0))
                                                 : static_cast<QWidget*>(tblPreview));
}

// Another sheet is another table: its own columns, guessed or remembered.
void ColumnsPage::onSheetChosen()
{
    const QString sheet = cmbFoglio->currentText();
    if (sheet == m_session.statement().sheet)
        return;
    try {
        m_session.chooseSheet(sheet);
    } catch (const statement::StatementError& e) {
        tell(this, QStringLiteral("Impossibile leggere il foglio «%1».\r\n").arg(sheet) + e.message());
    }
    initializePage();
    cmbFoglio->setFocus(Qt::OtherFocusReason);
}

statement::ColumnLayout ColumnsPage::chosenLayout() const
{
    statement::ColumnLayout layout = m_session.statement().layout;
    layout.roles = m_roles->roles();
    layout.dateChoice = m_date->isVisibleTo(this) ? m_date->choice() : DateChoice::Booking;
    layout.decimalSeparator = cmbDecimali->currentData().toChar();
    layout.dateOrder = statement::DateOrder(cmbOrdineDate->currentData().toInt());
    layout.amountSign = cmbSegno->currentIndex() < 0 ? statement::AmountSign::Undecided
                                                     : statement::AmountSign(cmbSegno->currentData().toInt());
    return layout;
}

void ColumnsPage::onRolesChanged()
{
    const statement::ColumnLayout layout = chosenLayout();
    const QList<ColumnRole>& roles = layout.roles;
    m_date->setVisible(roles.contains(ColumnRole::Date) && roles.contains(ColumnRole::ValueDate));
    lblSegno->setVisible(layout.signFromAmountAlone());
    cmbSegno->setVisible(layout.signFromAmountAlone());
    lblMancante->setText(mappingProblem(layout));
    widenDescriptions();
    emit completeChanged();
}

// The texts are what the user reads to check the columns: they are shown
// whole (up to a wide limit), the other columns as narrow as they can be.
void ColumnsPage::widenDescriptions()
{
    QHeaderView* header = tblPreview->horizontalHeader();
    const auto* view = static_cast<const QAbstractItemView*>(tblPreview);
    const QList<ColumnRole>& roles = m_roles->roles();
    header->setStretchLastSection(!roles.contains(ColumnRole::Description));
    for (int c = 0; c < roles.size(); ++c) {
        const int content = view->sizeHintForColumn(c) + 8;
        header->resizeSection(c, roles[c] == ColumnRole::Description ? std::min(content, 600)
                                                                     : std::clamp(content, 90, 160));
    }
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
