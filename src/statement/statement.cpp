#include "statement/statement.h"

#include "statement/camtreader.h"
#include "statement/csvreader.h"
#include "statement/values.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace movilibro::statement {

namespace {

// A bank's statement of several years stays far below this; a bigger file is
// surely something else.
constexpr qint64 LargestFile = 64 * 1024 * 1024;

QByteArray readFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw StatementError(QStringLiteral("Il file %1 non esiste.").arg(path));
    if (!info.isFile())
        throw StatementError(QStringLiteral("%1 non è un file.").arg(path));
    if (info.size() > LargestFile)
        throw StatementError(QStringLiteral("Il file %1 è troppo grande per un estratto conto.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StatementError(
            QStringLiteral("Il file %1 non può essere letto: %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        throw StatementError(QStringLiteral("Il file %1 è vuoto.").arg(path));
    return bytes;
}

} // namespace

bool CsvLayout::isComplete() const
{
    const bool hasDate = roles.contains(ColumnRole::Date) || roles.contains(ColumnRole::ValueDate);
    const bool hasAmount = roles.contains(ColumnRole::SignedAmount) || roles.contains(ColumnRole::Credit) ||
                           roles.contains(ColumnRole::Debit);
    return hasDate && hasAmount && roles.contains(ColumnRole::Description);
}

QString CsvLayout::headerKey() const
{
    const QByteArray hash = QCryptographicHash::hash(comparableHeader(headers).join(QChar(0x1f)).toUtf8(),
                                                     QCryptographicHash::Sha1);
    return QStringLiteral("estratto_") + QString::fromLatin1(hash.toHex().left(20));
}

Statement readStatement(const QString& path, std::optional<CsvLayout> layout, DateChoice choice)
{
    const QByteArray bytes = readFile(path);
    if (looksLikeXml(bytes))
        return readCamt053(bytes, layout ? layout->dateChoice : choice);
    return readCsv(bytes, layout, choice);
}

} // namespace movilibro::statement
