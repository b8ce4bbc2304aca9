#include "app/cli/journalaccess.h"

#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/mainmod.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "legacy/journalconversion.h"

#include <QDir>
#include <QFileInfo>

namespace movilibro::cli {

QString journalFolderFor(const Request& r, const std::function<QString()>& journalFolder)
{
    if (r.dbFolder.isEmpty())
        return journalFolder();
    const QFileInfo folder(r.dbFolder);
    if (!folder.isDir())
        throw Failure{QStringLiteral("La cartella %1 non esiste.").arg(shown(r.dbFolder))};
    return shown(folder.absoluteFilePath());
}

QString journalPathIn(const QString& folder)
{
    return folder + QDir::separator() + mainmod::DatabaseFileName;
}

std::unique_ptr<JournalLock> lockJournal(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw Failure{QStringLiteral("La cartella del giornale %1 non esiste (un disco rimovibile non "
                                     "collegato?).")
                          .arg(shown(folder))};
    auto lock = std::make_unique<JournalLock>(journalPathIn(folder));
    if (!lock->acquire())
        throw Failure{lock->refusal()};
    db::JournalBackup(journalPathIn(folder)).removeLeftovers();
    legacy::removeLeftovers(folder);
    return lock;
}

void checkJournal(const QString& folder)
{
    const QString path = journalPathIn(folder);
    switch (db::journalFileKind(path)) {
    case db::JournalFileKind::Missing:
        throw Failure{QStringLiteral("Nessun giornale nella cartella %1.").arg(shown(folder))};
    case db::JournalFileKind::Jet:
        throw Failure{QStringLiteral("Il giornale %1 è nel formato della versione precedente: avviare il "
                                     "programma per convertirlo.")
                          .arg(shown(path))};
    default:
        break;
    }
    if (db::ConnectionFails(db::connStringFor(folder))) {
        if (db::JournalBusy(path))
            throw Failure{QStringLiteral("Il giornale %1 è in uso da un altro programma.").arg(shown(path))};
        throw Failure{QStringLiteral("Il giornale %1 è assente o danneggiato.").arg(shown(path))};
    }
}

Account accountNamed(db::Connection& conn, const QString& name)
{
    // Account names compare as everywhere in the journal: case aside, Italian rules.
    db::Statement st =
        conn.prepare(QStringLiteral("SELECT cntId, cntNome FROM Conti WHERE cntNome = ? ORDER BY cntId"));
    st.bind(0, name);
    if (!st.step()) {
        QStringList names;
        db::Statement all = conn.prepare(QStringLiteral("SELECT cntNome FROM Conti ORDER BY cntNome"));
        while (all.step())
            names << all.text(0);
        throw Failure{
            QStringLiteral("Il conto \"%1\" non esiste nel giornale. %2")
                .arg(name,
                     names.isEmpty()
                         ? QStringLiteral("Il giornale non ha ancora conti.")
                         : QStringLiteral("Conti del giornale: %1.").arg(names.join(QStringLiteral(", "))))};
    }
    const Account found{st.int64(0), st.text(1)};
    if (st.step())
        throw Failure{QStringLiteral("Nel giornale ci sono più conti di nome \"%1\".").arg(name)};
    return found;
}

} // namespace movilibro::cli
