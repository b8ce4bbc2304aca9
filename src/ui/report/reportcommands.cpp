#include "ui/report/reportcommands.h"

#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "report/xlsxexport.h"
#include "ui/prompt/prompt.h"
#include "ui/report/exportfilechoice.h"
#include "ui/report/reportpreview.h"

#include <QFileInfo>

#include <optional>

namespace movilibro::report {

namespace {

enum class FileKind
{
    Pdf,
    Csv,
    Xlsx
};

struct KindOfFile
{
    FileKind kind;
    QString filter;
    QString suffix;
};

const KindOfFile Kinds[] = {
    {FileKind::Pdf, QStringLiteral("Acrobat reader (*.pdf)"), QStringLiteral("pdf")},
    {FileKind::Csv, QStringLiteral("Foglio di calcolo CSV (*.csv)"), QStringLiteral("csv")},
    {FileKind::Xlsx, QStringLiteral("Cartella di lavoro Excel (*.xlsx)"), QStringLiteral("xlsx")},
};

struct ExportFile
{
    QString path;
    FileKind kind = FileKind::Pdf;
};

// A name typed with a known suffix is kept as typed, and the suffix decides
// what is written, so that the name always tells what the file holds; a bare
// name gets the chosen filter's suffix; another suffix is kept and the
// filter decides.
ExportFile exportFile(const QString& chosen, const QString& filter)
{
    const QString suffix = QFileInfo(chosen).suffix();
    for (const KindOfFile& k : Kinds) {
        if (suffix.compare(k.suffix, Qt::CaseInsensitive) == 0)
            return {chosen, k.kind};
    }
    const KindOfFile* picked = &Kinds[0];
    for (const KindOfFile& k : Kinds) {
        if (k.filter == filter)
            picked = &k;
    }
    if (QFileInfo(chosen).fileName().contains(u'.'))
        return {chosen, picked->kind};
    return {chosen + u'.' + picked->suffix, picked->kind};
}

QStringList filters()
{
    QStringList list;
    for (const KindOfFile& k : Kinds)
        list << k.filter;
    return list;
}

QString proposedName(const ReportContext& context)
{
    const QString format = QStringLiteral("dd-MM-yyyy");
    return QStringLiteral("Movilibro %1 %2.%3")
        .arg(context.start.toString(format), context.end.toString(format), Kinds[0].suffix);
}

// Asks in the last export's folder, proposing a name for the period; nothing when cancelled.
std::optional<ExportFile> askReportFile(QWidget* parent, const ReportContext& context)
{
    const auto chosen = askExportFile(
        parent, filters(), exportStartFolder() + u'/' + proposedName(context),
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
        switch (file->kind) {
        case FileKind::Pdf:
            writePdf(pages, file->path);
            break;
        case FileKind::Csv:
            exportCsv(context, file->path);
            break;
        case FileKind::Xlsx:
            exportXlsx(context, file->path);
            break;
        }
        rememberExportFolder(file->path);
        return true;
    } catch (const ReportError& error) {
        tell(parent, error.message());
        return false;
    }
}

} // namespace movilibro::report
