#include "report/reportcommands.h"

#include "app/mainmod.h"
#include "app/prompt.h"
#include "db/periods.h"
#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "report/reportpreview.h"
#include "report/searchrecords.h"
#include "settings/registryerror.h"
#include "settings/registrywrappers.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace movilibro::report {

namespace {

const QString PdfFilter = QStringLiteral("Acrobat reader (*.pdf)");
const QString CsvFilter = QStringLiteral("Foglio di calcolo CSV (*.csv)");
const QString PdfSuffix = QStringLiteral("pdf");
const QString CsvSuffix = QStringLiteral("csv");
const QString LastFolderKey = QStringLiteral("appset_exportfolder");

struct ExportFile
{
    QString path;
    bool csv = false;
};

// A name typed with a suffix is kept as typed, and ".pdf" or ".csv" decides
// what is written, so that the name always tells what the file holds; a bare
// name gets the chosen filter's suffix.
ExportFile exportFile(const QString& chosen, const QString& filter)
{
    const QString name = QFileInfo(chosen).fileName();
    const QString suffix = QFileInfo(chosen).suffix();
    if (suffix.compare(PdfSuffix, Qt::CaseInsensitive) == 0)
        return {chosen, false};
    if (suffix.compare(CsvSuffix, Qt::CaseInsensitive) == 0)
        return {chosen, true};
    const bool csv = filter == CsvFilter;
    if (name.contains(u'.'))
        return {chosen, csv};
    return {chosen + u'.' + (csv ? CsvSuffix : PdfSuffix), csv};
}

// The folder of the last export while it exists, else the user's documents.
QString startFolder()
{
    const QString last =
        ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, LastFolderKey, QString())
            .toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolder(const QString& path)
{
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, LastFolderKey,
                           QFileInfo(path).absolutePath());
    } catch (const RegistryError&) {
        // Only where the next dialog opens: the export itself is done.
    }
}

QString proposedName(const ReportContext& context)
{
    const QString format = QStringLiteral("dd-MM-yyyy");
    return QStringLiteral("Movilibro %1 %2.%3")
        .arg(context.start.toString(format), context.end.toString(format), PdfSuffix);
}

// Asks until the user names a new file or agrees to replace the one that
// will really be written; nothing when cancelled.
std::optional<ExportFile> askExportFile(QWidget* parent, const ReportContext& context)
{
    QString proposed = startFolder() + u'/' + proposedName(context);
    for (;;) {
        QString filter;
        const QString chosen = Prompt::instance().saveFile(parent, {PdfFilter, CsvFilter}, proposed, &filter);
        if (chosen.isEmpty())
            return std::nullopt;
        const ExportFile file = exportFile(chosen, filter);
        if (!QFileInfo(file.path).isFile()) // new, or a pipe or device written into
            return file;
        const QString question =
            QStringLiteral("Il file %1 esiste già.\r\nSostituirlo?").arg(QDir::toNativeSeparators(file.path));
        if (Prompt::instance().message(parent, question, MsgStyle::YesNo) == Answer::Yes)
            return file;
        proposed = file.path;
    }
}

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

} // namespace

void setUpReport(arpSchede& report, const ReportContext& context)
{
    report.dataControl().setConnectionString(context.connString);
    report.dataControl().setSource(reportQuery(context.kind, context.layout, {context.start, context.end}));
    report.configure(context.layout);
    report.setOutputFormats(arpSchede::IncomesFormat, arpSchede::BalanceFormat);
    report.setPeriod(context.start, context.end);
    report.setDateGrouping(context.kind);
    applySearch(report, context.filter);
}

ReportPreview* printPreview(QWidget* parent, const ReportContext& context)
{
    auto report = std::make_unique<arpSchede>();
    setUpReport(*report, context);
    ReportDocument document;
    try {
        document = runReport(*report, frameFor(defaultPageLayout(), report->printWidth()));
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return nullptr;
    }
    auto* preview = new ReportPreview(std::move(report), std::move(document), parent);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->show();
    return preview;
}

bool exportPdfCommand(QWidget* parent, const ReportContext& context)
{
    // A fresh report for every export: it always starts as designed.
    arpSchede report;
    setUpReport(report, context);
    try {
        const ReportDocument document = runForPdf(report);
        const std::optional<ExportFile> file = askExportFile(parent, context);
        if (!file)
            return false;
        if (file->csv)
            exportCsv(context, file->path);
        else
            writePdf(document, file->path);
        rememberFolder(file->path);
        return true;
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return false;
    }
}

} // namespace movilibro::report
