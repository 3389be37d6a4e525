#include "worker/DeviceWorker.h"

#include "disk/DiskIdentity.h"
#include "disk/StorageBackend.h"

#include <QMetaObject>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// A drive left in standby as it was last read, with the partitions listed now.
DiskReading asLastRead(const PhyDiskInfo& listed, const std::vector<DiskReading>& lastRead)
{
    DiskReading reading{listed, std::nullopt};
    for (const DiskReading& last : lastRead) {
        if (last.record.diskNum != listed.diskNum || last.record.device != listed.device || !last.record.valid)
            continue;
        reading = last;
        PhyDiskInfo& record = reading.record;
        record.partCount = listed.partCount;
        std::copy(std::begin(listed.partLetter), std::end(listed.partLetter), std::begin(record.partLetter));
        std::copy(std::begin(listed.partTotal), std::end(listed.partTotal), std::begin(record.partTotal));
        std::copy(std::begin(listed.partFree), std::end(listed.partFree), std::begin(record.partFree));
        break;
    }
    return reading;
}

// Whether the system disk is there to be listed: asked only when the list
// without it came out empty.
bool systemDiskListed()
{
    int count = 0;
    std::vector<PhyDiskInfo> list(kMaxDisks, PhyDiskInfo{});
    ReadDiskList(count, list.data(), true);
    return std::any_of(list.begin(), list.begin() + count, [](const PhyDiskInfo& disk) { return disk.isSystemDisk; });
}

// Runs on the device thread.
DiskListReading readDisks(bool reloadDevices, bool retryAuthorisation, bool spareStandby, bool listSystemDisk,
                          std::vector<DiskReading>& lastRead)
{
    if (reloadDevices)
        selectStorageFromEnvironment();
    if (retryAuthorisation)
        storage().retryAuthorisation();
    int count = 0;
    std::vector<PhyDiskInfo> list(kMaxDisks, PhyDiskInfo{});
    DiskListReading reading;
    reading.status = ReadDiskList(count, list.data(), listSystemDisk);
    reading.systemDiskLeftOut =
        !listSystemDisk && count == 0 && reading.status == DiskListStatus::Listed && systemDiskListed();
    for (int i = 0; i < count; ++i) {
        // Closing the window stops a reading between two drives.
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        if (!spareStandby) {
            ReadDiskIdentity(list[i]);
            reading.disks.push_back({list[i], RemainingLifeOf(list[i])});
            continue;
        }
        const StandbyCheck check = ReadIdentityUnlessStandby(list[i]);
        DiskReading disk = check.skipped ? asLastRead(list[i], lastRead)
                                         : DiskReading{list[i], RemainingLifeOf(list[i])};
        disk.powerMode = check.mode;
        disk.skipped = check.skipped;
        reading.disks.push_back(disk);
    }
    lastRead = reading.disks;
    return reading;
}

std::optional<DiskReading> readDiskAgain(int diskNum)
{
    PhyDiskInfo disk{};
    bool found = false;
    ReadOneDisk(diskNum, false, disk, found);
    if (!found)
        return std::nullopt;
    return DiskReading{disk, RemainingLifeOf(disk)};
}

}  // namespace

DeviceWorker::DeviceWorker(QObject* parent) : QObject(parent)
{
    context_ = new QObject;
    context_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("devices"));
    thread_.start();
}

DeviceWorker::~DeviceWorker()
{
    shutDown();
}

void DeviceWorker::shutDown()
{
    if (stopped_)
        return;
    stopped_ = true;
    thread_.requestInterruption();
    thread_.quit();
    thread_.wait();
}

void DeviceWorker::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

void DeviceWorker::setReading(bool reading)
{
    if (reading == readingShown_)
        return;
    readingShown_ = reading;
    emit readingChanged(reading);
}

void DeviceWorker::readDiskList(bool reloadDevices, bool retryAuthorisation, bool spareStandby)
{
    if (stopped_)
        return;
    if (running_ || transferring_) {
        pendingRequest_.reloadDevices = pendingRequest_.reloadDevices || reloadDevices;
        pendingRequest_.retryAuthorisation = pendingRequest_.retryAuthorisation || retryAuthorisation;
        pendingRequest_.spareStandby = (pending_ ? pendingRequest_.spareStandby : true) && spareStandby;
        pending_ = true;
        setReading(true);
        return;
    }
    startReading({reloadDevices, retryAuthorisation, spareStandby, listSystemDisk_});
}

void DeviceWorker::startReading(ReadingRequest request)
{
    running_ = true;
    setReading(true);
    post([this, request] {
        auto reading = std::make_shared<DiskListReading>(readDisks(request.reloadDevices, request.retryAuthorisation,
                                                                    request.spareStandby, request.listSystemDisk,
                                                                    lastRead_));
        QMetaObject::invokeMethod(this, [this, reading] { finishReading(*reading); }, Qt::QueuedConnection);
    });
}

void DeviceWorker::finishReading(const DiskListReading& reading)
{
    running_ = false;
    if (stopped_)
        return;  // a reading cut short by shutDown()
    emit diskListRead(reading);
    startPendingReading();
    setReading(readingDisks());
}

void DeviceWorker::startPendingReading()
{
    if (!pending_ || running_ || transferring_ || stopped_)
        return;
    pending_ = false;
    ReadingRequest request = pendingRequest_;
    request.listSystemDisk = listSystemDisk_;
    pendingRequest_ = {};
    startReading(request);
}

bool DeviceWorker::updateFirmware(const FwUpdateState& state, const FirmwareDecision& decision)
{
    if (stopped_ || readingDisks() || transferring_)
        return false;
    transferring_ = true;
    emit transferChanged(true);
    post([this, state, decision] {
        auto result = std::make_shared<FirmwareUpdateResult>();
        result->diskNum = state.diskNum;
        result->outcome = SendFwUpdate(state, decision, [this](const FwTransfer& transfer) {
            QMetaObject::invokeMethod(
                this, [this, transfer] { emit transferProgress(transfer.sent, transfer.planned); },
                Qt::QueuedConnection);
        });
        // What the drive reports now: a new revision, or the old one until
        // it is powered off and on again.
        if (result->outcome.kind == FwOutcomeKind::Download && result->outcome.code == kFwOk)
            result->reread = readDiskAgain(state.diskNum);
        QMetaObject::invokeMethod(this, [this, result] { finishTransfer(*result); }, Qt::QueuedConnection);
    });
    return true;
}

void DeviceWorker::finishTransfer(const FirmwareUpdateResult& result)
{
    if (stopped_)
        return;
    emit firmwareUpdated(result);
    transferring_ = false;
    emit transferChanged(false);
    startPendingReading();
    setReading(readingDisks());
}
