#pragma once
// The firmware-update page: identity of the selected disk, and a button that
// sends the maker's firmware image fitting the drive, when the drive
// qualifies. The transfer runs on the GUI thread and blocks it until it ends.

#include "disk/PhyDiskInfo.h"
#include "firmware/FwUpdate.h"

#include <QWidget>

class QLabel;
class QPushButton;

class FwUpdate : public QWidget {
    Q_OBJECT
public:
    explicit FwUpdate(QWidget* parent = nullptr);

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

    FwUpdateState state;  // number, model and maker flag of the last record
    int pageHeight = 0;
};
