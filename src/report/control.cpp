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

namespace {
Control made(const QString& name, ControlKind kind, const QRect& rect)
{
    Control c;
    c.name = name;
    c.kind = kind;
    c.rect = rect;
    return c;
}
} // namespace

Control Control::label(const QString& name, const QRect& rect, const QString& caption)
{
    Control c = made(name, ControlKind::Label, rect);
    c.text = caption;
    return c;
}

Control Control::field(const QString& name, const QRect& rect, const QString& dataField)
{
    Control c = made(name, ControlKind::TextField, rect);
    c.dataField = dataField;
    return c;
}

Control Control::line(const QString& name, const QLine& line)
{
    return made(name, ControlKind::Line, QRect(line.p1(), QSize(line.dx(), line.dy())));
}

Control Control::square(const QString& name, const QRect& rect, QRgb fill)
{
    Control c = made(name, ControlKind::Square, rect);
    c.fill = fill;
    return c;
}

QString Control::formattedValue() const
{
    return std::visit(ValueFormatter{outputFormat}, value);
}

} // namespace movilibro::report
