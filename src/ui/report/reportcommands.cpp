#include "ui/report/reportcommands.h"

#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "ui/prompt/prompt.h"
#include "ui/report/exportfilechoice.h"
#include "ui/report/reportpreview.h"

#include <QFileInfo>

#include <optional>

namespace movilibro::report {

namespace {

const QString PdfFilter = QStringLiteral("Acrobat reader (*.pdf)");
const QString CsvFilter = QStringLiteral("Foglio di calcolo CSV (*.csv)");
const QString PdfSuffix = QStringLiteral("pdf");
const QString CsvSuffix = QStringLiteral("csv");

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

QString proposedName(const ReportContext& context)
{
    const QString format = QStringLiteral("dd-MM-yyyy");
    return QStringLiteral("Movilibro %1 %2.%3")
        .arg(context.start.toString(format), context.end.toString(format), PdfSuffix);
}

// Asks in the last export's folder, proposing a name for the period; nothing when cancelled.
std::optional<ExportFile> askReportFile(QWidget* parent, const ReportContext& context)
{
    const auto chosen = askExportFile(
        parent, {PdfFilter, CsvFilter}, exportStartFolder() + u'/' + proposedName(context),
        [](const QString& name, const QString& filter) { return exportFile(name, filter).path; });
    if (!chosen)
        return std::nullopt;
    return exportFile(chosen->path, chosen->filter);
}

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

} // namespace

ReportPreview* printPreview(QWidget* parent, const ReportContext& context)
{
    auto report = std::make_unique<arpSchede>();
    setUpReport(*report, context);
    ReportPages pages;
    try {
        pages = preparePages(*report, frameFor(defaultPageLayout(), report->printWidth()));
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return nullptr;
    }
    auto* preview = new ReportPreview(std::move(report), std::move(pages), parent);
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
        ReportPages pages = preparePdf(report);
        const std::optional<ExportFile> file = askReportFile(parent, context);
        if (!file)
            return false;
        if (file->csv)
            exportCsv(context, file->path);
        else
            writePdf(pages, file->path);
        rememberExportFolder(file->path);
        return true;
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return false;
    }
}

} // namespace movilibro::report
