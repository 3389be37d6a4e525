#include "app/MainWin.h"

#include "disk/DiskList.h"

#include <QLabel>
#include <QVBoxLayout>

MainWin::MainWin(QWidget* parent) : QWidget(parent), diskList{}
{
    resize(1120, 660);
    setMinimumSize(1120, 660);
    setMaximumSize(1120, 1000);
    setWindowTitle(QStringLiteral("SSD Quillfence"));
    setStyleSheet(QStringLiteral("MainWin{background: rgb(50, 143, 253);} QLabel{color: white;}"));

    listing = new QLabel(this);
    listing->setObjectName(QStringLiteral("listing"));
    listing->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    listing->setFont(QFont(QStringLiteral("微软雅黑"), 12));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->addWidget(listing);

    RefreshDiskList();
}

void MainWin::RefreshDiskList()
{
    ReadDiskList(diskCount, diskList);
    showDisks();
}

void MainWin::showDisks()
{
    QString text = QStringLiteral("SSD Quillfence\n\n硬盘数: %1\n").arg(diskCount);
    for (int i = 0; i < diskCount; ++i) {
        const PhyDiskInfo& disk = diskList[i];
        text += QStringLiteral("\n物理磁盘%1  %2 GB\n").arg(disk.diskNum).arg(disk.capacity, 0, 'f', 2);
        if (disk.partCount == 0)
            text += QStringLiteral("    未能检测分区\n");
        for (int k = 0; k < disk.partCount; ++k)
            text += QStringLiteral("    分区(%1)  %2 GB / %3 GB\n")
                        .arg(QLatin1Char(disk.partLetter[k]))
                        .arg(disk.partFree[k], 0, 'f', 2)
                        .arg(disk.partTotal[k], 0, 'f', 2);
    }
    listing->setText(text);
}
