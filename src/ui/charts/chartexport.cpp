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
    scene.render(&painter, target, QRectF(QPointF(0, 0), QSizeF(ExportSize)));
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
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        // The chart keeps its proportions, as wide as the page allows.
        const QRectF page = painter.viewport();
        QSizeF size = QSizeF(ExportSize).scaled(page.size(), Qt::KeepAspectRatio);
        draw(scene, painter, QRectF(page.topLeft(), size));
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
    built.chart->setTitle(caption.toHtmlEscaped());
    built.chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(ExportSize)));
    const QByteArray bytes = render(format, scene, caption);
    report::ExportTarget file(path);
    if (!file.open() || file.device().write(bytes) != bytes.size() || !file.commit())
        throw report::ReportError(failure(path, file.errorString()));
}

} // namespace movilibro::charts
