#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

#include <optional>

namespace movilibro::grid {

// A named cell style. Unset members leave what lies below them unchanged, so a
// text-colour style can sit on top of a column's background.
struct CellStyle
{
    QColor background;
    QColor foreground;
    std::optional<QFont::Weight> weight;
    // A mark drawn before the text, and what hovering it says.
    QIcon icon;
    QString toolTip;
};

// Colours kept in the 0x00BBGGRR form (red in the low byte).
inline QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace movilibro::grid
