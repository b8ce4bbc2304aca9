#include "db/textcollation.h"

#include <QLocale>

namespace movilibro::db {

QCollator textCollator()
{
    QCollator collator(QLocale(QLocale::Italian, QLocale::Italy));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace movilibro::db
