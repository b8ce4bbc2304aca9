#include "legacy/legacyimport.h"

#include "history/changelog.h"

#include <QFileInfo>

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "db/errortext.h"
#include "db/journaldb.h"
#include "db/schema.h"

#include <QSet>

namespace movilibro::legacy {

void requireEmpty(db::Connection& conn)
{
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT (SELECT count(*) FROM Movilibro) + (SELECT count(*) FROM Conti)"));
    if (st.step() && st.int64(0) > 0)
        throw LegacyError(QStringLiteral("Il giornale di destinazione contiene già conti o registrazioni: "
                                         "l'importazione è possibile solo in un giornale vuoto."));
}

namespace {

void checkLength(const QString& text, int limit, const QString& what)
{
    if (text.size() > limit)
        throw LegacyError(QStringLiteral("%1 supera i %2 caratteri ammessi.").arg(what).arg(limit));
}

void copyAccounts(db::Connection& conn, const LegacyJournal& journal, ImportSummary& summary)
{
    db::Statement insert = conn.prepare(QStringLiteral("INSERT INTO Conti (cntId, cntNome) VALUES (?, ?)"));
    for (const LegacyAccount& a : journal.accounts) {
        checkLength(a.name, db::schema::AccountNameSize, QStringLiteral("Il nome del conto %1").arg(a.id));
        insert.reset();
        insert.bind(0, a.id).bind(1, a.name).run();
        ++summary.accounts;
    }
}

Currency amount(const std::optional<qint64>& raw)
{
    return Currency::fromRaw(raw.value_or(0));
}

void copyEntries(db::Connection& conn, const LegacyJournal& journal, ImportSummary& summary)
{
    QSet<qint64> accounts;
    for (const LegacyAccount& a : journal.accounts)
        accounts.insert(a.id);
    db::Statement insert = conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlId, mlData, mlConto, "
                                                       "mlDescrizione, mlEntrate, mlUscite) "
                                                       "VALUES (?, ?, ?, ?, ?, ?)"));
    for (const LegacyEntry& e : journal.entries) {
        checkLength(e.description, db::schema::DescriptionSize,
                    QStringLiteral("La descrizione della registrazione %1").arg(e.id));
        insert.reset();
        insert.bind(0, e.id);
        if (e.date.isValid())
            insert.bind(1, db::isoDate(e.date));
        else
            insert.bindNull(1);
        insert.bind(2, e.account).bind(3, e.description).bind(4, e.in).bind(5, e.out).run();
        ++summary.entries;
        summary.timesDropped += e.hadTimeOfDay ? 1 : 0;
        summary.totalIn += amount(e.in);
        summary.totalOut += amount(e.out);
        if (e.account && accounts.contains(*e.account)) {
            summary.listedIn += amount(e.in);
            summary.listedOut += amount(e.out);
        } else {
            ++summary.orphans;
        }
    }
}

void copyParameters(db::Connection& conn, const LegacyJournal& journal, ImportSummary& summary)
{
    for (const LegacyParameter& p : journal.parameters) {
        if (!p.value || p.key.size() > db::schema::KeySize) {
            summary.skippedParameters << QStringLiteral("%1 = \"%2\"").arg(p.key, p.storedText);
            continue;
        }
        db::WriteParameter(conn, p.key, *p.value);
        ++summary.parameters;
    }
}

} // namespace

ImportSummary importInto(db::Connection& conn, const LegacyJournal& journal, const QString& copy)
{
    ImportSummary summary;
    try {
        db::Transaction tx(conn);
        requireEmpty(conn);
        copyAccounts(conn, journal, summary);
        copyEntries(conn, journal, summary);
        copyParameters(conn, journal, summary);
        QString note =
            QStringLiteral("Giornale nel formato precedente: %1 conti, %2 registrazioni, %3 parametri "
                           "importati.")
                .arg(summary.accounts)
                .arg(summary.entries)
                .arg(summary.parameters);
        if (!copy.isEmpty())
            note += QStringLiteral(" Copia: %1").arg(QFileInfo(copy).fileName());
        history::appendOperation(conn, history::Kind::Import, note);
        tx.commit();
    } catch (const db::DbError& e) {
        throw LegacyError(QStringLiteral("L'importazione non è riuscita: ") + db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        throw LegacyError(
            QStringLiteral("L'importazione non è riuscita: i totali degli importi sono fuori scala."));
    }
    return summary;
}

QString summaryText(const ImportSummary& s, const QLocale& locale)
{
    QStringList lines{
        QStringLiteral("Conti copiati: %1").arg(s.accounts),
        QStringLiteral("Registrazioni copiate: %1").arg(s.entries),
        QStringLiteral("Registrazioni senza conto (copiate, non elencate): %1").arg(s.orphans),
        QStringLiteral("Parametri copiati: %1").arg(s.parameters),
    };
    if (!s.skippedParameters.isEmpty())
        lines << QStringLiteral("Parametri non copiati (valore non intero): ") +
                     s.skippedParameters.join(QStringLiteral(", "));
    lines << QStringLiteral("Date con orario (orario tolto): %1").arg(s.timesDropped)
          << QStringLiteral("Totale Entrate: %1").arg(s.totalIn.toString(locale))
          << QStringLiteral("Totale Uscite: %1").arg(s.totalOut.toString(locale));
    if (s.orphans > 0)
        lines << QStringLiteral("Nelle registrazioni elencate: Entrate %1, Uscite %2")
                     .arg(s.listedIn.toString(locale), s.listedOut.toString(locale));
    return lines.join(u'\n');
}

} // namespace movilibro::legacy
