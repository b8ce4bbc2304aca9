#pragma once

#include <QRect>

#include <optional>

namespace movilibro::charts {

// Where a window of `size` opens so that it covers none of `main`: beside it
// on the right, else on the left, when `screen` has the room; else centred on
// `screen`.
QRect besideOrCentred(const QRect& main, const QSize& size, const QRect& screen);

// The chart window's place at its last closing, while it still lies on a screen.
std::optional<QRect> rememberedPlace();
void rememberPlace(const QRect& geometry);

} // namespace movilibro::charts
