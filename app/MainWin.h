#pragma once
// The program's single top-level window: the disk selector, partitions,
// remaining life and health of the selected disk, the pages, the tray.

#include "app/EmptyStates.h"
#include "disk/PhyDiskInfo.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include <optional>

namespace Ui {
class MainWin;
}
class DiskNotifications;
class FmDataMigrate;
class FwUpdate;
class HelpDlg;
class MaskWidget;
class QAction;
class QLabel;
class QMenu;
class Smart;

class MainWin : public QWidget {
    Q_OBJECT
public:
    // `useTray`: whether the window lives in the system tray too; where no
    // tray exists, hiding to the tray minimises the window instead.
    explicit MainWin(QWidget* parent = nullptr,
                     bool useTray = QSystemTrayIcon::isSystemTrayAvailable());
    ~MainWin() override;

    void RefreshDiskList();

signals:
    void SendDiskInfo(PhyDiskInfo& record);

public slots:
    void GetDiskInfo(PhyDiskInfo& record);
    void onButtonMinClicked();
    void onButtonCloseClicked();
    void DiskChanged(int index);
    void getLife(int percent);
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
    // Ends the process at once; every close of the window comes here.
    virtual void endProcess(int exitCode);

private:
    void setUpLook();
    void createToolbarStrip();
    void createTray();
    void createPages();
    void hideMakerWidgets();
    void showMakerWidgets(const PhyDiskInfo& record);
    void showNoDiskState(EmptyState state);
    void showEmptyState(EmptyState state);
    void hideEmptyState();
    void askCloseChoice();
    void hideToTray();
    bool isAway() const;
    void showFileWriteWarning();
    QRect toolbarRestingPlace() const;
    void slideToolbar(const QRect& from, const QRect& to);

    int diskCount = 0;
    PhyDiskInfo diskList[kMaxDisks];
    Ui::MainWin* ui;
    // A maker's disk was selected and its remaining life has not come yet.
    bool awaitingLife = false;

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
