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

ReportError overflowError()
{
    return ReportError(QStringLiteral("I totali del periodo superano l'importo massimo gestito: "
                                      "impossibile preparare la stampa."));
}

// Runs `prepare`, turning its failures into ReportError.
template <typename Prepare> ReportPages prepared(Prepare prepare)
{
    try {
        return prepare();
    } catch (const db::DbError& error) {
        throw ReportError(
            QStringLiteral("Impossibile leggere i movimenti da stampare.\n\n%1").arg(error.message()));
    } catch (const CurrencyOverflow&) {
        throw overflowError();
    }
}

} // namespace

ReportPages preparePages(Report& report, const PageFrame& frame)
{
    return prepared([&] { return report.paginate(frame); });
}

ReportPages preparePages(Report& report, std::shared_ptr<const RecordSource> records, const PageFrame& frame)
{
    return prepared([&] { return report.paginate(std::move(records), frame); });
}

ReportPages preparePdf(Report& report)
{
    return preparePages(report, frameFor(defaultPageLayout(), report.printWidth()));
}

void writePdf(ReportPages& pages, const QString& path)
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
        writer.setTitle(pages.title());
        writer.setCreator(pages.title());
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancel();
            throw writeError(path, QStringLiteral("Il documento PDF non può essere creato."));
        }
        try {
            drawPages(pages, writer, painter);
        } catch (const CurrencyOverflow&) {
            painter.end();
            file.cancel();
            throw overflowError();
        }
        painter.end();
    }
    if (!file.commit()) {
        throw writeError(path, file.errorString());
    }
}

void exportPdf(Report& report, const QString& path)
{
    ReportPages pages = preparePdf(report);
    writePdf(pages, path);
}

} // namespace movilibro::report
