// The instance lock as a lock file in the temporary directory. The file holds
// the owner's process id, so a lock left behind by a crashed instance is
// recognised as stale and taken over.

#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>

bool acquireSingleInstanceLock()
{
    // Held until the process ends, like a named mutex that is never released.
    static QLockFile lock(QDir::temp().filePath(QString::fromLatin1(kInstanceLockName) + ".lock"));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    return lock.error() != QLockFile::LockFailedError;
}
