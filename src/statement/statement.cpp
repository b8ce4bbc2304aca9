#include "statement/statement.h"

#include "statement/camtreader.h"
#include "statement/csvreader.h"
#include "statement/filekind.h"
#include "statement/ofxreader.h"
#include "statement/sheettable.h"
#include "statement/text.h"
#include "statement/xlsreader.h"
#include "statement/xlsxreader.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace movilibro::statement {

namespace {

// A bank's statement of several years stays far below this; a bigger file is
// surely something else.
constexpr qint64 LargestFile = 64 * 1024 * 1024;

QString shown(const QString& path)
{
    return printable(path);
}

// The whole file, refused when it changes while it is read: a statement still
// being written would come in cut.
QByteArray readFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw StatementError(QStringLiteral("Il file %1 non esiste.").arg(shown(path)));
    if (!info.isFile())
        throw StatementError(QStringLiteral("%1 non è un file.").arg(shown(path)));
    if (info.size() > LargestFile)
        throw StatementError(
            QStringLiteral("Il file %1 è troppo grande per un estratto conto (oltre 64 MiB).")
                .arg(shown(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StatementError(
            QStringLiteral("Il file %1 non può essere letto: %2").arg(shown(path), file.errorString()));
    QByteArray bytes = file.read(LargestFile + 1);
    const QFileInfo after(path);
    if (bytes.size() != info.size() || after.size() != info.size() ||
        after.lastModified() != info.lastModified())
        throw StatementError(
            QStringLiteral("Il file %1 è cambiato durante la lettura (è ancora in scrittura?): "
                           "ripetere l'importazione quando è completo.")
                .arg(shown(path)));
    if (bytes.trimmed().isEmpty())
        throw StatementError(QStringLiteral("Il file %1 è vuoto.").arg(shown(path)));
    return bytes;
}

} // namespace

bool ColumnLayout::signFromAmountAlone() const
{
    return roles.contains(ColumnRole::SignedAmount) && !roles.contains(ColumnRole::Sign) &&
           !(roles.contains(ColumnRole::Credit) && roles.contains(ColumnRole::Debit));
}

bool ColumnLayout::isComplete() const
{
    const bool hasDate = roles.contains(ColumnRole::Date) || roles.contains(ColumnRole::ValueDate);
    const bool hasAmount = roles.contains(ColumnRole::SignedAmount) || roles.contains(ColumnRole::Credit) ||
                           roles.contains(ColumnRole::Debit);
    const bool signKnown = !signFromAmountAlone() || amountSign != AmountSign::Undecided;
    return hasDate && hasAmount && signKnown && roles.contains(ColumnRole::Description);
}

QString ColumnLayout::headerKey() const
{
    const QByteArray hash = QCryptographicHash::hash(comparableHeader(headers).join(QChar(0x1f)).toUtf8(),
                                                     QCryptographicHash::Sha1);
    return QStringLiteral("estratto_") + QString::fromLatin1(hash.toHex().left(20));
}

QString Statement::foreignCurrency() const
{
    QString code;
    for (const StatementAccount& a : accounts)
        code = a.currency.isEmpty() || a.currency == u"EUR" ? code : a.currency;
    return code;
}

int Statement::pending() const
{
    int n = 0;
    for (const StatementAccount& a : accounts)
        n += a.pending;
    return n;
}

Statement readStatement(const QString& path, const ReadOptions& options)
{
    const QByteArray bytes = readFile(path);
    const DateChoice choice = options.layout ? options.layout->dateChoice : options.dateChoice;
    switch (const FileKind kind = kindOf(bytes)) {
    case FileKind::Text:
        return readCsv(bytes, options);
    case FileKind::Xlsx:
        return readSpreadsheet(*openXlsx(bytes), Statement::Kind::Xlsx, options);
    case FileKind::Xls:
        return readSpreadsheet(*openXls(bytes), Statement::Kind::Xls, options);
    case FileKind::Ofx:
        return readOfxStatement(bytes);
    case FileKind::Camt052:
    case FileKind::Camt053:
    case FileKind::Camt054:
        return readCamt(bytes, choice);
    default:
        throw StatementError(refusalOf(kind, shown(path)));
    }
}

void keepAccount(Statement& statement, int account)
{
    std::vector<Movement> kept;
    for (Movement& m : statement.movements) {
        if (m.account == account) {
            m.account = 0;
            kept.push_back(std::move(m));
        }
    }
    statement.movements = std::move(kept);
    const StatementAccount chosen = statement.accounts.at(size_t(account));
    statement.accounts = {chosen};
}

} // namespace movilibro::statement
