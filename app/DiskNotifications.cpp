#include "app/DiskNotifications.h"

#include "disk/StorageBackend.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

#include <memory>

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

namespace {

// What the folder's listing shows of the fleet file: a file put in its
// place (by rename, as editors save) gets new times; another file written
// in the folder changes none of it.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified, changed;
    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && size == other.size && modified == other.modified && changed == other.changed;
    }
};

FileStamp stampOf(const QString& path)
{
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified(), info.metadataChangeTime()};
}

}  // namespace

// The simulated machine changes when its fleet file does: the change counts
// as a disk arriving or leaving, and the file is read again (reloadsDevices).
void DiskNotifications::watchFleetFile()
{
    const QString path = QFileInfo(qEnvironmentVariable(kDevicesVariable)).absoluteFilePath();
    auto* watcher = new QFileSystemWatcher(this);
    watcher->addPath(path);
    // A file replaced by rename is a new file, which the watch of the old one
    // does not see: the folder's watch notices it, and the watch moves to it.
    watcher->addPath(QFileInfo(path).absolutePath());
    auto stamp = std::make_shared<FileStamp>(stampOf(path));
    auto rewatch = [watcher, path] {
        watcher->removePath(path);
        if (QFileInfo::exists(path))
            watcher->addPath(path);
    };
    connect(watcher, &QFileSystemWatcher::fileChanged, this, [this, stamp, rewatch, path] {
        *stamp = stampOf(path);
        rewatch();
        noteChange();
    });
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, [this, stamp, rewatch, path] {
        const FileStamp now = stampOf(path);
        if (now == *stamp)
            return;  // another file of the folder
        *stamp = now;
        rewatch();
        noteChange();
    });
    watchesFleet_ = true;
}
