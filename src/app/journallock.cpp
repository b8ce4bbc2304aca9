#include "app/journallock.h"

#include <QDir>
#include <QSysInfo>

namespace movilibro {

JournalLock::JournalLock(const QString& journalPath)
    : m_path(journalPath + QStringLiteral(".lock")), m_lock(std::make_unique<QLockFile>(m_path))
{
    // Only a lock whose process is gone counts as stale, however old it is.
    m_lock->setStaleLockTime(0);
}

JournalLock::~JournalLock() = default;

bool JournalLock::acquire()
{
    return m_lock->tryLock(0);
}

bool JournalLock::heldElsewhere() const
{
    return m_lock->error() == QLockFile::LockFailedError;
}

QString JournalLock::refusal() const
{
    if (m_lock->error() == QLockFile::PermissionError)
        return QStringLiteral("Impossibile creare il file di blocco %1: la cartella del giornale non è "
                              "scrivibile.")
            .arg(QDir::toNativeSeparators(m_path));
    qint64 pid = 0;
    QString host, application;
    m_lock->getLockInfo(&pid, &host, &application);
    if (host.isEmpty() || host == QSysInfo::machineHostName())
        return QStringLiteral("Il giornale è già aperto in un'altra finestra di Movilibro su questo computer "
                              "(processo %1).")
            .arg(pid);
    return QStringLiteral("Il giornale è già aperto in Movilibro sul computer %1.").arg(host);
}

} // namespace movilibro
