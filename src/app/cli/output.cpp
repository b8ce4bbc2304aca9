#include "app/cli/output.h"

#include "statement/text.h"

#include <QDir>

namespace movilibro::cli {

void print(FILE* stream, const QString& text)
{
    // A file name or a cell may hold escape sequences: the terminal never gets them.
    std::fputs((statement::printable(text) + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString day(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

} // namespace movilibro::cli
