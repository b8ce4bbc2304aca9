// The Jet statement translator on arbitrary text, and the engine preparing
// whatever it lets through.
#include "db/connection.h"
#include "db/dialect.h"
#include "db/enginefunctions.h"
#include "db/schema.h"

#include <QString>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>

namespace {

sqlite3* journalInMemory()
{
    static sqlite3* db = [] {
        sqlite3* raw = nullptr;
        sqlite3_open(":memory:", &raw);
        movilibro::db::registerEngineFunctions(raw);
        sqlite3_exec(raw, movilibro::db::schema::createStatements().toUtf8().constData(), nullptr, nullptr,
                     nullptr);
        return raw;
    }();
    return db;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString jet = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString sql;
    try {
        sql = movilibro::db::translateJet(jet);
    } catch (const movilibro::db::DbError&) {
        return 0;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_prepare_v2(journalInMemory(), utf8.constData(), int(utf8.size()), &st, nullptr);
    // Reading statements only: running them is safe and reaches Format and Month.
    if (st && sqlite3_stmt_readonly(st)) {
        for (int rows = 0; rows < 100 && sqlite3_step(st) == SQLITE_ROW; ++rows) {
        }
    }
    sqlite3_finalize(st);
    return 0;
}
