#include "ui/charts/chartexport.h"

#include "report/exporttarget.h"
#include "report/reporterror.h"

#include <QBuffer>
#include <QChart>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <memory>

namespace movilibro::charts {

namespace {

void draw(QGraphicsScene& scene, QPainter& painter, const QRectF& target)
{
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, scene.sceneRect());
}

QPageLayout pdfPage()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

// The chart is laid out in the proportions it is drawn in: a PDF's page.
QSizeF layoutSize(ExportFormat format)
{
    if (format != ExportFormat::Pdf)
        return QSizeF(ExportSize);
    const QSizeF page = pdfPage().paintRect(QPageLayout::Millimeter).size();
    return QSizeF(ExportSize.width(), ExportSize.width() * page.height() / page.width());
}

// The whole file in memory first: a drawing that fails leaves no half file.
QByteArray render(ExportFormat format, QGraphicsScene& scene, const QString& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == ExportFormat::Png) {
        QImage image(ExportSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        draw(scene, painter, image.rect());
        painter.end();
        image.save(&buffer, "PNG");
    } else if (format == ExportFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(ExportSize);
        svg.setViewBox(QRect(QPoint(0, 0), ExportSize));
        // CSS pixels: viewers show it 1200 pixels wide.
        svg.setResolution(96);
        svg.setTitle(title);
        QPainter painter(&svg);
        draw(scene, painter, QRectF(QPointF(0, 0), QSizeF(ExportSize)));
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Movilibro"));
        pdf.setPageLayout(pdfPage());
        QPainter painter(&pdf);
        draw(scene, painter, painter.viewport());
    }
    return bytes;
}

QString failure(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossibile salvare il grafico \"%1\".\n\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

void exportChart(ChartKind kind, const ChartData& data, bool perAccount, const QString& caption,
                 const QString& path)
{
    const ExportFormat format = exportFormatOf(path);
    if (format == ExportFormat::Unknown)
        throw report::ReportError(
            failure(path, QStringLiteral("Il nome del file deve finire con .png, .svg o .pdf.")));
    QGraphicsScene scene;
    BuiltChart built = buildChart(kind, data, perAccount);
    scene.addItem(built.chart); // the scene owns it from here
    QString title = QStringLiteral("<b>%1</b><br>%2").arg(chartTitle(kind), caption.toHtmlEscaped());
    if (kind == ChartKind::Flussi && !data.flowNote.isEmpty())
        title += QStringLiteral("<br>") + data.flowNote.toHtmlEscaped();
    built.chart->setTitle(title);
    const QRectF area(QPointF(0, 0), layoutSize(format));
    built.chart->setGeometry(area);
    scene.setSceneRect(area);
    const QByteArray bytes = render(format, scene, chartTitle(kind) + QStringLiteral(" - ") + caption);
    report::ExportTarget file(path);
    if (!file.open() || file.device().write(bytes) != bytes.size() || !file.commit())
        throw report::ReportError(failure(path, file.errorString()));
}

} // namespace movilibro::charts
