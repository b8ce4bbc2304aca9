#include "statement/references.h"

#include "db/connection.h"
#include "search/textfold.h"

#include <QSet>

#include <algorithm>

namespace movilibro::statement {

bool hasReferenceTable(db::Connection& conn)
{
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Riferimenti'"));
    return st.step();
}

void createReferenceTable(db::Connection& conn)
{
    conn.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS Riferimenti (mlId INTEGER PRIMARY KEY, "
                       "rfRiferimento TEXT NOT NULL);"
                       "CREATE INDEX IF NOT EXISTS ixRiferimentiRiferimento ON Riferimenti (rfRiferimento);"
                       // Entries deleted or purged since leave their references behind.
                       "DELETE FROM Riferimenti WHERE mlId NOT IN (SELECT mlId FROM Movilibro);"));
}

namespace {

bool isPlaceholder(const QString& reference)
{
    static const QSet<QString> Words{"notprovided", "not provided", "nonref", "none", "n/a", "na", "-",
                                     "0",           "nessuno"};
    return Words.contains(search::foldText(reference));
}

// 1, 2, 3 ... n (or from 0) in any order: the line numbers of the file.
bool areRunningNumbers(const QStringList& references)
{
    QList<qint64> numbers;
    for (const QString& r : references) {
        bool ok = false;
        numbers << r.toLongLong(&ok);
        if (!ok)
            return false;
    }
    std::sort(numbers.begin(), numbers.end());
    const qint64 start = numbers.front();
    if (start != 0 && start != 1)
        return false;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (numbers[i] != start + i)
            return false;
    }
    return true;
}

} // namespace

void dropPlaceholderReferences(std::vector<Movement>& movements)
{
    QStringList kept;
    for (Movement& m : movements) {
        if (isPlaceholder(m.reference))
            m.reference.clear();
        if (!m.reference.isEmpty())
            kept << m.reference;
    }
    if (kept.isEmpty())
        return;
    const bool allSame = kept.size() > 1 && kept.count(kept.front()) == kept.size();
    if (allSame || areRunningNumbers(kept)) {
        for (Movement& m : movements)
            m.reference.clear();
    }
}

} // namespace movilibro::statement
