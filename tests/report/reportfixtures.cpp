#include "reportfixtures.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "db/periods.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>

namespace movilibro::test {

using report::Value;

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
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate date = QDate(2010, 1, 1).addDays(i * 365 / qMax(count, 1));
        const bool income = i % 3 != 1;
        const qint64 amount = money(10 + i % 90, i % 100);
        entries.append({date, accounts[i % accounts.size()], QStringLiteral("Movimento numero %1").arg(i + 1),
                        income ? std::optional<qint64>(amount) : std::nullopt,
                        income ? std::nullopt : std::optional<qint64>(amount)});
    }
    return entries;
}

report::RecordTable reportRecords(const QList<SampleEntry>& entries, int kind, int layout)
{
    using report::FieldType;
    QList<SampleEntry> sorted = entries;
    auto key = [&](const SampleEntry& e) {
        const QString period = periodKey(e.date, kind);
        switch (layout) {
        case 1:
            return std::make_tuple(period, QString(), e.date);
        case 2:
            return std::make_tuple(e.account, QString(), e.date);
        case 3:
            return std::make_tuple(period, e.account, e.date);
        case 4:
            return std::make_tuple(e.account, period, e.date);
        default:
            return std::make_tuple(QString(), QString(), e.date);
        }
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const SampleEntry& a, const SampleEntry& b) { return key(a) < key(b); });

    report::RecordTable table({{"mlMovilibro", FieldType::Text},
                               {"mlPeriodo", FieldType::Text},
                               {"mlConto", FieldType::Text},
                               {"mlData", FieldType::Date},
                               {"mlDescrizione", FieldType::Text},
                               {"mlEntrate", FieldType::Currency},
                               {"mlUscite", FieldType::Currency},
                               {"mlSaldo", FieldType::Currency}});
    auto amount = [](std::optional<qint64> raw) {
        return raw ? Value(Currency::fromRaw(*raw)) : Value(std::monostate{});
    };
    for (const auto& e : sorted) {
        const qint64 balance = e.in.value_or(0) - e.out.value_or(0);
        table.addRow({QStringLiteral("1"), periodKey(e.date, kind), e.account, e.date, e.description,
                      amount(e.in), amount(e.out), Currency::fromRaw(balance)});
    }
    return table;
}

void fillJournal(const Journal& journal, const QList<SampleEntry>& entries)
{
    db::Connection conn = journal.open();
    db::Transaction transaction(conn);
    QMap<QString, qint64> accounts;
    auto addAccount = conn.prepare(QStringLiteral("INSERT INTO Conti (cntNome) VALUES (?)"));
    auto addEntry =
        conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, "
                                    "mlUscite) VALUES (?, ?, ?, ?, ?)"));
    for (const auto& e : entries) {
        if (!accounts.contains(e.account)) {
            addAccount.reset();
            addAccount.bind(0, e.account).run();
            accounts.insert(e.account, conn.lastInsertId());
        }
        addEntry.reset();
        addEntry.bind(0, db::isoDate(e.date))
            .bind(1, accounts.value(e.account))
            .bind(2, e.description)
            .bind(3, e.in)
            .bind(4, e.out)
            .run();
    }
    transaction.commit();
}

QString describe(const report::PlacedBand& band)
{
    QStringList texts;
    for (const auto& item : band.items) {
        if (item.kind == report::ItemKind::Text) {
            texts.append(item.text);
        }
    }
    return band.name + u':' + texts.join(u'|');
}

QStringList describe(const report::ReportDocument& document)
{
    QStringList lines;
    for (size_t page = 0; page < document.pages.size(); ++page) {
        if (page > 0) {
            lines.append(QStringLiteral("#page %1").arg(page + 1));
        }
        for (const auto& band : document.pages[page].bands) {
            lines.append(describe(band));
        }
    }
    return lines;
}

QStringList bodyOf(const report::ReportDocument& document)
{
    QStringList lines;
    for (const auto& page : document.pages) {
        for (const auto& band : page.bands) {
            if (band.name != QLatin1String("PageHeader")) {
                lines.append(describe(band));
            }
        }
    }
    return lines;
}

QString pdfText(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {path});
    tool.waitForFinished(60000);
    const auto match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(tool.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

std::vector<TestFactory>& testRegistry()
{
    static std::vector<TestFactory> registry;
    return registry;
}

bool registerTest(TestFactory factory)
{
    testRegistry().push_back(std::move(factory));
    return true;
}

} // namespace movilibro::test
