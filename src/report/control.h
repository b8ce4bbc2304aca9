#pragma once

#include "report/recordsource.h"

#include <QColor>
#include <QLine>
#include <QRect>
#include <QString>

namespace movilibro::report {

enum class ControlKind
{
    Label,
    TextField,
    Line,
    Square
};

// What a text field shows instead of its record's value.
enum class Summary
{
    None,
    GroupSum,        // sum of the data field over the group of `summaryGroup`
    RunningGroupSum, // sum so far within the current group of `summaryGroup`
    PageCount,       // number of pages of the whole report
};

// One control of a band. Geometry is in twips relative to the band's top
// left corner; a line runs from rect's top left by rect's size.
struct Control
{
    QString name;
    ControlKind kind = ControlKind::TextField;
    QRect rect;
    QString dataField;
    // Four-section number pattern for amounts, date pattern for dates; empty
    // for the plain text (dates as dd/MM/yyyy).
    QString outputFormat;
    qreal fontSize = 0; // 0: the report's base size
    Qt::Alignment alignment = Qt::AlignLeft;
    QRgb background = 0; // alpha 0: transparent
    QRgb fill = 0;       // squares
    Summary summary = Summary::None;
    QString summaryGroup; // name of a group header band

    // State while the report runs: the value for the band being printed and
    // the text that will print (event hooks may change it).
    Value value;
    QString text;

    static Control label(const QString& name, const QRect& rect, const QString& caption);
    static Control field(const QString& name, const QRect& rect, const QString& dataField = {});
    static Control line(const QString& name, const QLine& line);
    static Control square(const QString& name, const QRect& rect, QRgb fill);

    bool isText() const { return kind == ControlKind::Label || kind == ControlKind::TextField; }
    bool isBound() const { return kind == ControlKind::TextField && !dataField.isEmpty(); }
    // `value` formatted with the output format.
    QString formattedValue() const;
};

} // namespace movilibro::report
