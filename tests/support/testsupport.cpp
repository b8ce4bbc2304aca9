#include "testsupport.h"

#include "db/connstring.h"
#include "db/enginefunctions.h"
#include "db/journaldb.h"
#include "statement/sheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

namespace movilibro::test {

void pinItalianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

TestHome::TestHome() : m_oldHome(qgetenv("HOME")), m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("HOME", m_dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toUtf8());
    QDir().mkpath(m_dir.path() + QStringLiteral("/.config"));
}

TestHome::~TestHome()
{
    qputenv("HOME", m_oldHome);
    if (m_oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

QString TestHome::defaultDbFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/MovilibroDB");
}

QString templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/master.gen");
}

Journal::Journal(const QString& folder) : m_folder(folder), m_path(folder + QStringLiteral("/movilibro.mdb"))
{
    QDir().mkpath(folder);
    QFile::remove(m_path);
    if (!QFile::copy(templatePath(), m_path))
        qFatal("cannot copy the template to %s", qPrintable(m_path));
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

QString Journal::connString() const
{
    return db::connStringFor(m_folder);
}

db::Connection Journal::open() const
{
    return db::Connection::open(m_path);
}

qint64 Journal::addAccount(const QString& name) const
{
    db::Connection conn = open();
    conn.prepare(QStringLiteral("INSERT INTO Conti (cntNome) VALUES (?)")).bind(0, name).run();
    return conn.lastInsertId();
}

qint64 Journal::addEntry(const QDate& date, qint64 account, const QString& description,
                         std::optional<qint64> inRaw, std::optional<qint64> outRaw) const
{
    db::Connection conn = open();
    conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                                "VALUES (?, ?, ?, ?, ?)"))
        .bind(0, db::isoDate(date))
        .bind(1, account)
        .bind(2, description)
        .bind(3, inRaw)
        .bind(4, outRaw)
        .run();
    return conn.lastInsertId();
}

void Journal::setParameter(const QString& key, int value) const
{
    db::Connection conn = open();
    db::WriteParameter(conn, key, value);
}

qint64 Journal::count(const QString& sqlCountQuery) const
{
    db::Connection conn = open();
    db::Statement st = conn.prepare(sqlCountQuery);
    return st.step() ? st.int64(0) : -1;
}

QString Journal::text(const QString& sql) const
{
    db::Connection conn = open();
    db::Statement st = conn.prepare(sql);
    return st.step() ? st.text(0) : QString();
}

HeldLock::HeldLock(const Journal& journal, bool reading) : m_conn(journal.open())
{
    m_conn.exec(reading ? QStringLiteral("BEGIN; SELECT count(*) FROM Movilibro;")
                        : QStringLiteral("BEGIN IMMEDIATE"));
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ProgramRun runProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString describeSheetRow(const statement::Sheet& sheet, const statement::SheetRow& row)
{
    QStringList cells;
    for (const statement::SheetCell& cell : row.cells) {
        while (cells.size() < cell.column)
            cells << QString();
        if (cell.type == statement::SheetCell::Type::Text)
            cells << cell.text;
        else if (cell.shape() == statement::NumberShape::Date)
            cells << QStringLiteral("d:") + sheet.dateTimeOf(cell.number).date().toString("dd/MM/yyyy");
        else
            cells << QStringLiteral("n:") + QString::number(cell.number, 'f', 2);
    }
    return cells.join(u'|');
}

} // namespace movilibro::test
