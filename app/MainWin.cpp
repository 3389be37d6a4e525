#include "app/MainWin.h"

#include "app/DiskNotifications.h"
#include "smart/core/HealthLevel.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartTable.h"
#include "ui_MainWin.h"
#include "widgets/MaskWidget.h"
#include "widgets/TextFit.h"
#include "worker/DeviceWorker.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include <cstring>

namespace {

const QString kResources = QStringLiteral(":/Quillfence/Resources/");

// The picture of each health level, under main/.
const char* levelPicture(smart::HealthLevel level)
{
    switch (level) {
    case smart::HealthLevel::Warning:
        return "bad_icon.png";
    case smart::HealthLevel::Normal:
        return "fine_icon.png";
    case smart::HealthLevel::Good:
        break;
    }
    return "excellent_icon.png";
}

// In place of the ring when a maker's disk brings no remaining life.
const char* const kLifeUnreadable = QT_TRANSLATE_NOOP("MainWin", "未能读取剩余寿命");
// In place of the model in the selector entry of a disk whose identity
// could not be read, and of one that another program was updating (its
// writer's lock kept every command out).
const char* const kIdentityUnreadable = QT_TRANSLATE_NOOP("MainWin", "未能读取磁盘信息");
const char* const kDiskBusy = QT_TRANSLATE_NOOP("MainWin", "正在升级固件");

// The refresh button while the list is being read.
const char* const kRefreshText = QT_TRANSLATE_NOOP("MainWin", "刷新");
const char* const kRefreshingText = QT_TRANSLATE_NOOP("MainWin", "刷新中");  // within the button's 75 px, beside its icon
// The empty state's text shrinks to fit its label, down to this size.
constexpr int kSmallestEmptyStatePoints = 20;
// The first reading waits for the first paint, but no longer than this.
constexpr int kFirstReadingLatestMs = 1000;

// A disk as listed before its identity is read: what a refresh shows its
// receivers first, when the selector is cleared.
PhyDiskInfo listedOnly(const PhyDiskInfo& disk)
{
    PhyDiskInfo listed = disk;
    for (char* text : {listed.serialNumber, listed.model, listed.firmware})
        std::memset(text, 0, kTextLength);
    std::memset(listed.smartData, 0, sizeof listed.smartData);
    std::memset(listed.smartThreshold, 0, sizeof listed.smartThreshold);
    listed.isMakerDisk = 0;
    listed.valid = 0;
    return listed;
}

// The drop-down list of the selector: the entry under the mouse, or chosen
// with the keys, in the window's blue with white text; and the selector
// disabled.
const char kSelectorStyleAdded[] =
    "QComboBox QAbstractItemView{background: white; color: rgb(68, 71, 77); border: 1px solid rgb(200, 200, 220);"
    " outline: 0px;}"
    "QComboBox QAbstractItemView::item{min-height: 30px;}"
    "QComboBox QAbstractItemView::item:hover, QComboBox QAbstractItemView::item:selected"
    "{background: rgb(50, 143, 253); color: white;}"
    // While it cannot be changed (a firmware transfer), the selector's text
    // is dimmed to the light blue of the window's other texts and the arrow
    // that would open it is gone.
    "QComboBox:disabled{color: rgb(185, 206, 248);}"
    "QComboBox::down-arrow:disabled{image: none;}";

}  // namespace

// The entry's first number is the disk's: every language's entry names the
// disk's number before anything else that has digits (its model).
std::optional<int> diskNumberOfEntry(const QString& text)
{
    int start = 0;
    while (start < text.size() && !text.at(start).isDigit())
        ++start;
    int end = start;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    bool ok = false;
    const int number = text.mid(start, end - start).toInt(&ok, 10);
    return ok ? std::optional<int>(number) : std::nullopt;
}

MainWin::MainWin(QWidget* parent, bool useTray)
    : QWidget(parent), diskList{}, ui(new Ui::MainWin), useTray(useTray)
{
    // 1. The form and its texts.
    ui->setupUi(this);
    // 2. Title bar.
    ui->TitleBar->setTitleIcon(kResources + "main/SSD-Quillfence_logo.png");
    connect(ui->TitleBar, &MyTitleBar::signalButtonMinClicked, this, &MainWin::onButtonMinClicked);
    connect(ui->TitleBar, &MyTitleBar::signalButtonCloseClicked, this, &MainWin::onButtonCloseClicked);
    connect(ui->TitleBar, &MyTitleBar::signalButtonHelpClicked, this, &MainWin::ShowHelp);
    setWindowTitle(QStringLiteral("SSD Quillfence"));
    // 3. Page buttons.
    const struct {
        const char* caption;
        const char* selected;
        const char* normal;
    } pageButtons[] = {
        {QT_TR_NOOP("S.M.A.R.T信息"), "S.M.R.T_icon_sel.png", "S.M.R.T_icon.png"},
        {QT_TR_NOOP("固件检测"), "system-migration_icon_sel.png", "system-migration_icon.png"},
        {QT_TR_NOOP("固件升级"), "firmware-upgrade_icon_sel.png", "firmware-upgrade_icon.png"},
        {QT_TR_NOOP("Flash Test"), "software-update_sel.png", "software-update.png"},
    };
    for (int i = 0; i < 4; ++i)
        ui->MenuButton->addButton(kResources + "3toolbar/" + pageButtons[i].normal,
                                  kResources + "3toolbar/" + pageButtons[i].selected,
                                  tr(pageButtons[i].caption), i);
    connect(ui->MenuButton, &QMenuButton::select, this, &MainWin::SelectUi);
    // 4 to 6. Selector, refresh button and the initial look.
    setUpLook();
    // 7. Toolbar strip and tray.
    createToolbarStrip();
    createTray();
    // 8. Selection, own receiver, round refresh button; the pages are built
    // when first opened.
    connect(ui->cbDiskInfo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWin::DiskChanged);
    connect(this, &MainWin::SendDiskInfo, this, &MainWin::GetDiskInfo);
    connect(ui->usbbtn, &QUsbButton::usbBtnclicked, this, &MainWin::on_btRefresh_clicked);
    // 9. The device thread, and disk arrival and removal.
    devices_ = new DeviceWorker(this);
    connect(devices_, &DeviceWorker::diskListRead, this, &MainWin::applyDiskList);
    connect(devices_, &DeviceWorker::readingChanged, this, &MainWin::showReading);
    connect(devices_, &DeviceWorker::transferChanged, this, &MainWin::showTransfer);
    connect(devices_, &DeviceWorker::firmwareUpdated, this, &MainWin::applyReread);
    notifications = new DiskNotifications(this);
    connect(notifications, &DiskNotifications::disksChanged, this,
            [this] { devices_->readDiskList(notifications->reloadsDevices()); });
    // Whether the list shows the system disk, as the user chose.
    createSystemDiskChoice();
    // 10. The mask that dims the window under a message dialog.
    mask = new MaskWidget(this);
    mask->setDialogNames({QStringLiteral("QVMsgBox")});
    // 11. The first reading, once the window has painted: a window that is
    // not shown reads at once, and one that never gets to paint (started
    // minimised) after a second.
    showReading(true);
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            askFirstReading();
    });
    QTimer::singleShot(kFirstReadingLatestMs, this, &MainWin::askFirstReading);
    // 12.
    ui->usbbtn->setToolTip(tr("点我刷新"));
    ui->label_2->hide();
}

MainWin::~MainWin()
{
    devices_->shutDown();
    delete ui;
}

void MainWin::setUpLook()
{
    QFont selectorFont(QStringLiteral("微软雅黑"));
    selectorFont.setPixelSize(20);
    selectorFont.setBold(true);
    ui->cbDiskInfo->setFont(selectorFont);
    // White text on the blue gradient; the style sheet below leaves the text colour alone.
    QPalette selectorPalette = ui->cbDiskInfo->palette();
    selectorPalette.setColor(QPalette::ButtonText, Qt::white);
    selectorPalette.setColor(QPalette::Text, Qt::white);
    ui->cbDiskInfo->setPalette(selectorPalette);
    ui->cbDiskInfo->setStyleSheet(QStringLiteral(
        "QComboBox{background: transparent;border: 0px;}QComboBox::down-arrow{image: "
        "url(:/Quillfence/Resources/main/pull-down_btn.png)}QComboBox::drop-down{ border:0px; }")
                                  + QString::fromUtf8(kSelectorStyleAdded));
    // The combo box's own list delegate ignores the item rules of a style sheet.
    ui->cbDiskInfo->setItemDelegate(new QStyledItemDelegate(ui->cbDiskInfo));
    for (QLabel* line : {ui->LeftLine, ui->RightLine, ui->RightLine_2})
        line->setPixmap(QPixmap(kResources + "line.png"));
    ui->label->setPixmap(QPixmap(kResources + "main/disk_select_icon.png"));
    auto* copy = new QAction(tr("复制信息到剪贴板"), ui->cbDiskInfo);
    ui->cbDiskInfo->addAction(copy);
    ui->cbDiskInfo->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy, &QAction::triggered, this, &MainWin::CopyPhyDiskInf);

    ui->btRefresh->setButtonStyle(kResources + "刷新.png", kResources + "刷新_sel.png", true, true);

    ui->life->setMaximum(100);
    ui->life->setValue(0);
    ui->life->setRingWidth(2);
    // The drive picture is decoded when a maker's disk first shows it; the
    // large status picture when the list says which one applies.
    ui->usbbtn->setShown(false);
    hideMakerWidgets();
    emptyStateFont = ui->lbNoPartition->font();
    showEmptyState(EmptyState::Reading);
    showDiskCount();
}

void MainWin::hideMakerWidgets()
{
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->lbLifeRemain, ui->lbNameStauts, ui->lbNameSSD,
                                                           ui->life, ui->lbPicSSD, ui->lbPicStatus,
                                                           ui->lbLifeUnknown})
        widget->hide();
    awaitingLife = false;
}

// The drive's picture and name at once; its remaining life and health level
// only from the life read with this very disk (getLife checks the disk
// number), otherwise a note in place of the ring, so that no other disk's
// life shows. An NVMe drive reports its wear whoever made it: its life shows
// too, under the maker's name and picture only when it is the maker's.
void MainWin::showMakerWidgets(const PhyDiskInfo& record)
{
    hideMakerWidgets();
    const bool maker = record.isMakerDisk == 1;
    if (!maker && !record.isNvme)
        return;
    ui->lbLifeRemain->show();
    if (maker) {
        if (ui->lbPicSSD->pixmap(Qt::ReturnByValue).isNull())
            ui->lbPicSSD->setPixmap(QPixmap(kResources + "main/SSD.png"));
        ui->lbNameSSD->show();
        ui->lbPicSSD->show();
    }
    ui->lbLifeUnknown->setText(smart::HealthDataRead(record) ? tr(kLifeUnreadable)
                                                            : QCoreApplication::translate("smart", smart::kSmartUnreadableText));
    ui->lbLifeUnknown->show();
    awaitingLife = true;
    if (const std::optional<int> life = lifeOf(record.diskNum))
        getLife(record.diskNum, *life);
}

std::optional<int> MainWin::lifeOf(int diskNum) const
{
    for (int i = 0; i < diskCount; ++i) {
        if (diskList[i].diskNum == diskNum)
            return lives[i];
    }
    return std::nullopt;
}

// In the form's 30 pt where the text fits the label, otherwise a little
// smaller: a state is said on one line, whole.
void MainWin::showEmptyState(EmptyState state)
{
    for (const EmptyStateText& row : kEmptyStateTexts) {
        if (row.state == state)
            setShrunkText(ui->lbNoPartition, tr(row.text), emptyStateFont, kSmallestEmptyStatePoints);
    }
    ui->lbNoPartition->show();
    // Built after the first state (Reading) is shown.
    if (systemDiskButton)
        systemDiskButton->setVisible(state == EmptyState::SystemDiskLeftOut);
}

void MainWin::hideEmptyState()
{
    ui->lbNoPartition->hide();
    systemDiskButton->hide();
}

void MainWin::RefreshDiskList()
{
    devices_->readDiskList();
}

bool MainWin::readingDisks() const
{
    return !listShown || devices_->readingDisks();
}

void MainWin::askFirstReading()
{
    if (firstReadingAsked)
        return;
    firstReadingAsked = true;
    RefreshDiskList();
}

void MainWin::applyDiskList(const DiskListReading& reading)
{
    const std::optional<int> previous = diskNumberOfEntry(ui->cbDiskInfo->currentText());
    // A failed list leaves the window showing what it showed; before any
    // list was shown, that there is none.
    if (reading.status == DiskListStatus::NoSystemDisk) {
        if (!listShown)
            showNoDiskState(EmptyState::NoDisk);
        listShown = true;
        return;
    }
    listShown = true;

    // The receivers see the refresh as it went on the drives: the cleared
    // selector sends the first disk as listed, then each entry its disk read.
    diskCount = static_cast<int>(reading.disks.size());
    for (int i = 0; i < kMaxDisks; ++i) {
        diskList[i] = i < diskCount ? listedOnly(reading.disks[i].record) : PhyDiskInfo{};
        lives[i].reset();
    }
    ui->cbDiskInfo->clear();
    for (int i = 0; i < diskCount; ++i) {
        diskList[i] = reading.disks[i].record;
        lives[i] = reading.disks[i].life;
        ui->cbDiskInfo->addItem(QIcon(), entryText(diskList[i]));
    }

    // With disks, the partition bars or the empty state follow the selected
    // disk (GetDiskInfo).
    if (diskCount == 0) {
        showNoDiskState(reading.status == DiskListStatus::NoAccess        ? EmptyState::NoRights
                        : reading.status == DiskListStatus::NotAuthorised ? EmptyState::NotAuthorised
                        : reading.systemDiskLeftOut                       ? EmptyState::SystemDiskLeftOut
                                                                          : EmptyState::NoDisk);
    } else {
        ui->lbHealth->setPixmap(QPixmap(kResources + "add/refresh_circle2x.png"));
        ui->usbbtn->setShown(true);
    }

    if (previous) {
        for (int i = 0; i < ui->cbDiskInfo->count(); ++i) {
            if (diskNumberOfEntry(ui->cbDiskInfo->itemText(i)) == previous) {
                ui->cbDiskInfo->setCurrentIndex(i);
                break;
            }
        }
    }
    update();
}

// The updated drive as it answers now: its slot, its entry and, when it is
// the disk shown, the window and the pages. A drive whose identity cannot be
// read now keeps what was read before, until the next refresh.
void MainWin::applyReread(const FirmwareUpdateResult& result)
{
    if (!result.reread || !result.reread->record.valid)
        return;
    for (int i = 0; i < diskCount; ++i) {
        if (diskList[i].diskNum != result.diskNum)
            continue;
        diskList[i] = result.reread->record;
        lives[i] = result.reread->life;
        ui->cbDiskInfo->setItemText(i, entryText(diskList[i]));
        if (shownDisk == result.diskNum) {
            PhyDiskInfo record = diskList[i];
            emit SendDiskInfo(record);
        }
        return;
    }
}

// "物理磁盘%1  %2" with the disk's number and model. A disk whose identity
// cannot be read is listed all the same, saying so: the user sees it was
// found, and the count matches the list. The system disk says that it is
// one before its model, where a long model's elision cannot hide it.
QString MainWin::entryText(const PhyDiskInfo& disk) const
{
    const QString name = disk.valid  ? QString::fromLatin1(disk.model)
                         : disk.busy ? tr(kDiskBusy)
                                     : tr(kIdentityUnreadable);
    if (disk.isSystemDisk)
        return tr("物理磁盘%1  （系统盘）%2").arg(disk.diskNum).arg(name);
    return tr("物理磁盘%1  %2").arg(disk.diskNum).arg(name);
}

void MainWin::showReading(bool reading)
{
    ui->btRefresh->setText(tr(reading ? kRefreshingText : kRefreshText));
    ui->btRefresh->setEnabled(!reading && !devices_->transferring());
}

// While firmware is sent, the disk shown cannot change and the list is not
// read again (requests wait for the end).
void MainWin::showTransfer(bool running)
{
    showTransferInTray(running);
    ui->cbDiskInfo->setEnabled(!running);
    ui->btRefresh->setEnabled(!running && !devices_->readingDisks());
    if (!running && quitAfterTransfer)
        close();
}

void MainWin::showNoDiskState(EmptyState state)
{
    ui->lbHealth->setPixmap(QPixmap(kResources + "main/trouble.png"));
    ui->usbbtn->setShown(false);
    hideMakerWidgets();
    ui->LogicDisk->clear();
    ui->LogicDisk->update();
    showEmptyState(state);
}

void MainWin::DiskChanged(int index)
{
    if (index == -1) {
        PhyDiskInfo record = diskList[0];
        emit SendDiskInfo(record);
        return;
    }
    const auto diskNum = diskNumberOfEntry(ui->cbDiskInfo->itemText(index));
    if (!diskNum)
        return;
    for (const PhyDiskInfo& slot : diskList) {
        if (slot.diskNum == *diskNum) {
            PhyDiskInfo record = slot;
            emit SendDiskInfo(record);
            return;
        }
    }
}

void MainWin::GetDiskInfo(PhyDiskInfo& record)
{
    shownRecord = record;
    recordShown = true;
    shownDisk = record.diskNum;
    DiskWidget* bars = ui->LogicDisk;
    bars->clear();
    if (record.partCount > 4) {
        bars->setColumns(2);
        bars->setFontSize(9);
    } else {
        bars->setColumns(1);
        bars->setFontSize(11);
    }
    for (int k = 0; k < record.partCount; ++k)
        bars->addItem(kResources + "main/disk_small.png", QString(QLatin1Char(record.partLetter[k])),
                      static_cast<float>(record.partTotal[k] - record.partFree[k]),
                      static_cast<float>(record.partTotal[k]));
    bars->update();
    if (record.partCount == 0)
        showEmptyState(EmptyState::NoPartition);
    else
        hideEmptyState();
    showMakerWidgets(record);
}

void MainWin::getLife(int diskNum, int percent)
{
    if (diskNum != shownDisk)
        return;  // a late value of a disk no longer shown
    ui->life->setValue(percent);
    const std::optional<smart::HealthLevel> level = smart::HealthLevelOf(percent);
    const bool levelKnown = level.has_value();
    if (level) {
        ui->lbPicStatus->setPixmap(QPixmap(kResources + "main/" + levelPicture(*level)));
        ui->lbNameStauts->setText(tr("健康指标：%1").arg(QCoreApplication::translate("smart", smart::HealthLevelText(*level))));
    }
    // The life of the maker's disk just selected: the ring replaces the note;
    // a value outside 0 to 100 gives no health level.
    if (awaitingLife) {
        awaitingLife = false;
        ui->lbLifeUnknown->hide();
        ui->life->show();
        ui->lbPicStatus->setVisible(levelKnown);
        ui->lbNameStauts->setVisible(levelKnown);
    }
}

void MainWin::on_btRefresh_clicked()
{
    // The user asks again: an authorisation refused before may be asked for anew.
    devices_->readDiskList(false, true);
}

void MainWin::CopyPhyDiskInf()
{
    QApplication::clipboard()->setText(ui->cbDiskInfo->currentText());
}

void MainWin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int top = ui->TitleBar->geometry().bottom() + 1;
    const int bottom = ui->MenuButton->geometry().top();
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(50, 143, 253));
    gradient.setColorAt(1, QColor(69, 64, 230));
    painter.fillRect(QRect(0, top, width(), bottom - top), gradient);
    painter.setPen(QColor(QStringLiteral("#454a4d")));
    painter.drawRect(0, 0, width() - 2, height() - 2);

    ui->usbbtn->applyRefreshStyle();
    showDiskCount();

    // The drives are read once the window is on the screen.
    if (!firstReadingAsked)
        QTimer::singleShot(0, this, &MainWin::askFirstReading);
}

// Only what changed is set again, so that painting does not schedule more
// painting; the construction sets the look, so the first paint finds it set.
void MainWin::showDiskCount()
{
    const QString count = QString::number(ui->cbDiskInfo->count());
    if (ui->lbNUM->text() != count)
        ui->lbNUM->setText(count);
    QFont countFont(QStringLiteral("黑体"));
    countFont.setPixelSize(28);
    if (ui->lbNUM->font() != countFont)
        ui->lbNUM->setFont(countFont);
    const QString white = QStringLiteral("color:white");
    if (ui->lbNUM->styleSheet() != white)
        ui->lbNUM->setStyleSheet(white);
}

bool MainWin::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    if (DiskNotifications::isDiskChange(eventType, message))
        RefreshDiskList();
    return QWidget::nativeEvent(eventType, message, result);
}
