// The system disk on request. The list leaves the system disk out unless the
// user asks for it: where it is the only disk (a laptop whose one SSD holds
// the system) the empty state offers it, and a checkable 显示系统盘 in the
// tray menu and the selector's context menu turns it on and off. The choice
// is kept in the user's settings. Listed, the system disk is read like any
// other disk; its firmware is never updated (the firmware core refuses it).

#include "app/MainWin.h"
#include "files/UserSettings.h"
#include "ui_MainWin.h"
#include "widgets/QMessageDlg.h"
#include "worker/DeviceWorker.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace {

// The key of the user's settings file, "1" to list the system disk.
const char kListSystemDiskKey[] = "show-system-disk";

// Light on the window's blue: an outlined button in the empty state's colour.
const char kOfferStyle[] =
    "QPushButton{border: 1px solid rgb(235, 243, 254); border-radius: 2px; color: rgb(235, 243, 254);"
    " background: transparent; font: 16px \"微软雅黑\"; padding: 0px 12px;}"
    "QPushButton:hover{background: rgba(255, 255, 255, 40);}"
    "QPushButton:pressed{background: rgba(255, 255, 255, 70);}";
constexpr int kOfferHeight = 36;
constexpr int kOfferGap = 8;  // between the empty state's text and the button

bool listSystemDiskChosen()
{
    return files::readUserSetting(kListSystemDiskKey).value_or("0") == "1";
}

}  // namespace

void MainWin::createSystemDiskChoice()
{
    const bool chosen = listSystemDiskChosen();
    devices_->setListSystemDisk(chosen);

    systemDiskAction = new QAction(tr("显示系统盘"), this);
    systemDiskAction->setCheckable(true);
    systemDiskAction->setChecked(chosen);
    trayMenu->insertAction(quitAction, systemDiskAction);
    ui->cbDiskInfo->addAction(systemDiskAction);
    connect(systemDiskAction, &QAction::toggled, this, &MainWin::setListSystemDisk);

    // Centred under the empty state's label, as wide as its text needs.
    systemDiskButton = new QPushButton(tr("显示系统盘"), ui->centreWidget);
    systemDiskButton->setObjectName(QStringLiteral("btShowSystemDisk"));
    systemDiskButton->setStyleSheet(QString::fromUtf8(kOfferStyle));
    systemDiskButton->setCursor(Qt::PointingHandCursor);
    const QRect label = ui->lbNoPartition->geometry();
    const int width = systemDiskButton->sizeHint().width();
    systemDiskButton->setGeometry(label.center().x() - width / 2, label.bottom() + 1 + kOfferGap, width, kOfferHeight);
    systemDiskButton->hide();
    connect(systemDiskButton, &QPushButton::clicked, systemDiskAction, [this] { systemDiskAction->setChecked(true); });
}

void MainWin::setListSystemDisk(bool list)
{
    if (systemDiskAction->isChecked() != list) {
        systemDiskAction->setChecked(list);  // comes back here through toggled()
        return;
    }
    // The choice holds for this run even where it could not be kept.
    if (!files::writeUserSetting(kListSystemDiskKey, list ? "1" : "0")) {
        QMessageDlg dialog(this);
        dialog.resize(300, 200);
        dialog.setMessage(QStringLiteral(":/Quillfence/Resources/icon2.png"),
                          tr("设置未能保存，下次启动时需要重新选择"), 0);
        dialog.exec();
    }
    devices_->setListSystemDisk(list);
    RefreshDiskList();
}
