#include "report/reportcommands.h"

#include "app/prompt.h"
#include "db/periods.h"
#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "report/reportpreview.h"
#include "report/searchrecords.h"

#include <QFileInfo>

namespace movilibro::report {

namespace {

const QString PdfFilter = QStringLiteral("Acrobat reader (*.pdf)");
const QString PdfSuffix = QStringLiteral("pdf");
const QString CsvFilter = QStringLiteral("Foglio di calcolo CSV (*.csv)");

// The dialog adds the PDF suffix to a bare name whatever the filter.
QString csvPath(const QString& chosen)
{
    const QFileInfo info(chosen);
    if (info.suffix().compare(PdfSuffix, Qt::CaseInsensitive) == 0)
        return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".csv");
    return info.suffix().isEmpty() ? chosen + QStringLiteral(".csv") : chosen;
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
        QString filter;
        const QString path = Prompt::instance().saveFile(parent, {PdfFilter, CsvFilter}, PdfSuffix, &filter);
        if (path.isEmpty()) {
            return false;
        }
        if (filter == CsvFilter)
            exportCsv(context, csvPath(path));
        else
            writePdf(document, path);
        return true;
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return false;
    }
}

} // namespace movilibro::report
