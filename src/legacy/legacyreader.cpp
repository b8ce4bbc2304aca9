#include "legacy/legacyreader.h"

#include "format/currency.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <mdbtools.h>

namespace movilibro::legacy {

namespace {

QString quoted(const QString& path)
{
    return u'"' + QFileInfo(path).fileName() + u'"';
}

LegacyError damaged(const QString& path, const QString& detail)
{
    return LegacyError(
        QStringLiteral("Il file %1 è danneggiato o incompleto: %2.").arg(quoted(path), detail));
}

// The old file, opened read-only with its catalogue read.
class MdbFile
{
public:
    explicit MdbFile(const QString& path) : m_path(path)
    {
        if (!QFileInfo(path).isFile())
            throw LegacyError(QStringLiteral("Il file %1 non esiste.").arg(quoted(path)));
        m_mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
        if (!m_mdb)
            throw LegacyError(
                QStringLiteral("Il file %1 non è un giornale nel formato precedente (Access 2000-2003).")
                    .arg(quoted(path)));
        // A Jet file is made of whole pages: anything else was cut short.
        if (QFileInfo(path).size() % m_mdb->fmt->pg_size != 0)
            throw damaged(path, QStringLiteral("il file è stato troncato"));
        if (!mdb_read_catalog(m_mdb, MDB_TABLE))
            throw damaged(path, QStringLiteral("l'elenco delle tabelle non si legge"));
    }
    ~MdbFile()
    {
        if (m_mdb)
            mdb_close(m_mdb);
    }
    MdbFile(const MdbFile&) = delete;
    MdbFile& operator=(const MdbFile&) = delete;

    MdbHandle* handle() const { return m_mdb; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    MdbHandle* m_mdb = nullptr;
};

// One table, read row by row. Numbers, amounts and dates are taken from
// their stored bytes (libmdb's text for them goes through floating point);
// text comes through libmdb's conversion to UTF-8.
class MdbTableReader
{
public:
    MdbTableReader(MdbFile& file, const char* name) : m_file(file), m_name(QString::fromLatin1(name))
    {
        m_table = mdb_read_table_by_name(file.handle(), const_cast<gchar*>(name), MDB_TABLE);
        if (!m_table)
            throw LegacyError(
                QStringLiteral("Nel file %1 manca la tabella %2.").arg(quoted(file.path()), m_name));
        if (!mdb_read_columns(m_table))
            throw damaged(file.path(),
                          QStringLiteral("le colonne della tabella %1 non si leggono").arg(m_name));
        const size_t bindSize = file.handle()->bind_size;
        for (unsigned int c = 0; c < m_table->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(m_table->columns, c));
            m_columns.push_back(col);
            m_text.emplace_back();
            if (isTextual(col->col_type)) {
                m_text.back() = std::make_unique<char[]>(bindSize);
                mdb_bind_column(m_table, int(c + 1), m_text.back().get(), nullptr);
            }
        }
        mdb_rewind_table(m_table);
    }
    ~MdbTableReader() { mdb_free_tabledef(m_table); }
    MdbTableReader(const MdbTableReader&) = delete;
    MdbTableReader& operator=(const MdbTableReader&) = delete;

    int column(const char* name) const
    {
        for (size_t c = 0; c < m_columns.size(); ++c) {
            if (qstricmp(m_columns[c]->name, name) == 0)
                return int(c);
        }
        throw LegacyError(QStringLiteral("Nella tabella %1 del file %2 manca la colonna %3.")
                              .arg(m_name, quoted(m_file.path()), QString::fromLatin1(name)));
    }

    bool next()
    {
        if (!mdb_fetch_row(m_table))
            return false;
        ++m_read;
        return true;
    }

    // The rows the table says it holds must all have been read.
    void checkComplete() const
    {
        if (m_read != declaredRows())
            throw damaged(m_file.path(), QStringLiteral("della tabella %1 si leggono %2 righe su %3")
                                             .arg(m_name)
                                             .arg(m_read)
                                             .arg(m_table->num_rows));
    }

    qint64 declaredRows() const { return qint64(m_table->num_rows); }
    int type(int col) const { return m_columns[size_t(col)]->col_type; }
    bool isNull(int col) const { return m_columns[size_t(col)]->cur_value_len == 0; }

    std::optional<qint64> integer(int col) const
    {
        if (isNull(col))
            return std::nullopt;
        switch (type(col)) {
        case MDB_BYTE:
            return qint64(*bytes(col, 1));
        case MDB_INT:
            return qint64(qFromLittleEndian<qint16>(bytes(col, 2)));
        case MDB_LONGINT:
            return qint64(qFromLittleEndian<qint32>(bytes(col, 4)));
        default:
            throw wrongType(col);
        }
    }

    // Ten-thousandths, the stored 64-bit form of the Currency type.
    std::optional<qint64> money(int col) const
    {
        if (isNull(col))
            return std::nullopt;
        if (type(col) != MDB_MONEY) {
            const auto units = integer(col);
            return *units * 10000;
        }
        return qFromLittleEndian<qint64>(bytes(col, 8));
    }

    std::optional<double> floating(int col) const
    {
        if (isNull(col))
            return std::nullopt;
        if (type(col) == MDB_FLOAT) {
            const quint32 bits = qFromLittleEndian<quint32>(bytes(col, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return double(value);
        }
        if (type(col) == MDB_DOUBLE || type(col) == MDB_DATETIME) {
            const quint64 bits = qFromLittleEndian<quint64>(bytes(col, 8));
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        throw wrongType(col);
    }

    QString text(int col) const
    {
        const auto& buffer = m_text[size_t(col)];
        if (!buffer)
            throw wrongType(col);
        return isNull(col) ? QString() : QString::fromUtf8(buffer.get());
    }

    static bool isTextual(int type) { return type == MDB_TEXT || type == MDB_MEMO || type == MDB_NUMERIC; }

private:
    const uchar* bytes(int col, int size) const
    {
        const MdbColumn* c = m_columns[size_t(col)];
        const MdbHandle* mdb = m_file.handle();
        if (c->cur_value_len < size || c->cur_value_start < 0 ||
            c->cur_value_start + size > int(mdb->fmt->pg_size))
            throw damaged(
                m_file.path(),
                QStringLiteral("un valore della colonna %1 è illeggibile").arg(QString::fromLatin1(c->name)));
        return mdb->pg_buf + c->cur_value_start;
    }

    LegacyError wrongType(int col) const
    {
        return LegacyError(
            QStringLiteral("La colonna %1 della tabella %2 nel file %3 ha un tipo non previsto.")
                .arg(QString::fromLatin1(m_columns[size_t(col)]->name), m_name, quoted(m_file.path())));
    }

    MdbFile& m_file;
    QString m_name;
    MdbTableDef* m_table = nullptr;
    std::vector<MdbColumn*> m_columns;
    std::vector<std::unique_ptr<char[]>> m_text;
    qint64 m_read = 0;
};

// Jet dates count days from 30/12/1899; the fraction is the time of day,
// taken as a magnitude for dates before that day.
struct OldDate
{
    QDate date;
    bool hadTime = false;
};

std::optional<OldDate> oldDate(const MdbTableReader& table, int col, const QString& path)
{
    const auto value = table.floating(col);
    if (!value)
        return std::nullopt;
    // The range the old engine accepts: 01/01/100 to 31/12/9999.
    if (!std::isfinite(*value) || *value < -657434.0 || *value >= 2958466.0)
        throw damaged(path, QStringLiteral("una data è fuori dall'intervallo ammesso"));
    const double days = std::trunc(*value);
    return OldDate{QDate(1899, 12, 30).addDays(qint64(days)), *value != days};
}

std::optional<int> wholeNumber(double value)
{
    if (!std::isfinite(value) || value != std::trunc(value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// Valore was a number in some old files and text in others.
LegacyParameter parameter(const MdbTableReader& table, int keyCol, int valueCol)
{
    LegacyParameter p;
    p.key = table.text(keyCol);
    if (table.isNull(valueCol))
        return p;
    switch (table.type(valueCol)) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: {
        const qint64 v = *table.integer(valueCol);
        p.storedText = QString::number(v);
        p.value = wholeNumber(double(v));
        break;
    }
    case MDB_MONEY: {
        const qint64 raw = *table.money(valueCol);
        p.storedText = Currency::fromRaw(raw).toString();
        if (raw % 10000 == 0)
            p.value = wholeNumber(double(raw / 10000));
        break;
    }
    case MDB_FLOAT:
    case MDB_DOUBLE: {
        const double v = *table.floating(valueCol);
        p.storedText = QString::number(v, 'g', 17);
        p.value = wholeNumber(v);
        break;
    }
    default:
        if (!MdbTableReader::isTextual(table.type(valueCol)))
            break;
        p.storedText = table.text(valueCol);
        p.value = wholeNumberFromText(p.storedText);
        break;
    }
    return p;
}

void readAccounts(MdbFile& file, LegacyJournal& journal)
{
    MdbTableReader table(file, "Conti");
    const int id = table.column("cntId");
    const int name = table.column("cntNome");
    while (table.next()) {
        const auto accountId = table.integer(id);
        if (!accountId)
            throw damaged(file.path(), QStringLiteral("un conto è senza numero"));
        journal.accounts.append({*accountId, table.text(name)});
    }
    table.checkComplete();
}

void readEntries(MdbFile& file, LegacyJournal& journal)
{
    MdbTableReader table(file, "Movilibro");
    const int id = table.column("mlId");
    const int date = table.column("mlData");
    const int account = table.column("mlConto");
    const int description = table.column("mlDescrizione");
    const int in = table.column("mlEntrate");
    const int out = table.column("mlUscite");
    journal.entries.reserve(qsizetype(qMin<qint64>(table.declaredRows(), 1'000'000)));
    while (table.next()) {
        LegacyEntry e;
        const auto entryId = table.integer(id);
        if (!entryId)
            throw damaged(file.path(), QStringLiteral("una registrazione è senza numero"));
        e.id = *entryId;
        if (const auto d = oldDate(table, date, file.path())) {
            e.date = d->date;
            e.hadTimeOfDay = d->hadTime;
        }
        e.account = table.integer(account);
        e.description = table.text(description);
        e.in = table.money(in);
        e.out = table.money(out);
        journal.entries.append(std::move(e));
    }
    table.checkComplete();
}

void readParameters(MdbFile& file, LegacyJournal& journal)
{
    MdbTableReader table(file, "Parametri");
    const int key = table.column("Chiave");
    const int value = table.column("Valore");
    while (table.next())
        journal.parameters.append(parameter(table, key, value));
    table.checkComplete();
}

} // namespace

std::optional<int> wholeNumberFromText(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral(R"(^\s*([+-]?\d+)(?:[.,]0+)?\s*$)"));
    const auto match = whole.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

LegacyJournal readLegacyJournal(const QString& path)
{
    MdbFile file(path);
    LegacyJournal journal;
    readAccounts(file, journal);
    readEntries(file, journal);
    readParameters(file, journal);
    return journal;
}

} // namespace movilibro::legacy
