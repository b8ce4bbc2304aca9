#include "statement/references.h"
#include "statement/statement.h"
#include "statement/text.h"

#include "db/connection.h"

#include <QHash>

#include <cstdlib>

#include <algorithm>

namespace movilibro::statement {

namespace {

struct PastEntry
{
    JournalEntry entry;
    qint64 amount = 0; // with its sign
    QString reference;
    bool used = false;
};

struct Journal
{
    QHash<qint64, PastEntry> entries;            // by mlId
    QHash<qint64, QList<qint64>> byAmount;       // ids
    QHash<QString, QList<qint64>> byReference;   // ids
    QHash<QString, QList<qint64>> byDescription; // ids, by comparable description
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

// The account's entries near the movements' dates, with their references.
Journal readJournal(db::Connection& conn, qint64 accountId, QDate first, QDate last)
{
    Journal j;
    db::Statement st = conn.prepare(
        hasReferenceTable(conn)
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
        const PastEntry& e = *j.entries.insert(id, PastEntry{{id, date, st.text(2)}, *amount, st.text(5)});
        j.byAmount[e.amount] << id;
        j.byDescription[comparableDescription(e.entry.description)] << id;
        if (!e.reference.isEmpty())
            j.byReference[e.reference] << id;
    }
    return j;
}

// The nearest entry by date among `ids` that no other movement has taken,
// has the movement's amount, and passes `fits`.
PastEntry* nearest(Journal& j, const QList<qint64>& ids, const Movement& m, auto fits)
{
    PastEntry* found = nullptr;
    qint64 foundDays = DaysApart + 1;
    for (const qint64 id : ids) {
        PastEntry& e = j.entries[id];
        const qint64 days = std::abs(e.entry.date.daysTo(m.date));
        if (!e.used && e.amount == m.amount.raw() && days < foundDays && fits(e)) {
            found = &e;
            foundDays = days;
        }
    }
    if (found)
        found->used = true;
    return found;
}

// Two references that differ are two movements.
bool otherMovement(const PastEntry& e, const Movement& m)
{
    return !m.reference.isEmpty() && !e.reference.isEmpty() && e.reference != m.reference;
}

template <typename Match> void markEach(std::vector<Movement>& movements, Match match)
{
    for (Movement& m : movements) {
        if (!m.isRefused() && !m.duplicate && !m.possibleRepeat)
            match(m);
    }
}

} // namespace

void markDuplicates(db::Connection& conn, qint64 accountId, std::vector<Movement>& movements)
{
    QDate first, last;
    for (Movement& m : movements) {
        m.duplicate = false;
        m.possibleRepeat.reset();
        if (m.isRefused())
            continue;
        if (!first.isValid() || m.date < first)
            first = m.date;
        if (!last.isValid() || m.date > last)
            last = m.date;
    }
    if (!first.isValid())
        return;
    Journal j = readJournal(conn, accountId, first, last);
    const auto any = [](const PastEntry&) { return true; };
    // The bank's reference of an entry imported before, with its amount and date.
    markEach(movements, [&](Movement& m) {
        if (!m.reference.isEmpty())
            m.duplicate = nearest(j, j.byReference.value(m.reference), m, any);
    });
    markEach(movements, [&](Movement& m) {
        m.duplicate = nearest(j, j.byDescription.value(comparableDescription(m.description)), m,
                              [&](const PastEntry& e) { return !otherMovement(e, m); });
    });
    // The same money on nearly the same day, described otherwise: typed by hand?
    markEach(movements, [&](Movement& m) {
        if (const PastEntry* e = nearest(j, j.byAmount.value(m.amount.raw()), m,
                                         [&](const PastEntry& e) { return !otherMovement(e, m); }))
            m.possibleRepeat = e->entry;
    });
}

} // namespace movilibro::statement
