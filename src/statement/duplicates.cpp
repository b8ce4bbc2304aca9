#include "statement/references.h"
#include "statement/statement.h"
#include "statement/values.h"

#include "db/connection.h"

#include <QHash>

#include <algorithm>

namespace movilibro::statement {

namespace {

// How far apart the bank's date and the journal's may be for one movement.
constexpr int DaysApart = 3;

struct PastEntry
{
    QDate date;
    QString reference;
    bool used = false;
};

using Key = std::pair<qint64, QString>; // amount with its sign, comparable description

struct Journal
{
    QHash<qint64, PastEntry> entries;          // by mlId
    QHash<Key, QList<qint64>> byAmountAndText; // ids
    QHash<QString, qint64> byReference;        // ids
};

std::optional<qint64> signedAmount(const db::Statement& st, int inCol, int outCol)
{
    const qint64 in = st.isNull(inCol) ? 0 : st.int64(inCol);
    const qint64 out = st.isNull(outCol) ? 0 : st.int64(outCol);
    qint64 net = 0;
    if (__builtin_sub_overflow(in, out, &net))
        return std::nullopt;
    return net;
}

// The account's entries near the movements' dates, and the references of
// every entry of the account that still exists.
Journal readJournal(db::Connection& conn, qint64 accountId, QDate first, QDate last)
{
    Journal j;
    const bool references = hasReferenceTable(conn);
    db::Statement st = conn.prepare(
        references
            ? QStringLiteral("SELECT m.mlId, m.mlData, m.mlDescrizione, m.mlEntrate, m.mlUscite, "
                             "r.rfRiferimento FROM Movilibro m LEFT JOIN Riferimenti r ON r.mlId = m.mlId "
                             "WHERE m.mlConto = ? AND m.mlData BETWEEN ? AND ?")
            : QStringLiteral("SELECT mlId, mlData, mlDescrizione, mlEntrate, mlUscite, NULL FROM Movilibro "
                             "WHERE mlConto = ? AND mlData BETWEEN ? AND ?"));
    st.bind(0, accountId)
        .bind(1, first.addDays(-DaysApart).toString(Qt::ISODate))
        .bind(2, last.addDays(DaysApart).toString(Qt::ISODate));
    while (st.step()) {
        const std::optional<qint64> amount = signedAmount(st, 3, 4);
        const QDate date = st.date(1);
        if (!amount || !date.isValid())
            continue;
        const qint64 id = st.int64(0);
        j.entries.insert(id, PastEntry{date, st.text(5)});
        j.byAmountAndText[Key{*amount, comparableDescription(st.text(2))}] << id;
    }
    if (references) {
        db::Statement refs = conn.prepare(QStringLiteral(
            "SELECT r.rfRiferimento, r.mlId FROM Riferimenti r JOIN Movilibro m ON m.mlId = r.mlId "
            "WHERE m.mlConto = ? AND r.rfRiferimento <> ''"));
        refs.bind(0, accountId);
        while (refs.step())
            j.byReference.insert(refs.text(0), refs.int64(1));
    }
    return j;
}

// The same reference as an entry imported before: the same movement, whatever
// its dates or description say now.
void markByReference(Journal& j, std::vector<Movement>& movements)
{
    for (Movement& m : movements) {
        if (m.isRefused() || m.reference.isEmpty())
            continue;
        const auto id = j.byReference.constFind(m.reference);
        if (id == j.byReference.cend())
            continue;
        PastEntry& entry = j.entries[*id];
        if (!entry.used) {
            entry.used = true;
            m.duplicate = true;
        }
    }
}

// Otherwise the nearest entry by date with the same amount and description
// that no other movement has taken; two references that differ are two
// movements.
void markByContent(Journal& j, std::vector<Movement>& movements)
{
    for (Movement& m : movements) {
        if (m.isRefused() || m.duplicate)
            continue;
        const auto ids =
            j.byAmountAndText.constFind(Key{m.amount.raw(), comparableDescription(m.description)});
        if (ids == j.byAmountAndText.cend())
            continue;
        PastEntry* nearest = nullptr;
        qint64 nearestDays = DaysApart + 1;
        for (const qint64 id : *ids) {
            PastEntry& e = j.entries[id];
            const qint64 days = std::abs(e.date.daysTo(m.date));
            const bool otherMovement =
                !m.reference.isEmpty() && !e.reference.isEmpty() && e.reference != m.reference;
            if (!e.used && !otherMovement && days < nearestDays) {
                nearest = &e;
                nearestDays = days;
            }
        }
        if (nearest) {
            nearest->used = true;
            m.duplicate = true;
        }
    }
}

} // namespace

void markDuplicates(db::Connection& conn, qint64 accountId, std::vector<Movement>& movements)
{
    QDate first, last;
    for (Movement& m : movements) {
        m.duplicate = false;
        if (m.isRefused())
            continue;
        if (!first.isValid() || m.date < first)
            first = m.date;
        if (!last.isValid() || m.date > last)
            last = m.date;
    }
    if (!first.isValid())
        return;
    Journal journal = readJournal(conn, accountId, first, last);
    markByReference(journal, movements);
    markByContent(journal, movements);
}

} // namespace movilibro::statement
