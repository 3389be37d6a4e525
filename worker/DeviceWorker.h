#pragma once
// Every drive request of the window runs on one thread of its own. A request
// may take seconds (a disk spinning up; a failing drive or a stuck USB bridge
// running into its 10 s and 5 s command time-outs), and the storage backend
// serves one caller at a time: the reading of the disk list and the firmware
// transfer queue here, run one after the other on the device thread, and
// their results come back as signals on the thread that made this object
// (the GUI thread), which never waits for a drive.
//
// Make one per process: while it exists no other thread may touch storage().

#include "worker/DiskReading.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <vector>

class DeviceWorker : public QObject {
    Q_OBJECT
public:
    explicit DeviceWorker(QObject* parent = nullptr);
    // Waits for the request in hand; queued requests are dropped.
    ~DeviceWorker() override;

    // Reads the disk list: every disk's record with its partitions, identity
    // and SMART sectors, and the remaining life of the maker's drives.
    // Requests made while a reading runs, or while a transfer runs, are
    // merged into one reading after it. `reloadDevices`: the description of
    // the machine changed (a simulated fleet's file), so the backend is
    // chosen anew before that reading. `retryAuthorisation`: the user asked
    // to try again, so a backend that stopped asking for the administrator's
    // authorisation after a refusal asks again.
    // `spareStandby`: a reading nobody asked for (the watch's): a drive in
    // standby is not woken (ReadIdentityUnlessStandby); merged with a request
    // that does not spare them, none is spared.
    void readDiskList(bool reloadDevices = false, bool retryAuthorisation = false, bool spareStandby = false);
    // A reading runs or is waiting to run.
    bool readingDisks() const { return running_ || pending_; }
    // Whether the readings from now on list the system disk too (marked as
    // such in its record); they do not unless asked.
    void setListSystemDisk(bool list) { listSystemDisk_ = list; }

    // Sends the decided image to the state's drive (SendFwUpdate), then
    // reads that drive again after a successful download. Refused (false,
    // nothing queued) while a reading runs or waits or a transfer runs, so
    // that no disk list changes under a transfer.
    bool updateFirmware(const FwUpdateState& state, const FirmwareDecision& decision);
    bool transferring() const { return transferring_; }

    // Finishes the request in hand (a reading stops after the drive it is
    // reading) and ends the device thread; later requests are ignored.
    void shutDown();

signals:
    void readingChanged(bool reading);
    void diskListRead(const DiskListReading& reading);
    // Sent when the transfer is queued and when it has ended (after
    // firmwareUpdated).
    void transferChanged(bool running);
    // Commands sent of those planned, as the drive takes them.
    void transferProgress(int sent, int planned);
    void firmwareUpdated(const FirmwareUpdateResult& result);

private:
    // What a reading does before it reads; merged requests want either.
    struct ReadingRequest {
        bool reloadDevices = false;
        bool retryAuthorisation = false;
        bool spareStandby = false;
        bool listSystemDisk = false;
    };
    void startReading(ReadingRequest request);
    void finishReading(const DiskListReading& reading);
    void finishTransfer(const FirmwareUpdateResult& result);
    void startPendingReading();
    void setReading(bool reading);
    // Queues `work` for the device thread.
    void post(std::function<void()> work);

    QThread thread_;
    QObject* context_ = nullptr;  // lives on thread_; the requests run in its event loop
    bool running_ = false;
    bool pending_ = false;
    ReadingRequest pendingRequest_;
    // The disks as last read, for the drives a reading leaves in standby;
    // used on the device thread only.
    std::vector<DiskReading> lastRead_;
    bool readingShown_ = false;  // the state readingChanged last told
    bool transferring_ = false;
    bool stopped_ = false;
    bool listSystemDisk_ = false;
};
