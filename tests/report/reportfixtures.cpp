#include "reportfixtures.h"

#include "db/connection.h"
#include "db/enginefunctions.h"

#include <QMap>
#include <QProcess>

namespace movilibro::test {

const QList<SampleEntry>& sampleEntries()
{
    static const QList<SampleEntry> entries = {
        {QDate(2010, 1, 15), "Cassa", "Incasso fattura 1", money(1234, 50), std::nullopt},
        {QDate(2010, 2, 10), "Banca", "Affitto", std::nullopt, money(800)},
        {QDate(2010, 3, 5), "Cassa", "Vendita", money(200), std::nullopt},
        {QDate(2010, 3, 20), "Banca", "Bonifico", money(800), std::nullopt},
        {QDate(2010, 4, 2), "Cassa", "Spese", std::nullopt, money(50)},
        {QDate(2010, 5, 10), "Banca", "Nota", std::nullopt, std::nullopt},
    };
    return entries;
}

QList<SampleEntry> manyEntries(int count)
{
    static const QStringList accounts = {"Banca", "Cassa", "Posta"};
    QList<SampleEntry> entries;
    for (int i = 0; i < count; ++i) {
        const bool income = i % 3 != 1;
        const qint64 amount = money(10 + i % 90, i % 100);
        entries.append({QDate(2010, 1, 1).addDays(i * 365 / count), accounts[i % 3],
                        QStringLiteral("Movimento numero %1").arg(i + 1),
                        income ? std::optional(amount) : std::nullopt,
                        income ? std::nullopt : std::optional(amount)});
    }
    return entries;
}

void fillJournal(const Journal& journal, const QList<SampleEntry>& entries)
{
    db::Connection conn = journal.open();
    db::Transaction transaction(conn);
    QMap<QString, qint64> accounts;
    for (const auto& e : entries) {
        if (!accounts.contains(e.account)) {
            conn.prepare(QStringLiteral("INSERT INTO Conti (cntNome) VALUES (?)")).bind(0, e.account).run();
            accounts.insert(e.account, conn.lastInsertId());
        }
        conn.prepare(
                QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                               "VALUES (?, ?, ?, ?, ?)"))
            .bind(0, db::isoDate(e.date))
            .bind(1, accounts.value(e.account))
            .bind(2, e.description)
            .bind(3, e.in)
            .bind(4, e.out)
            .run();
    }
    transaction.commit();
}

static QString describe(const report::PlacedBand& band)
{
    QStringList texts;
    for (const auto& item : band.items)
        if (item.kind == report::ItemKind::Text)
            texts.append(item.text);
    return band.name + u':' + texts.join(u'|');
}

QStringList describe(const report::ReportDocument& document)
{
    QStringList lines;
    for (size_t page = 0; page < document.pages.size(); ++page) {
        if (page > 0)
            lines.append(QStringLiteral("#page %1").arg(page + 1));
        for (const auto& band : document.pages[page].bands)
            lines.append(describe(band));
    }
    return lines;
}

QStringList bodyOf(const report::ReportDocument& document)
{
    QStringList lines;
    for (const auto& page : document.pages)
        for (const auto& band : page.bands)
            if (band.name != QLatin1String("PageHeader"))
                lines.append(describe(band));
    return lines;
}

QString pdfText(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString pdfLineWith(const QString& path, const QString& needle)
{
    for (const QString& line : pdfText(path).split(u'\n'))
        if (line.simplified().contains(needle))
            return line.simplified();
    return {};
}

} // namespace movilibro::test
