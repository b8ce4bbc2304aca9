#pragma once

#include <QFont>
#include <QString>

namespace movilibro::dialogstyle {

inline QFont font(const QString& family, qreal points)
{
    QFont f(family);
    f.setPointSizeF(points);
    return f;
}
inline QFont verdana(qreal points = 8.25)
{
    return font(QStringLiteral("Verdana"), points);
}
inline QFont tahoma(qreal points = 8.25)
{
    return font(QStringLiteral("Tahoma"), points);
}

// Control arrays keep their index in the name: "txtData_1".
inline QString element(const QString& name, int index)
{
    return name + QLatin1Char('_') + QString::number(index);
}

} // namespace movilibro::dialogstyle
