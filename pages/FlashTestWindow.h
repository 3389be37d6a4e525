#pragma once
// quillfence-flashtest's window: a disk selector over the flash and
// read/write test page, for the maker's technicians. The main window does
// not open the test page; this window is the way to it.

#include "disk/PhyDiskInfo.h"

#include <QWidget>

class QComboBox;
class SwUpdate;

class FlashTestWindow : public QWidget
{
    Q_OBJECT

public:
    // appDir: the folder of "M7A0MP" (see SwUpdate); empty means the
    // executable's own.
    explicit FlashTestWindow(QWidget *parent = nullptr, const QString &appDir = QString());

protected:
    // Refused while a test runs: the tool is never killed from here.
    void closeEvent(QCloseEvent *event) override;

private:
    // Reads the disk list (the system disk is never in it) and offers the
    // disks whose identity could be read, NVMe drives excepted. Only once, at the start: a read
    // during a test would send commands to the disk under test.
    void listDisks();
    void selectDisk(int entry);

    PhyDiskInfo m_disks[kMaxDisks];
    QComboBox *m_selector = nullptr;
    SwUpdate *m_page = nullptr;
};
