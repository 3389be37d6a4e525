#include "app/DiskNotifications.h"

#include "disk/StorageBackend.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

namespace {
// A disk with many partitions announces each of them: wait for quiet.
constexpr int kBurstSettleMilliseconds = 300;
}  // namespace

DiskNotifications::DiskNotifications(QWidget* window) : QObject(window)
{
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kBurstSettleMilliseconds);
    connect(settle_, &QTimer::timeout, this, &DiskNotifications::disksChanged);

    if (qEnvironmentVariableIsSet(kDevicesVariable))
        watchFleetFile();
    else
        startPlatform(window);
}

DiskNotifications::~DiskNotifications()
{
    stopPlatform();
}

void DiskNotifications::noteChange()
{
    settle_->start();
}

// The simulated machine changes when its fleet file does: it is read again
// and the change counts as a disk arriving or leaving.
void DiskNotifications::watchFleetFile()
{
    const QString path = QFileInfo(qEnvironmentVariable(kDevicesVariable)).absoluteFilePath();
    auto* watcher = new QFileSystemWatcher(this);
    // Editors often replace the file rather than write it: watch its folder too.
    watcher->addPath(path);
    watcher->addPath(QFileInfo(path).absolutePath());
    auto reload = [this, watcher, path] {
        if (QFileInfo::exists(path) && !watcher->files().contains(path))
            watcher->addPath(path);
        noteChange();
    };
    connect(watcher, &QFileSystemWatcher::fileChanged, this, reload);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, reload);
    connect(this, &DiskNotifications::disksChanged, this, [] { selectStorageFromEnvironment(); },
            Qt::DirectConnection);
}
