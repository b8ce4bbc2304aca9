#include "ui/import/importpages.h"

#include "app/mainmod.h"
#include "app/prompt.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/journaldb.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/import/columnrolebar.h"
#include "ui/import/importsession.h"
#include "ui/import/previewmodel.h"
#include "ui/import/reviewmodel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace movilibro {

using statement::ColumnRole;
using statement::DateChoice;

namespace {

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

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

QTableView* movementTable(const QString& name, QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

} // namespace

DateChoiceBox::DateChoiceBox(const QString& namePrefix, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Data dei movimenti:"), this));
    m_booking = new QRadioButton(QStringLiteral("data &contabile"), this);
    m_booking->setObjectName(namePrefix + QStringLiteral("Contabile"));
    m_value = new QRadioButton(QStringLiteral("data &valuta"), this);
    m_value->setObjectName(namePrefix + QStringLiteral("Valuta"));
    row->addWidget(m_booking);
    row->addWidget(m_value);
    row->addStretch();
    m_booking->setChecked(true);
}

DateChoice DateChoiceBox::choice() const
{
    return m_value->isChecked() ? DateChoice::Value : DateChoice::Booking;
}

void DateChoiceBox::setChoice(DateChoice choice)
{
    (choice == DateChoice::Value ? m_value : m_booking)->setChecked(true);
}

// ---- 1. File ---------------------------------------------------------------

FilePage::FilePage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("File dell'estratto conto"));
    setSubTitle(QStringLiteral("Scegliere il file scaricato dalla banca: CSV, TXT oppure XML (CAMT.053)."));
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    cmdSfoglia = new QPushButton(QStringLiteral("&Sfoglia…"), this);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    cmdSfoglia->setAutoDefault(false);
    auto* label = new QLabel(QStringLiteral("&File:"), this);
    label->setBuddy(txtFile);

    auto* row = new QHBoxLayout;
    row->addWidget(txtFile, 1);
    row->addWidget(cmdSfoglia);
    auto* page = new QVBoxLayout(this);
    page->addWidget(label);
    page->addLayout(row);
    page->addStretch();

    setFirstControl(txtFile);
    connect(txtFile, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    connect(cmdSfoglia, &QPushButton::clicked, this, &FilePage::browse);
}

void FilePage::browse()
{
    const QStringList filters = {QStringLiteral("Estratti conto (*.csv *.txt *.xml *.CSV *.TXT *.XML)"),
                                 QStringLiteral("Tutti i file (*)")};
    const QString path = Prompt::instance().openFile(this, filters, txtFile->text().trimmed());
    if (path.isEmpty())
        return;
    txtFile->setText(QDir::toNativeSeparators(path));
    // Enter now goes on with the file chosen.
    txtFile->setFocus(Qt::OtherFocusReason);
}

bool FilePage::isComplete() const
{
    return !txtFile->text().trimmed().isEmpty();
}

bool FilePage::validatePage()
{
    const QString path = QDir::fromNativeSeparators(txtFile->text().trimmed());
    const QFileInfo file(path);
    if (!file.isFile()) {
        tell(this, QStringLiteral("Il file indicato non esiste:\r\n") + QDir::toNativeSeparators(path));
        txtFile->setFocus(Qt::OtherFocusReason);
        return false;
    }
    try {
        m_session.open(file.absoluteFilePath());
    } catch (const statement::StatementError& e) {
        tell(this, QStringLiteral("Impossibile leggere l'estratto conto.\r\n") + e.message());
        txtFile->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

int FilePage::nextId() const
{
    return m_session.isCsv() ? importpage::Columns : importpage::Account;
}

// ---- 2. Columns ------------------------------------------------------------

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

// ---- 3. Account ------------------------------------------------------------

AccountPage::AccountPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Conto"));
    setSubTitle(QStringLiteral("Scegliere il conto del giornale in cui registrare i movimenti."));
    lstConti = new QListWidget(this);
    lstConti->setObjectName(QStringLiteral("lstConti"));
    lblNessunConto =
        wrappedLabel(QStringLiteral("Il giornale non ha ancora conti: crearne uno nella finestra "
                                    "principale e ripetere l'importazione."),
                     this);
    lblNessunConto->setObjectName(QStringLiteral("lblNessunConto"));
    m_date = new DateChoiceBox(QStringLiteral("optDataXml"), this);
    setFirstControl(lstConti);

    auto* page = new QVBoxLayout(this);
    page->addWidget(lstConti, 1);
    page->addWidget(lblNessunConto);
    page->addWidget(m_date);
    connect(lstConti, &QListWidget::currentRowChanged, this, &QWizardPage::completeChanged);
}

void AccountPage::initializePage()
{
    lstConti->clear();
    try {
        for (const db::AccountName& account : db::ReadAccountNames(mainmod::ConnString)) {
            auto* item = new QListWidgetItem(account.name, lstConti);
            item->setData(Qt::UserRole, account.id);
        }
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile leggere i conti."), e));
    }
    lblNessunConto->setVisible(lstConti->count() == 0);
    // The account used last time, else the first: the review names it before
    // anything is written.
    int row = lstConti->count() > 0 ? 0 : -1;
    for (int i = 0; i < lstConti->count(); ++i)
        if (lstConti->item(i)->data(Qt::UserRole).toLongLong() == m_session.accountId())
            row = i;
    lstConti->setCurrentRow(row);
    m_date->setVisible(!m_session.isCsv() && m_session.statement().hasValueDate);
    m_date->setChoice(DateChoice::Booking);
}

bool AccountPage::isComplete() const
{
    return lstConti->currentItem() && lstConti->currentItem()->isSelected();
}

bool AccountPage::validatePage()
{
    if (m_date->isVisibleTo(this)) {
        try {
            m_session.chooseDate(m_date->choice());
        } catch (const statement::StatementError& e) {
            tell(this, QStringLiteral("Impossibile leggere l'estratto conto.\r\n") + e.message());
            return false;
        }
    }
    m_session.setAccount(lstConti->currentItem()->data(Qt::UserRole).toLongLong(),
                         lstConti->currentItem()->text());
    try {
        m_session.markDuplicates();
    } catch (const db::DbError& e) {
        tell(this,
             databaseFailureText(QStringLiteral("Impossibile confrontare i movimenti con il giornale."), e));
        return false;
    }
    return true;
}

// ---- 4. Review -------------------------------------------------------------

ReviewPage::ReviewPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Movimenti da importare"));
    setSubTitle(
        QStringLiteral("Vengono importati i movimenti spuntati. Quelli già presenti nel giornale sono "
                       "proposti senza spunta."));
    tblMovimenti = movementTable(QStringLiteral("tblMovimenti"), this);
    m_review = new ReviewModel(this);
    tblMovimenti->setModel(m_review);
    tblMovimenti->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblMovimenti->setSelectionMode(QAbstractItemView::SingleSelection);
    tblMovimenti->verticalHeader()->hide();
    QHeaderView* header = tblMovimenti->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(ReviewModel::Description, QHeaderView::Stretch);
    const int digit = tblMovimenti->fontMetrics().horizontalAdvance(u'0');
    header->resizeSection(ReviewModel::Tick, 3 * digit);
    header->resizeSection(ReviewModel::Date, 12 * digit);
    header->resizeSection(ReviewModel::In, 13 * digit);
    header->resizeSection(ReviewModel::Out, 13 * digit);
    header->resizeSection(ReviewModel::Note, 22 * digit);
    tblMovimenti->installEventFilter(this);
    setFirstControl(tblMovimenti);
    lblConteggio = wrappedLabel(QString(), this);
    lblConteggio->setObjectName(QStringLiteral("lblConteggio"));

    auto* page = new QVBoxLayout(this);
    page->addWidget(tblMovimenti, 1);
    page->addWidget(lblConteggio);
    connect(m_review, &ReviewModel::ticksChanged, this, &ReviewPage::showCounts);
    connect(m_review, &ReviewModel::ticksChanged, this, &QWizardPage::completeChanged);
}

void ReviewPage::initializePage()
{
    m_result.reset();
    setSubTitle(QStringLiteral("Conto: %1. Vengono importati i movimenti spuntati; quelli già presenti nel "
                               "giornale sono proposti senza spunta.")
                    .arg(m_session.accountName()));
    m_review->setMovements(&m_session.movements());
    if (m_review->rowCount() > 0)
        tblMovimenti->setCurrentIndex(m_review->index(0, ReviewModel::Date));
}

// Going back may read the file again: the list lets go of the movements first.
void ReviewPage::cleanupPage()
{
    m_review->setMovements(nullptr);
}

void ReviewPage::showCounts()
{
    QString text =
        QStringLiteral("Movimenti nel file: %1 · da importare: %2 · già presenti: %3 · scartati: %4")
            .arg(m_review->rowCount())
            .arg(m_review->tickedCount())
            .arg(m_review->duplicateCount())
            .arg(m_review->refusedCount());
    // What an XML statement leaves out are the entries not yet booked.
    if (const int leftOut = m_session.statement().leftOut; leftOut > 0)
        text +=
            (m_session.isCsv() ? QStringLiteral(" · righe senza movimento (saldi, totali) tralasciate: %1")
                               : QStringLiteral(" · movimenti non ancora contabilizzati tralasciati: %1"))
                .arg(leftOut);
    lblConteggio->setText(text);
}

bool ReviewPage::isComplete() const
{
    return m_review->tickedCount() > 0;
}

bool ReviewPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tblMovimenti && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            m_review->toggle(tblMovimenti->currentIndex().row());
            return true;
        }
    }
    return ImportPage::eventFilter(watched, event);
}

bool ReviewPage::validatePage()
{
    try {
        m_result = m_session.importTicked(m_review->ticks());
        return true;
    } catch (const db::DbError& e) {
        tell(
            this,
            databaseFailureText(
                QStringLiteral("Impossibile importare i movimenti: il giornale non è stato modificato."), e));
    } catch (const db::BackupError& e) {
        tell(this, e.message() + QStringLiteral("\r\nNessun movimento è stato importato."));
    } catch (const statement::StatementError& e) {
        tell(this, e.message() + QStringLiteral("\r\nNessun movimento è stato importato."));
    }
    return false;
}

} // namespace movilibro
