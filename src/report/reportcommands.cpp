#include "report/reportcommands.h"

#include "app/prompt.h"
#include "db/periods.h"
#include "report/arpschede.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "report/reportpreview.h"

namespace movilibro::report {

namespace {

const QString PdfFilter = QStringLiteral("Acrobat reader (*.pdf)");
const QString PdfSuffix = QStringLiteral("pdf");

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
        const QString path = Prompt::instance().saveFile(parent, {PdfFilter}, PdfSuffix);
        if (path.isEmpty()) {
            return false;
        }
        writePdf(document, path);
        return true;
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return false;
    }
}

} // namespace movilibro::report
