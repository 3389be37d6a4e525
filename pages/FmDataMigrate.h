#pragma once
// The firmware-detection page: tells whether the selected drive presents
// itself in its loader state. It judges only the record it receives and sends
// nothing to the drive.

#include "disk/PhyDiskInfo.h"

#include <QWidget>

class QLabel;

class FmDataMigrate : public QWidget {
    Q_OBJECT
public:
    explicit FmDataMigrate(QWidget* parent = nullptr);

    // Page switching of the main window; see pages/PageSlide.h.
    void SlideIn(int y);
    void SlideOut(int y);

public slots:
    // Sets the verdict for the selected disk's record.
    void GetDiskInfo(PhyDiskInfo& info);

private:
    void setupForm();
    void retranslateUi();

    QLabel* label_5 = nullptr;  // title
    QLabel* label_1 = nullptr;  // caption of the status
    QLabel* label = nullptr;    // the status
    int pageHeight = 0;
};
