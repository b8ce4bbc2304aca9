#include "benchjournal.h"

#include "db/connection.h"
#include "db/connstring.h"
#include "db/enginefunctions.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLocale>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace movilibro::bench {

QString templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/master.gen");
}

BenchJournal::BenchJournal(int entries)
{
    QFile::copy(templatePath(), path());
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    db::Connection conn = db::Connection::open(path());
    db::Transaction tx(conn);
    for (int a = 1; a <= 12; ++a)
        conn.exec(QStringLiteral("INSERT INTO Conti (cntNome) VALUES ('Conto %1')").arg(a));
    db::Statement ins = conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, "
                                                    "mlEntrate, mlUscite) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < entries; ++i) {
        const bool income = i % 3 == 0;
        ins.reset();
        ins.bind(0, db::isoDate(QDate(2010, 1, 1).addDays(qint64(i) * 365 / entries)))
            .bind(1, qint64(1 + i % 12))
            .bind(2, i % 50 ? QStringLiteral("Registrazione numero %1").arg(i)
                            : QStringLiteral("Caffè; \"doppio\" %1").arg(i))
            .bind(3, income ? std::optional<qint64>(qint64(i) * 137 % 10000000) : std::optional<qint64>(0))
            .bind(4, income ? std::optional<qint64>() : std::optional<qint64>(qint64(i) * 71 % 5000000));
        ins.run();
    }
    tx.commit();
}

BenchJournal& BenchJournal::shared(int entries)
{
    static std::map<int, std::unique_ptr<BenchJournal>> journals;
    auto& j = journals[entries];
    if (!j)
        j = std::make_unique<BenchJournal>(entries);
    return *j;
}

QString BenchJournal::connString() const
{
    return db::connStringFor(m_dir.path());
}

QString BenchJournal::path() const
{
    return m_dir.path() + QStringLiteral("/movilibro.mdb");
}

int runBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace movilibro::bench
