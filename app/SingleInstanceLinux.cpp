// The instance lock as a lock file in the user's runtime directory
// ($XDG_RUNTIME_DIR), so that each user's session has its own instance and
// one user's program, running or crashed, never blocks another's. The file
// holds the owner's process id, so a lock left behind by a crashed instance
// is recognised as stale and taken over.

#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

bool acquireSingleInstanceLock()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Held until the process ends, like a named mutex that is never released.
    static QLockFile lock(QDir(folder).filePath(QString::fromLatin1(kInstanceLockName) + ".lock"));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    return lock.error() != QLockFile::LockFailedError;
}
