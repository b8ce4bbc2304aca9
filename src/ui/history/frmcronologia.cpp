#include "ui/history/frmcronologia.h"

#include "app/mainmod.h"
#include "db/connection.h"
#include "report/exportfolder.h"
#include "report/exporttarget.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/history/logmodel.h"
#include "ui/prompt/prompt.h"
#include "ui/report/exportfilechoice.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace movilibro {

namespace {

const QString CsvFilter = QStringLiteral("Foglio di calcolo CSV (*.csv)");

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

} // namespace

frmCronologia::frmCronologia(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCronologia"));
    txtFiltro = new QLineEdit(this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setPlaceholderText(QStringLiteral("Parole da cercare"));
    txtFiltro->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(QStringLiteral("&Cerca:"), this);
    filterLabel->setBuddy(txtFiltro);
    cmbTipo = new QComboBox(this);
    cmbTipo->setObjectName(QStringLiteral("cmbTipo"));
    cmbTipo->addItem(QStringLiteral("Tutte le operazioni"), -1);
    for (history::Kind kind : {history::Kind::New, history::Kind::Change, history::Kind::Delete,
                               history::Kind::Restore, history::Kind::Undo, history::Kind::Redo,
                               history::Kind::Import, history::Kind::Purge, history::Kind::EmptyBin})
        cmbTipo->addItem(history::operationText({0, {}, kind, 0, {}, {}, {}, {}}), int(kind));
    auto* kindLabel = new QLabel(QStringLiteral("&Operazione:"), this);
    kindLabel->setBuddy(cmbTipo);
    m_model = new LogModel(this);
    lstCronologia = new QTreeView(this);
    lstCronologia->setObjectName(QStringLiteral("lstCronologia"));
    lstCronologia->setModel(m_model);
    lstCronologia->setRootIsDecorated(false);
    lstCronologia->setUniformRowHeights(true);
    lstCronologia->setAlternatingRowColors(true);
    lstCronologia->header()->setStretchLastSection(true);
    cmdEsporta = new QPushButton(QStringLiteral("&Esporta CSV…"), this);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* button : {cmdEsporta, cmdChiudi})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(filterLabel, 0, 0);
    grid->addWidget(txtFiltro, 0, 1);
    grid->addWidget(kindLabel, 0, 2);
    grid->addWidget(cmbTipo, 0, 3);
    grid->addWidget(lstCronologia, 1, 0, 1, 4);
    grid->addWidget(cmdEsporta, 2, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(cmdChiudi, 2, 3, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    resize(900, 460);

    connect(txtFiltro, &QLineEdit::textChanged, this, &frmCronologia::applyFilter);
    connect(cmbTipo, &QComboBox::currentIndexChanged, this, &frmCronologia::applyFilter);
    connect(cmdEsporta, &QPushButton::clicked, this, &frmCronologia::onExport);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

frmCronologia& frmCronologia::instance(QWidget* parent)
{
    auto* window = parent->findChild<frmCronologia*>(QString(), Qt::FindDirectChildrenOnly);
    return window ? *window : *new frmCronologia(parent);
}

void frmCronologia::showEntry(QWidget* parent, qint64 id)
{
    instance(parent).Mostra(QStringLiteral("Storia della registrazione %1").arg(id),
                            QStringLiteral("Storia registrazione %1.csv").arg(id),
                            [id](db::Connection& conn) {
                                return history::linesOf(conn, {history::Item::Entry, id});
                            });
}

void frmCronologia::showPeriod(QWidget* parent, const DateRange& period)
{
    const QString from = period.start.toString(QStringLiteral("dd/MM/yyyy"));
    const QString to = period.end.toString(QStringLiteral("dd/MM/yyyy"));
    instance(parent).Mostra(
        QStringLiteral("Registro delle modifiche dal %1 al %2").arg(from, to),
        QStringLiteral("Registro modifiche %1 %2.csv").arg(from, to).replace(u'/', u'-'),
        [period](db::Connection& conn) { return history::linesBetween(conn, period.start, period.end); });
}

void frmCronologia::Mostra(const QString& title, const QString& exportName, const Reader& read)
{
    try {
        db::Connection conn =
            db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
        m_lines = history::hasHistory(conn) ? read(conn) : std::vector<history::LogLine>();
    } catch (const db::DbError& e) {
        tell(parentWidget(), databaseFailureText(QStringLiteral("Impossibile leggere la cronologia."), e));
        return;
    }
    setWindowTitle(title);
    m_exportName = exportName;
    txtFiltro->clear();
    cmbTipo->setCurrentIndex(0);
    applyFilter();
    for (int c = 0; c < m_model->columnCount() - 1; ++c)
        lstCronologia->resizeColumnToContents(c);
    txtFiltro->setFocus(Qt::OtherFocusReason);
    exec();
}

void frmCronologia::applyFilter()
{
    history::LogFilter filter{txtFiltro->text(), std::nullopt};
    if (const int kind = cmbTipo->currentData().toInt(); kind >= 0)
        filter.kind = history::Kind(kind);
    std::vector<history::LogLine> shown;
    for (const history::LogLine& line : m_lines) {
        if (filter.matches(line))
            shown.push_back(line);
    }
    m_model->setLines(std::move(shown));
    cmdEsporta->setEnabled(m_model->rowCount() > 0);
}

// The lines shown, as the journal's CSV is written.
void frmCronologia::onExport()
{
    const auto chosen = report::askExportFile(
        this, {CsvFilter}, report::exportStartFolder() + u'/' + m_exportName,
        [](const QString& name, const QString&) {
            return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".csv") : name;
        });
    if (!chosen)
        return;
    report::ExportTarget file(chosen->path);
    if (!file.open() || !history::writeLogCsv(m_model->lines(), file.device()) || !file.commit()) {
        tell(this, QStringLiteral("Impossibile salvare il file CSV \"%1\".\n\n%2")
                       .arg(QDir::toNativeSeparators(chosen->path), file.errorString()));
        return;
    }
    report::rememberExportFolder(chosen->path);
}

} // namespace movilibro
