#pragma once

#include <QString>

namespace movilibro::charts {

enum class ChartKind
{
    Saldo,
    Flussi,
    Conti
};

// "saldo", "flussi", "conti" as the command line names them.
bool chartKindFromName(const QString& name, ChartKind* kind);

// What a chart can be written as, chosen by the file's suffix (any case).
enum class ExportFormat
{
    Png,
    Svg,
    Pdf,
    Unknown
};
ExportFormat exportFormatOf(const QString& path);

} // namespace movilibro::charts
