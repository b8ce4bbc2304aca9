#include "report/pdfexport.h"

#include "db/connection.h"
#include "report/exporttarget.h"
#include "report/heapretention.h"
#include "report/pagesetup.h"
#include "report/renderer.h"
#include "report/report.h"
#include "report/reporterror.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>

namespace movilibro::report {

namespace {

constexpr int PdfResolution = 1200;

ReportError writeError(const QString& path, const QString& reason)
{
    return ReportError(QStringLiteral("Impossibile salvare il file PDF \"%1\".\n\n%2")
                           .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

ReportDocument runReport(Report& report, const PageFrame& frame)
{
    try {
        return report.run(frame);
    } catch (const db::DbError& error) {
        throw ReportError(
            QStringLiteral("Impossibile leggere i movimenti da stampare.\n\n%1").arg(error.message()));
    } catch (const CurrencyOverflow&) {
        throw ReportError(QStringLiteral("I totali del periodo superano l'importo massimo gestito: "
                                         "impossibile preparare la stampa."));
    }
}

ReportDocument runForPdf(Report& report)
{
    return runReport(report, frameFor(defaultPageLayout(), report.printWidth()));
}

void writePdf(const ReportDocument& document, const QString& path)
{
    HeapRetention retention;
    ExportTarget file(path);
    if (!file.open()) {
        throw writeError(path, file.errorString());
    }
    {
        QPdfWriter writer(&file.device());
        writer.setPageLayout(defaultPageLayout());
        writer.setResolution(PdfResolution);
        writer.setTitle(document.title);
        writer.setCreator(document.title);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancel();
            throw writeError(path, QStringLiteral("Il documento PDF non può essere creato."));
        }
        PageRenderer(document, writer).render(painter);
        painter.end();
    }
    if (!file.commit()) {
        throw writeError(path, file.errorString());
    }
}

void exportPdf(Report& report, const QString& path)
{
    writePdf(runForPdf(report), path);
}

} // namespace movilibro::report
