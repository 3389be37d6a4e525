#pragma once
// What the firmware-update page says around a transfer: the question before
// anything is sent, and what the drive reports once it is read again.

#include "worker/DiskReading.h"

#include <QString>

// The drive and the image the question names.
struct FwUpdateTarget {
    QString model;
    QString serial;
    QString revision;   // as the page shows it before the update
    double capacity;    // GB of 2^30 bytes
    QString imagePath;
    qint64 imageBytes;
};

// Rich text for the message dialog: the drive, the image and its size, and
// the warning not to cut the power or unplug the drive during the transfer.
QString FwUpdateQuestion(const FwUpdateTarget& target);

// After a successful download: the revision the drive reports now, or, where
// it reports the revision it had, that a power cycle may be needed first.
QString FwRevisionNote(const QString& revisionBefore, const std::optional<DiskReading>& reread);

// Shown under the progress bar while the transfer runs. These texts, like
// the functions' results, belong to the page's translation context.
constexpr const char* kFwTransferRunningText = QT_TRANSLATE_NOOP("FwUpdate", "正在升级固件，请勿关闭电源或拔出磁盘");
// The button was pressed, or the question answered, while the disk list is
// being read: nothing is sent.
constexpr const char* kFwDisksChangingText =
    QT_TRANSLATE_NOOP("FwUpdate", "正在读取磁盘信息，固件未发送，请稍后再试");
