#include "charts/chartkind.h"

#include <QFileInfo>

#include <utility>

namespace movilibro::charts {

bool chartKindFromName(const QString& name, ChartKind* kind)
{
    static const std::pair<const char*, ChartKind> names[] = {
        {"saldo", ChartKind::Saldo}, {"flussi", ChartKind::Flussi}, {"conti", ChartKind::Conti}};
    for (const auto& [text, k] : names) {
        if (name == QLatin1String(text)) {
            *kind = k;
            return true;
        }
    }
    return false;
}

ExportFormat exportFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png")
        return ExportFormat::Png;
    if (suffix == u"svg")
        return ExportFormat::Svg;
    if (suffix == u"pdf")
        return ExportFormat::Pdf;
    return ExportFormat::Unknown;
}

} // namespace movilibro::charts
