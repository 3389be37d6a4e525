#include "smart/page/Smart.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPropertyAnimation>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <array>
#include <cstring>

#include "smart/core/SmartCatalog.h"
#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartStatus.h"
#include "smart/export/SmartExport.h"
#include "smart/page/SmartClipboardText.h"
#include "history/view/HealthHistoryView.h"
#include "widgets/CoreText.h"
#include "widgets/MyPushButton.h"

namespace {

// Column widths in pixels, indexed by smart::SmartColumn.
constexpr std::array<int, smart::kSmartColumnCount> kColumnWidths = {
    35, 200, 100, 100, 100, 160, 130, 172,
};

constexpr int kSlideMilliseconds = 200;

QColor toQColor(const smart::Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

Smart::Smart(QWidget *parent)
    : QWidget(parent)
{
    setupForm();
    setupTable();
    model = new QStandardItemModel(this);
    tableView->setModel(model);
    InitHeader();
    setupLook();
    pageHeight = height();
}

void Smart::InitHeader()
{
    model->setColumnCount(smart::kSmartColumnCount);
    QStringList titles;
    for (const char *title : smart::kSmartColumnTitles)
        titles << QString::fromUtf8(title);
    model->setHorizontalHeaderLabels(titles);
    // The header's own minimum width follows the widest glyph of its font and
    // would widen the narrow ID column.
    tableView->horizontalHeader()->setMinimumSectionSize(
        *std::min_element(kColumnWidths.begin(), kColumnWidths.end()));
    for (int column = 0; column < smart::kSmartColumnCount; ++column)
        tableView->setColumnWidth(column, kColumnWidths[column]);
}

void Smart::GetDiskInfo(PhyDiskInfo &record)
{
    model->clear();  // drops the header labels too
    InitHeader();

    smart::SmartDataSector smartData;
    smart::SmartThresholdSector smartThreshold;
    std::memcpy(smartData, record.smartData, sizeof smartData);
    std::memcpy(smartThreshold, record.smartThreshold, sizeof smartThreshold);

    modelText = QString::fromLatin1(QByteArray::fromStdString(smart::ModelText(record)));
    isMakerDisk = record.isMakerDisk != 0;

    std::vector<smart::SmartTableRow> table;
    if (record.isNvme) {
        // An NVMe drive's health log has rows of its own; no catalogue applies.
        attrTable.clear();
        table = smart::BuildSmartTable(record, [this](int life) { emit sendLife(life); }, windowTextLookup());
    } else {
        BuildAttrTable(modelText, isMakerDisk);
        smart::SmartRows rows;
        int count = 0;
        EvaluateSmart(smartData, smartThreshold, rows, count);
        for (int r = 0; r < count; ++r)
            table.push_back(smart::SmartTableRowOf(rows[r], windowTextLookup()));
    }
    showRows(table);
    showEmptyNote(smart::HealthDataRead(record), static_cast<int>(table.size()));

    historyDrive.reset();
    if (record.valid) {
        historyDrive = history::DriveKeyOf(record);
        historyLabel = tr("物理磁盘%1  %2").arg(record.diskNum).arg(QString::fromStdString(historyDrive->model));
    }
    btHistory->setEnabled(historyDrive.has_value());
}

void Smart::BuildAttrTable(const QString &modelText, bool isMakerDisk)
{
    // The catalogue compares ASCII texts only, so the UTF-8 form serves.
    attrTable = smart::BuildAttrTable(modelText.toStdString(), isMakerDisk);
}

void Smart::EvaluateSmart(const smart::SmartDataSector &smartData,
                          const smart::SmartThresholdSector &smartThreshold,
                          smart::SmartRows &rows, int &count)
{
    smart::EvaluateSmart(attrTable, isMakerDisk, smartData, smartThreshold, rows, count,
                         [this](int life) { emit sendLife(life); });
}

void Smart::showRows(const std::vector<smart::SmartTableRow> &rows)
{
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const smart::SmartCells &cells = rows[r].cells;
        for (int c = 0; c < smart::kSmartColumnCount; ++c)
            model->setItem(r, c, new QStandardItem(QString::fromStdString(cells[c])));
        model->item(r, smart::kColumnRawValue)->setToolTip(QString::fromStdString(rows[r].rawToolTip));

        QStandardItem *status = model->item(r, smart::kColumnStatus);
        // Horizontal centre only: the status keeps to the top of its row,
        // a few pixels above the texts of the other cells.
        status->setTextAlignment(Qt::AlignHCenter);
        switch (rows[r].statusTone) {
        case smart::StatusTone::Ok:
            status->setForeground(toQColor(smart::kStatusOkColour));
            break;
        case smart::StatusTone::Alert:
            status->setForeground(toQColor(smart::kStatusAlertColour));
            break;
        case smart::StatusTone::Default:
            break;
        }
    }
}

void Smart::showEmptyNote(bool healthRead, int count)
{
    const char *text = healthRead ? smart::kSmartNoAttributesText : smart::kSmartUnreadableText;
    lbEmptyTable->setText(coreText("smart", text));
    lbEmptyTable->setVisible(count == 0);
}

void Smart::on_btCopyClipBoard_clicked()
{
    const QModelIndexList cells = tableView->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return;
    QApplication::clipboard()->setText(SmartClipboardText(cells, model->columnCount()),
                                       QClipboard::Clipboard);
}

void Smart::on_btExport_clicked()
{
    ExportSmartTable(this, *model);
}

void Smart::on_btHistory_clicked()
{
    if (!historyDrive)
        return;
    QWidget *window = this->window();
    auto *view = new HealthHistoryView(*historyDrive, historyLabel, window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->move(window->geometry().center() - view->rect().center());
    view->open();
}

QPropertyAnimation *Smart::newSlide(const QRect &from, const QRect &to)
{
    auto *animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(kSlideMilliseconds);
    animation->setStartValue(from);
    animation->setEndValue(to);
    return animation;
}

void Smart::SlideIn(int y)
{
    QWidget *window = parentWidget();
    if (window == nullptr)
        return;  // a page slides only inside its window
    const int width = window->width() - 2;
    QPropertyAnimation *slide =
        newSlide(QRect(1, y, width, 0), QRect(1, y - pageHeight, width, pageHeight));
    show();
    slide->start(QAbstractAnimation::DeleteWhenStopped);
    QMetaObject::invokeMethod(window, "toolbarSlideUp");
}

void Smart::SlideOut(int y)
{
    QWidget *window = parentWidget();
    if (window == nullptr)
        return;
    const int width = window->width() - 2;
    QPropertyAnimation *slide =
        newSlide(QRect(1, y - pageHeight, width, pageHeight), QRect(1, y, width, 0));
    connect(slide, &QPropertyAnimation::finished, this, &QWidget::hide);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
    QMetaObject::invokeMethod(window, "toolbarSlideDown");
}
