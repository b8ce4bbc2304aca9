#pragma once

#include "db/connection.h"
#include "format/currency.h"

#include <QDate>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace movilibro::statement {
struct Sheet;
struct SheetRow;
} // namespace movilibro::statement

namespace movilibro::test {

// Pins the Italian locale for formatting and month names.
void pinItalianLocale();

// A fresh home for one test: HOME, XDG_CONFIG_HOME and the documents folder
// point into a temporary folder for the life of the object.
class TestHome
{
public:
    TestHome();
    ~TestHome();
    QString home() const { return m_dir.path(); }
    QString defaultDbFolder() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldConfig;
};

// The template next to the test executables.
// A workbook row as "text|d:date|n:number", empty cells as "".
QString describeSheetRow(const statement::Sheet& sheet, const statement::SheetRow& row);
QString templatePath();

// A journal file made from the template, with helpers to fill it.
class Journal
{
public:
    // Copies the template to folder/movilibro.mdb.
    explicit Journal(const QString& folder);
    QString path() const { return m_path; }
    QString folder() const { return m_folder; }
    QString connString() const;
    db::Connection open() const;

    qint64 addAccount(const QString& name) const;
    qint64 addEntry(const QDate& date, qint64 account, const QString& description,
                    std::optional<qint64> inRaw, std::optional<qint64> outRaw) const;
    void setParameter(const QString& key, int value) const;
    qint64 count(const QString& sqlCountQuery) const;
    // The first column of the first row as text (empty when there is none).
    QString text(const QString& sql) const;

private:
    QString m_folder;
    QString m_path;
};

// Holds a lock on the journal from another connection, as another program
// would: a writer's (BEGIN IMMEDIATE) or, `reading`, a reader's in the middle
// of a read, which lets a write begin but not commit. Closing lets go.
class HeldLock
{
public:
    explicit HeldLock(const Journal& journal, bool reading = false);

private:
    db::Connection m_conn;
};

// Raw ten-thousandths for a whole-cent amount: money(12, 50) == 125000.
constexpr qint64 money(qint64 units, qint64 cents = 0)
{
    return units * 10000 + (units < 0 ? -cents : cents) * 100;
}

// Table-driven tests: one data row per case, named after it.
template <typename Case, size_t N> void addRows(const Case (&cases)[N])
{
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < N; ++i)
        QTest::newRow(cases[i].name) << int(i);
}
template <typename Case, size_t N> const Case& currentCase(const Case (&cases)[N])
{
    QFETCH(int, index);
    return cases[index];
}

// Reads a file whole (to compare bytes before and after).
QByteArray fileBytes(const QString& path);

// What a program run from a test gave back; status -1 when it did not end by itself.
struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};
ProgramRun runProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace movilibro::test
