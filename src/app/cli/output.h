#pragma once

#include <QDate>
#include <QString>

#include <cstdio>

namespace movilibro::cli {

// One line on the stream, flushed at once so that messages keep their order.
void print(FILE* stream, const QString& text);
// A path as the user's system writes it.
QString shown(const QString& path);
// dd/mm/yyyy
QString day(const QDate& date);
// "1 rifiutato", "2 rifiutati"
QString counted(int n, const char* one, const char* many);

} // namespace movilibro::cli
