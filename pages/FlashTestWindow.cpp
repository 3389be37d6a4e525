#include "pages/FlashTestWindow.h"

#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "pages/RecordText.h"
#include "pages/SwUpdate.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

FlashTestWindow::FlashTestWindow(QWidget *parent, const QString &appDir)
    : QWidget(parent)
{
    setWindowTitle(tr("SSD Quillfence Flash Test"));

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(132, 12, 132, 0);
    auto *caption = new QLabel(tr("磁盘:"), this);
    caption->setStyleSheet(QStringLiteral("font: 17px \"微软雅黑\";\ncolor: rgb(68, 71, 77);"));
    m_selector = new QComboBox(this);
    m_selector->setObjectName(QStringLiteral("cbDiskInfo"));
    m_selector->setMinimumWidth(420);
    bar->addWidget(caption);
    bar->addWidget(m_selector);
    bar->addStretch();

    m_page = new SwUpdate(this, appDir);
    m_page->setFixedSize(m_page->size());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_page);
    setStyleSheet(QStringLiteral("FlashTestWindow{background: #eeeefb;}"));
    setAttribute(Qt::WA_StyledBackground);

    listDisks();
    selectDisk(m_selector->currentIndex());
    connect(m_selector, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FlashTestWindow::selectDisk);
}

void FlashTestWindow::closeEvent(QCloseEvent *event)
{
    if (m_page->mayClose())
        event->accept();
    else
        event->ignore();
}

void FlashTestWindow::listDisks()
{
    int diskCount = 0;
    ReadDiskList(diskCount, m_disks);
    for (int i = 0; i < diskCount; ++i) {
        PhyDiskInfo &disk = m_disks[i];
        // The maker's tool tests its SATA drives: NVMe drives are not offered.
        if (ReadDiskIdentity(disk) != kIdentityOk || disk.isNvme)
            continue;
        m_selector->addItem(tr("物理磁盘%1  %2").arg(disk.diskNum).arg(recordText(disk.model)), i);
    }
}

void FlashTestWindow::selectDisk(int entry)
{
    if (entry < 0)
        return;
    PhyDiskInfo disk = m_disks[m_selector->itemData(entry).toInt()];
    m_page->GetDiskInfo(disk);
}
