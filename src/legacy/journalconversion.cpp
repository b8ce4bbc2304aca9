#include "legacy/journalconversion.h"

#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/filemodes.h"
#include "db/journaldb.h"
#include "db/upgrade.h"
#include "legacy/legacyreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <filesystem>

namespace movilibro::legacy {

namespace {

const QString JournalFileName = QStringLiteral("movilibro.mdb");
const QString UnderConstruction = QStringLiteral("/.movilibro-importazione-XXXXXX");
const QString OriginalCopy = QStringLiteral("/.movilibro-originale-XXXXXX");
const QRegularExpression
    Leftover(QStringLiteral(R"(^\.movilibro-(importazione|originale)-[A-Za-z0-9]{6}(-journal)?$)"));

std::function<void(ConversionStep)> g_stepHook;

void reached(ConversionStep step)
{
    if (g_stepHook)
        g_stepHook(step);
}

bool renameOver(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(from.toStdString(), to.toStdString(), error);
    return !error;
}

bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a.toStdString(), b.toStdString(), error) && !error;
}

// A new journal filled under a temporary name beside its final place; removed
// unless moved into place.
class JournalUnderConstruction
{
public:
    JournalUnderConstruction(const QString& folder, const QString& templatePath)
        : m_file(folder + UnderConstruction)
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

    ImportSummary fill(const LegacyJournal& journal, const QString& copy = {})
    {
        try {
            db::Connection conn = db::Connection::open(m_file.fileName());
            return importInto(conn, journal, copy);
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

    // Takes the place of `target` in one step.
    bool replace(const QString& target)
    {
        if (!renameOver(m_file.fileName(), target))
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

// A second name for the old file: a hard link, or where the folder has none
// (a memory stick) a copy written under a temporary name first.
bool keepOriginal(const QString& path, const QString& keptAs)
{
    if (sameFile(path, keptAs))
        return true;
    std::error_code error;
    std::filesystem::create_hard_link(path.toStdString(), keptAs.toStdString(), error);
    if (!error)
        return true;
    QFile source(path);
    QTemporaryFile copy(folderOf(path) + OriginalCopy);
    if (!source.open(QIODevice::ReadOnly) || !copy.open())
        return false;
    const QByteArray bytes = source.readAll();
    if (copy.write(bytes) != bytes.size() || !copy.flush() || source.error() != QFile::NoError)
        return false;
    copy.close();
    if (!renameOver(copy.fileName(), keptAs))
        return false;
    copy.setAutoRemove(false);
    return true;
}

} // namespace

QString keepName(const QString& path)
{
    QString name = path + QStringLiteral(".jet");
    for (int n = 2; (QFileInfo::exists(name) || QFileInfo(name).isSymLink()) && !sameFile(name, path); ++n)
        name = path + QStringLiteral(".%1.jet").arg(n);
    return name;
}

void setConversionStepHook(std::function<void(ConversionStep)> hook)
{
    g_stepHook = std::move(hook);
}

Conversion convertInPlace(const QString& path, const QString& templatePath)
{
    const LegacyJournal old = readLegacyJournal(path);
    JournalUnderConstruction journal(folderOf(path), templatePath);
    const QString keptAs = keepName(path);
    Conversion result{journal.fill(old, keptAs), keptAs};
    reached(ConversionStep::Filled);
    const bool hadKept = QFileInfo::exists(result.keptAs);
    if (!keepOriginal(path, result.keptAs))
        throw LegacyError(
            QStringLiteral("Impossibile conservare il file %1 come %2: la conversione è annullata.")
                .arg(QDir::toNativeSeparators(path), QFileInfo(result.keptAs).fileName()));
    reached(ConversionStep::OriginalKept);
    if (!journal.replace(path)) {
        if (!hadKept)
            QFile::remove(result.keptAs);
        throw LegacyError(
            QStringLiteral("Impossibile scrivere il nuovo giornale %1: la conversione è annullata.")
                .arg(QDir::toNativeSeparators(path)));
    }
    return result;
}

std::optional<UnfinishedConversion> findUnfinishedConversion(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return std::nullopt;
    // The old file kept last, which the conversion was replacing.
    QString kept;
    for (int n = 1;; ++n) {
        const QString name = path + (n == 1 ? QStringLiteral(".jet") : QStringLiteral(".%1.jet").arg(n));
        if (!QFileInfo::exists(name))
            break;
        kept = name;
    }
    if (!kept.isEmpty() && db::journalFileKind(kept) == db::JournalFileKind::Jet)
        return UnfinishedConversion{kept, false};
    // A converted journal is filled in one transaction: a sound one with
    // accounts or entries is complete.
    const QDir folder(folderOf(path));
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QString file = folder.filePath(name);
        if (!Leftover.match(name).hasMatch() || name.endsWith(QStringLiteral("-journal")) ||
            !db::JournalBackup::isSoundJournal(file))
            continue;
        db::Connection conn = db::Connection::open(file, db::Connection::Mode::ReadOnly);
        try {
            requireEmpty(conn);
        } catch (const LegacyError&) {
            return UnfinishedConversion{file, true};
        }
    }
    return std::nullopt;
}

Conversion finishConversion(const UnfinishedConversion& unfinished, const QString& path,
                            const QString& templatePath)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (unfinished.converted) {
        if (!QFile::rename(unfinished.source, path))
            throw LegacyError(QStringLiteral("Impossibile scrivere il giornale %1.").arg(shown));
        return {};
    }
    const LegacyJournal old = readLegacyJournal(unfinished.source);
    JournalUnderConstruction journal(folderOf(path), templatePath);
    Conversion result{journal.fill(old, unfinished.source), unfinished.source};
    if (!journal.moveTo(path))
        throw LegacyError(QStringLiteral("Impossibile scrivere il giornale %1.").arg(shown));
    return result;
}

void removeLeftovers(const QString& folder)
{
    db::removeFilesMatching(folder, Leftover);
}

ImportSummary importIntoFolder(const QString& oldPath, const QString& folder, const QString& templatePath,
                               const std::function<QString()>& beforeWriting)
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
    if (db::ConnectionFails(db::connStringFor(folder))) {
        if (db::JournalBusy(target))
            throw LegacyError(QStringLiteral("Il giornale %1 è in uso da un altro programma.").arg(shown));
        throw LegacyError(QStringLiteral("Il giornale %1 è assente o danneggiato.").arg(shown));
    }
    try {
        db::Connection conn = db::Connection::open(target);
        requireEmpty(conn);
        // Brought to the current schema as at the program's start, with its copy.
        db::upgradeJournal(target);
        const QString copy = beforeWriting ? beforeWriting() : QString();
        return importInto(conn, old, copy);
    } catch (const db::DbError&) {
        throw LegacyError(QStringLiteral("Il giornale %1 non si apre in scrittura.").arg(shown));
    } catch (const db::BackupError& e) {
        throw LegacyError(e.message());
    }
}

} // namespace movilibro::legacy
