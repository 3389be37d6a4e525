#pragma once
// The program's top-level window. For now it lists the disks and their
// partitions as text; the full window with its pages replaces this.

#include "disk/PhyDiskInfo.h"

#include <QWidget>

class QLabel;

class MainWin : public QWidget {
    Q_OBJECT
public:
    explicit MainWin(QWidget* parent = nullptr);

    void RefreshDiskList();
    int diskCountForTest() const { return diskCount; }

private:
    void showDisks();

    int diskCount = 0;
    PhyDiskInfo diskList[kMaxDisks];
    QLabel* listing = nullptr;
};
