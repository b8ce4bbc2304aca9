#include "report/control.h"

#include "format/formatengine.h"

namespace movilibro::report {

namespace {

const QString DefaultDateText = QStringLiteral("dd/MM/yyyy");

struct ValueFormatter
{
    const QString& pattern;

    QString operator()(std::monostate) const
    {
        // The empty section of a number pattern covers missing amounts.
        return pattern.isEmpty() ? QString() : Format::number(std::nullopt, pattern);
    }
    QString operator()(const QString& text) const { return text; }
    QString operator()(const QDate& date) const
    {
        return pattern.isEmpty() ? date.toString(DefaultDateText) : Format::date(date, pattern);
    }
    QString operator()(Currency amount) const
    {
        return pattern.isEmpty() ? amount.toString() : Format::number(amount, pattern);
    }
};

} // namespace

Control Control::label(const QString& name, const QRect& rect, const QString& caption)
{
    Control c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.rect = rect;
    c.text = caption;
    return c;
}

Control Control::field(const QString& name, const QRect& rect, const QString& dataField)
{
    Control c;
    c.name = name;
    c.kind = ControlKind::TextField;
    c.rect = rect;
    c.dataField = dataField;
    return c;
}

Control Control::line(const QString& name, const QLine& line)
{
    Control c;
    c.name = name;
    c.kind = ControlKind::Line;
    c.rect = QRect(line.p1(), QSize(line.dx(), line.dy()));
    return c;
}

Control Control::square(const QString& name, const QRect& rect, QRgb fill)
{
    Control c;
    c.name = name;
    c.kind = ControlKind::Square;
    c.rect = rect;
    c.fill = fill;
    return c;
}

QString Control::formattedValue() const
{
    return std::visit(ValueFormatter{outputFormat}, value);
}

} // namespace movilibro::report
