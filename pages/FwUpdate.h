#pragma once
// The firmware-update page: identity of the selected disk, and a button that
// sends the maker's firmware image fitting the drive, when the drive
// qualifies and the user confirms. The transfer runs on the device thread
// with a progress bar; afterwards the page shows the revision the drive
// reports.

#include "disk/PhyDiskInfo.h"
#include "firmware/FwUpdate.h"
#include "worker/DiskReading.h"

#include <QWidget>

class DeviceWorker;
class QLabel;
class QProgressBar;
class QPushButton;

class FwUpdate : public QWidget {
    Q_OBJECT
public:
    // `devices` runs the transfer; without one the page starts its own
    // device thread when it first needs it.
    explicit FwUpdate(QWidget* parent = nullptr, DeviceWorker* devices = nullptr);

    // Page switching of the main window; see pages/PageSlide.h.
    void SlideIn(int y);
    void SlideOut(int y);

public slots:
    // Keeps number, model and maker flag of the selected disk and shows its
    // serial number, model and firmware revision.
    void GetDiskInfo(PhyDiskInfo& info);
    void on_btUpdate_clicked();

private:
    void setupForm();
    void retranslateUi();
    void showRecord(const PhyDiskInfo& info);
    DeviceWorker& devices();
    void watch(DeviceWorker* devices);
    // The question before anything is sent; true for 确定.
    bool confirmUpdate(const FirmwareDecision& decision);
    void showTransferStarted();
    void showProgress(int sent, int planned);
    void showOutcome(const FirmwareUpdateResult& result);
    // The message dialog with the success or the notice icon and an OK
    // button, run modally; its result().
    int ShowSuccess(const QString& text);
    int ShowNotice(const QString& text);
    int showMessage(const QString& iconPath, const QString& text);

    QLabel* label_2 = nullptr;  // title
    QLabel* label = nullptr;    // captions
    QLabel* label_4 = nullptr;
    QLabel* label_6 = nullptr;
    QLabel* lb_Sn = nullptr;
    QLabel* lb_Model = nullptr;
    QLabel* lb_FW = nullptr;    // the revision the update decision reads
    QPushButton* btUpdate = nullptr;
    QProgressBar* pbTransfer = nullptr;  // commands sent of those planned
    QLabel* lbUpdateNote = nullptr;      // during and after a transfer

    FwUpdateState state;  // number, model and maker flag of the last record
    QString serial;       // of the last record, for the question
    QString model;
    double capacity = 0;
    int pageHeight = 0;

    DeviceWorker* devices_ = nullptr;
    bool awaitingResult = false;  // this page started the transfer under way
    QString revisionBefore;       // lb_FW when the transfer started
    int noteDisk = -1;            // the disk lbUpdateNote speaks of
};
