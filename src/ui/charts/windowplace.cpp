#include "ui/charts/windowplace.h"

#include "app/mainmod.h"
#include "settings/registryerror.h"
#include "settings/registrywrappers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>

namespace movilibro::charts {

namespace {
const QString PlaceKey = QStringLiteral("appset_grafici");
// What must stay on a screen for a remembered place to be used again.
constexpr QSize Reachable(120, 40);
} // namespace

QRect besideOrCentred(const QRect& main, const QSize& size, const QRect& screen)
{
    const int top =
        std::clamp(main.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
    if (screen.right() - main.right() >= size.width())
        return QRect(QPoint(main.right() + 1, top), size);
    if (main.left() - screen.left() >= size.width())
        return QRect(QPoint(main.left() - size.width(), top), size);
    QRect centred(QPoint(), size);
    centred.moveCenter(screen.center());
    return centred;
}

std::optional<QRect> rememberedPlace()
{
    const QStringList parts =
        ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, PlaceKey, QString())
            .toString()
            .split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    const QRect place(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
    if (place.width() < Reachable.width() || place.height() < Reachable.height())
        return std::nullopt;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect visible = screen->availableGeometry().intersected(place);
        if (visible.width() >= Reachable.width() && visible.height() >= Reachable.height())
            return place;
    }
    return std::nullopt;
}

void rememberPlace(const QRect& geometry)
{
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, PlaceKey,
                           QStringLiteral("%1,%2,%3,%4")
                               .arg(geometry.x())
                               .arg(geometry.y())
                               .arg(geometry.width())
                               .arg(geometry.height()));
    } catch (const RegistryError&) {
        // Only where the window opens next time.
    }
}

} // namespace movilibro::charts
