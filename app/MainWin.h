#pragma once
// The program's single top-level window: the disk selector, partitions,
// remaining life and health of the selected disk, the pages, the tray.

#include "app/EmptyStates.h"
#include "disk/PhyDiskInfo.h"
#include "worker/DiskReading.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include <optional>

namespace Ui {
class MainWin;
}
class DeviceWorker;
class DiskNotifications;
class FmDataMigrate;
class FwUpdate;
class HelpDlg;
class MaskWidget;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class Smart;

class MainWin : public QWidget {
    Q_OBJECT
public:
    // `useTray`: whether the window lives in the system tray too; where no
    // tray exists, hiding to the tray minimises the window instead.
    explicit MainWin(QWidget* parent = nullptr,
                     bool useTray = QSystemTrayIcon::isSystemTrayAvailable());
    ~MainWin() override;

    // Asks the device thread to read the disk list again; the window shows
    // it when it comes (requests made meanwhile are merged into one).
    void RefreshDiskList();
    // The thread every drive request of the window runs on.
    DeviceWorker& devices() const { return *devices_; }
    // The list shown is not yet the last one asked for.
    bool readingDisks() const;

signals:
    void SendDiskInfo(PhyDiskInfo& record);

public slots:
    void GetDiskInfo(PhyDiskInfo& record);
    void onButtonMinClicked();
    void onButtonCloseClicked();
    void DiskChanged(int index);
    // The remaining life of disk `diskNum`; shown only while that disk is.
    void getLife(int diskNum, int percent);
    void on_btRefresh_clicked();
    void CopyPhyDiskInf();
    void iconIsActived(QSystemTrayIcon::ActivationReason reason);
    void slotClicked();
    void slotCloseAction();
    void SelectUi(int index);
    void ShowHelp();
    void trianglehide();
    // Called by a page right after it starts sliding in or out.
    void toolbarSlideUp();
    void toolbarSlideDown();
    // Shows the window from wherever it is (hidden to the tray, minimised,
    // behind others), raised and active: a second start of the program asks
    // for this.
    void bringBack();
    // Lists the system disk too, or no longer, keeps the choice in the
    // user's settings and reads the list again.
    void setListSystemDisk(bool list);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
    // Ends the process at once; every close of the window comes here.
    virtual void endProcess(int exitCode);

private:
    void askFirstReading();
    // Fills the selector with a list read by the device thread.
    void applyDiskList(const DiskListReading& reading);
    // A disk read again after a firmware update takes its slot.
    void applyReread(const FirmwareUpdateResult& result);
    void showReading(bool reading);
    void showTransfer(bool running);
    void showTransferInTray(bool running);
    std::optional<int> lifeOf(int diskNum) const;
    // The refusal, or the question, while a firmware transfer runs: the
    // message dialog with `icon` and `buttonSet`; true for 确定.
    bool askDuringTransfer(const char* icon, const char* text, int buttonSet);
    void setUpLook();
    void createToolbarStrip();
    void createTray();
    // The pages are built when first opened; each gets the record shown.
    Smart* ensureSmartPage();
    FmDataMigrate* ensureDetectionPage();
    FwUpdate* ensureUpdatePage();
    template <typename Page>
    Page* adoptPage(Page* page);
    void hideMakerWidgets();
    void showMakerWidgets(const PhyDiskInfo& record);
    void showNoDiskState(EmptyState state);
    void showEmptyState(EmptyState state);
    // lbNUM: the number of entries in the selector, white 黑体 28 px.
    void showDiskCount();
    void hideEmptyState();
    // The selector entry of a listed disk.
    QString entryText(const PhyDiskInfo& disk) const;
    void createSystemDiskChoice();
    void askCloseChoice();
    void hideToTray();
    bool isAway() const;
    void showFileWriteWarning();
    QRect toolbarRestingPlace() const;
    void slideToolbar(const QRect& from, const QRect& to);

    int diskCount = 0;
    PhyDiskInfo diskList[kMaxDisks];
    std::optional<int> lives[kMaxDisks];  // of the disks in diskList, slot by slot
    Ui::MainWin* ui;
    // A maker's disk was selected and its remaining life has not come yet.
    bool awaitingLife = false;
    // The record the window and the pages show, and its disk.
    PhyDiskInfo shownRecord{};
    bool recordShown = false;
    int shownDisk = -1;

    DeviceWorker* devices_ = nullptr;
    bool firstReadingAsked = false;
    bool listShown = false;  // a reading has been shown
    bool quitAfterTransfer = false;           // 退出 was chosen during a transfer
    QFont emptyStateFont;                     // lbNoPartition's, from the form

    QAction* systemDiskAction = nullptr;  // 显示系统盘, in the tray menu and the selector's
    QPushButton* systemDiskButton = nullptr;  // under the empty state that offers the system disk

    QLabel* toolbarStrip = nullptr;
    MaskWidget* mask = nullptr;
    bool useTray;
    QSystemTrayIcon* trayIcon = nullptr;
    QMenu* trayMenu = nullptr;
    QAction* showAction = nullptr;
    QAction* quitAction = nullptr;
    Smart* smartPage = nullptr;
    FmDataMigrate* detectionPage = nullptr;
    FwUpdate* updatePage = nullptr;
    HelpDlg* helpDlg = nullptr;
    DiskNotifications* notifications = nullptr;
};

// The disk number of a selector entry "物理磁盘%1  %2", if it has one.
std::optional<int> diskNumberOfEntry(const QString& text);
