#pragma once

#include <QString>
#include <QStringView>

namespace movilibro::search {

// Text as the search compares it: lower case, accents dropped ("Città" and
// "CITTA" both give "citta"), typographic apostrophes as plain ones. Only
// characters are dropped or replaced one for one, never added.
QString foldText(QStringView text);

// Appends the folded text to `out`.
void appendFolded(QStringView text, QString& out);

} // namespace movilibro::search
