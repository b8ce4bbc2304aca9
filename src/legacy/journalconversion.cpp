#include "legacy/journalconversion.h"

#include "db/connection.h"
#include "db/connstring.h"
#include "db/filemodes.h"
#include "db/journaldb.h"
#include "legacy/legacyreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace movilibro::legacy {

namespace {

const QString JournalFileName = QStringLiteral("movilibro.mdb");

// A new journal filled under a temporary name beside its final place; removed
// unless moved into place.
class JournalUnderConstruction
{
public:
    JournalUnderConstruction(const QString& folder, const QString& templatePath)
        : m_file(folder + QStringLiteral("/.movilibro-importazione-XXXXXX"))
    {
        QFile source(templatePath);
        if (!source.open(QIODevice::ReadOnly))
            throw LegacyError(QStringLiteral("File di sistema assente: manca il modello %1.")
                                  .arg(QFileInfo(templatePath).fileName()));
        if (!m_file.open() || m_file.write(source.readAll()) != source.size() || !m_file.flush())
            throw LegacyError(QStringLiteral("Impossibile scrivere nella cartella %1.")
                                  .arg(QDir::toNativeSeparators(folder)));
        m_file.close();
        m_file.setPermissions(db::documentPermissions());
    }

    ImportSummary fill(const LegacyJournal& journal)
    {
        try {
            db::Connection conn = db::Connection::open(m_file.fileName());
            return importInto(conn, journal);
        } catch (const db::DbError&) {
            throw LegacyError(QStringLiteral("Il modello del giornale non si apre."));
        }
    }

    // Fails when `target` exists: it is never replaced.
    bool moveTo(const QString& target)
    {
        if (!QFile::rename(m_file.fileName(), target))
            return false;
        m_file.setAutoRemove(false);
        return true;
    }

private:
    QTemporaryFile m_file;
};

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

QString keepName(const QString& path)
{
    QString name = path + QStringLiteral(".jet");
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = path + QStringLiteral(".%1.jet").arg(n);
    return name;
}

Conversion convertInPlace(const QString& path, const QString& templatePath)
{
    const LegacyJournal old = readLegacyJournal(path);
    JournalUnderConstruction journal(folderOf(path), templatePath);
    Conversion result{journal.fill(old), keepName(path)};
    if (!QFile::rename(path, result.keptAs))
        throw LegacyError(QStringLiteral("Impossibile rinominare il file %1: la conversione è annullata.")
                              .arg(QDir::toNativeSeparators(path)));
    if (!journal.moveTo(path)) {
        QFile::rename(result.keptAs, path);
        throw LegacyError(
            QStringLiteral("Impossibile scrivere il nuovo giornale %1: la conversione è annullata.")
                .arg(QDir::toNativeSeparators(path)));
    }
    return result;
}

ImportSummary importIntoFolder(const QString& oldPath, const QString& folder, const QString& templatePath)
{
    const QString target = folder + QDir::separator() + JournalFileName;
    const QString shown = QDir::toNativeSeparators(target);
    const LegacyJournal old = readLegacyJournal(oldPath);
    switch (db::journalFileKind(target)) {
    case db::JournalFileKind::Missing: {
        if (!QFileInfo(folder).isDir())
            throw LegacyError(
                QStringLiteral("La cartella %1 non esiste.").arg(QDir::toNativeSeparators(folder)));
        JournalUnderConstruction journal(folder, templatePath);
        const ImportSummary summary = journal.fill(old);
        if (!journal.moveTo(target))
            throw LegacyError(QStringLiteral("Impossibile scrivere il giornale %1.").arg(shown));
        return summary;
    }
    case db::JournalFileKind::Jet:
        throw LegacyError(QStringLiteral("Il giornale %1 è anch'esso nel formato precedente: avviare il "
                                         "programma per convertirlo.")
                              .arg(shown));
    default:
        break;
    }
    if (db::ConnectionFails(db::connStringFor(folder)))
        throw LegacyError(QStringLiteral("Il giornale %1 è assente o danneggiato.").arg(shown));
    try {
        db::Connection conn = db::Connection::open(target);
        return importInto(conn, old);
    } catch (const db::DbError&) {
        throw LegacyError(QStringLiteral("Il giornale %1 non si apre in scrittura.").arg(shown));
    }
}

} // namespace movilibro::legacy
