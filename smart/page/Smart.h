#pragma once
// The SMART page: the attribute table of the selected disk, with buttons that
// copy the selected cells and export the table to a workbook. A hidden child
// of the main window that slides up over it and down again.

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartAttrDesc.h"
#include "smart/core/SmartRow.h"
#include "smart/core/SmartSector.h"
#include "smart/core/SmartTable.h"
#include "history/HealthSample.h"

class MyPushButton;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPropertyAnimation;
class QRect;
class QStandardItemModel;
class QTableView;

class Smart : public QWidget
{
    Q_OBJECT

public:
    explicit Smart(QWidget *parent = nullptr);

    // Grow the page upwards from line y of the parent, or shrink it back down
    // to y and hide it, over 200 ms; the parent's toolbar strip moves along
    // through its toolbarSlideUp() / toolbarSlideDown() slots.
    void SlideIn(int y);
    void SlideOut(int y);

    // Eight columns with their titles and widths.
    void InitHeader();

signals:
    // The remaining life in percent, while a maker's drive is evaluated.
    void sendLife(int life);

public slots:
    // Rebuilds the table for the record; only reads it.
    void GetDiskInfo(PhyDiskInfo &record);
    void on_btCopyClipBoard_clicked();
    void on_btExport_clicked();
    // The selected drive's health history, in a dialog of its own.
    void on_btHistory_clicked();

private:
    void setupForm();
    void setupTable();
    void setupLook();
    void BuildAttrTable(const QString &modelText, bool isMakerDisk);
    void EvaluateSmart(const smart::SmartDataSector &smartData,
                       const smart::SmartThresholdSector &smartThreshold,
                       smart::SmartRows &rows, int &count);
    void showRows(const std::vector<smart::SmartTableRow> &rows);
    // Says over an empty table why it is empty (the drive answered or not);
    // hidden while rows are shown.
    void showEmptyNote(bool healthRead, int count);
    // A 200 ms animation of the page's geometry, not yet started.
    QPropertyAnimation *newSlide(const QRect &from, const QRect &to);

    QGridLayout *gridLayout = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *label = nullptr;
    MyPushButton *btCopyClipBoard = nullptr;
    MyPushButton *btExport = nullptr;
    MyPushButton *btHistory = nullptr;
    QTableView *tableView = nullptr;
    QLabel *lbEmptyTable = nullptr;

    QStandardItemModel *model = nullptr;
    QString modelText;
    bool isMakerDisk = false;
    std::vector<smart::SmartAttrDesc> attrTable;
    int pageHeight = 0;
    // The drive whose history btHistory opens, and how the window names it;
    // none while the record shown has no identity.
    std::optional<history::DriveKey> historyDrive;
    QString historyLabel;
};
