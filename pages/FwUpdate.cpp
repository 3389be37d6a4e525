#include "pages/FwUpdate.h"

#include "firmware/FwImageFolders.h"
#include "pages/FwUpdateTexts.h"
#include "pages/PageSlide.h"
#include "pages/RecordText.h"
#include "widgets/CoreText.h"
#include "widgets/QMessageDlg.h"
#include "widgets/TextFit.h"
#include "worker/DeviceWorker.h"

#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>

#include <optional>

namespace {

const char kFieldStyle[] = "font: 15px \"微软雅黑\";\ncolor: rgb(68, 71, 77);";
// The button's look, and where nothing can be sent (a transfer runs) the
// grey of the program's other disabled buttons.
const char kButtonStyle[] =
    "QPushButton{border:0px;border-radius:2px;color:#f7fbfc; background-color: #2486f9;}\n"
    "QPushButton:hover{border:0px; border-radius:2px; color:f7fbfc;}\n"
    "QPushButton:disabled{background-color: rgb(190, 190, 204);}";
const QColor kTextColour(68, 71, 77);

const char kSuccessIcon[] = ":/Quillfence/Resources/icon1.png";
const char kNoticeIcon[] = ":/Quillfence/Resources/icon2.png";
const char kQuestionIcon[] = ":/Quillfence/Resources/icon3.png";

// The question names the drive and the image on several lines: the dialog
// is drawn larger than the notices' 300 x 200 so that they all fit.
const QSize kQuestionSize(520, 400);

const char kProgressStyle[] =
    "QProgressBar{border:1px solid #c8c8dc; border-radius:2px; background:white; color:rgb(68, 71, 77);"
    " text-align:center; font: 13px \"微软雅黑\";}"
    "QProgressBar::chunk{background-color:#2486f9;}";

// One caption or value label of the form.
struct Field {
    const char* objectName;
    QRect geometry;
    bool caption;
};
const Field kSerialCaption = {"label", {130, 108, 181, 21}, true};
const Field kSerialValue = {"lb_Sn", {310, 108, 421, 21}, false};
const Field kModelCaption = {"label_4", {130, 149, 181, 21}, true};
const Field kModelValue = {"lb_Model", {310, 149, 421, 21}, false};
const Field kRevisionCaption = {"label_6", {130, 190, 181, 21}, true};
const Field kRevisionValue = {"lb_FW", {310, 190, 461, 21}, false};

void setTextColour(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kTextColour);
    widget->setPalette(palette);
}

QLabel* addField(QWidget* page, const Field& field)
{
    auto* label = new QLabel(page);
    label->setObjectName(QString::fromLatin1(field.objectName));
    label->setGeometry(field.geometry);
    label->setStyleSheet(QString::fromUtf8(kFieldStyle));
    if (field.caption) {
        setTextColour(label);
        label->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    }
    return label;
}

}  // namespace

FwUpdate::FwUpdate(QWidget* parent, DeviceWorker* devices) : QWidget(parent)
{
    setupForm();
    pageHeight = height();
    hide();
    if (devices)
        watch(devices);
}

DeviceWorker& FwUpdate::devices()
{
    if (!devices_)
        watch(new DeviceWorker(this));
    return *devices_;
}

void FwUpdate::watch(DeviceWorker* devices)
{
    devices_ = devices;
    connect(devices, &DeviceWorker::transferChanged, this, [this](bool running) { btUpdate->setEnabled(!running); });
    connect(devices, &DeviceWorker::transferProgress, this, [this](int sent, int planned) {
        if (awaitingResult)
            showProgress(sent, planned);
    });
    connect(devices, &DeviceWorker::firmwareUpdated, this, [this](const FirmwareUpdateResult& result) {
        if (awaitingResult)
            showOutcome(result);
    });
}

void FwUpdate::setupForm()
{
    setObjectName(QStringLiteral("FwUpdate"));
    resize(852, 497);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(QStringLiteral("#eeeefb")));
    setPalette(background);
    setAutoFillBackground(true);

    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(130, 42, 571, 21);
    setTextColour(label_2);
    QFont titleFont(QStringLiteral("微软雅黑"));
    titleFont.setPixelSize(17);
    titleFont.setWeight(QFont::Bold);
    label_2->setFont(titleFont);

    label = addField(this, kSerialCaption);
    lb_Sn = addField(this, kSerialValue);
    label_4 = addField(this, kModelCaption);
    lb_Model = addField(this, kModelValue);
    label_6 = addField(this, kRevisionCaption);
    lb_FW = addField(this, kRevisionValue);

    btUpdate = new QPushButton(this);
    btUpdate->setObjectName(QStringLiteral("btUpdate"));
    btUpdate->setGeometry(130, 244, 155, 41);
    btUpdate->setFont(QFont(QStringLiteral("微软雅黑"), 12));
    btUpdate->setStyleSheet(QString::fromUtf8(kButtonStyle));

    pbTransfer = new QProgressBar(this);
    pbTransfer->setObjectName(QStringLiteral("pbTransfer"));
    pbTransfer->setGeometry(130, 305, 601, 24);
    pbTransfer->setStyleSheet(QString::fromUtf8(kProgressStyle));
    // %v and %m are the progress bar's own: the commands sent and planned.
    pbTransfer->setFormat(tr("已发送 %v / %m 条命令"));
    pbTransfer->hide();

    lbUpdateNote = addField(this, {"lbUpdateNote", {130, 340, 641, 48}, false});
    lbUpdateNote->setWordWrap(true);
    lbUpdateNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbUpdateNote->hide();

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void FwUpdate::retranslateUi()
{
    setWindowTitle(QStringLiteral("FwUpdate"));  // a page, never a window of its own
    label_2->setText(tr("固件升级"));
    label->setText(tr("序列号"));
    lb_Sn->setText(tr("N/A"));
    label_4->setText(tr("型号"));
    lb_Model->setText(tr("N/A"));
    label_6->setText(tr("固件版本"));
    lb_FW->setText(tr("N/A"));
    btUpdate->setText(tr("固件升级", "button"));
}

void FwUpdate::GetDiskInfo(PhyDiskInfo& info)
{
    showRecord(info);
}

void FwUpdate::showRecord(const PhyDiskInfo& info)
{
    state = FwUpdateStateFromRecord(info);
    serial = recordText(info.serialNumber);
    model = recordText(info.model);
    capacity = info.capacity;
    setElidedText(lb_Sn, serial);
    setElidedText(lb_Model, model);
    // The revision is read back from the label: it is set whole (eight
    // characters at the most, far narrower than the label).
    lb_FW->setText(recordText(info.firmware));
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(16);
    btUpdate->setFont(font);
    // What the page said after an update belongs to that disk only.
    if (info.diskNum != noteDisk)
        lbUpdateNote->hide();
}

// The revision is read back from its label, as shown to the user. Nothing
// is sent before the user has confirmed the drive and the image; the
// transfer itself runs on the device thread.
void FwUpdate::on_btUpdate_clicked()
{
    if (devices().transferring())
        return;
    const QString revision = lb_FW->text();
    const FirmwareDecision decision = DecideFwUpdateAmong(state, revision.toStdString(), FwImageFolders());
    // The latest revision, an NVMe drive or the system disk: nothing to send.
    if (decision.latest) {
        ShowNotice(coreText("firmware", FwNoUpdateText(decision)));
        return;
    }
    // An image that cannot be sent is reported by the transfer, which stops
    // before the first command: there is nothing to confirm.
    if (QFileInfo(QString::fromStdString(decision.imagePath)).size() > 0) {
        const FwUpdateState asked = state;
        if (!confirmUpdate(decision))
            return;
        // The list may have been read again while the question was open.
        const bool sameDisk = asked.diskNum == state.diskNum && asked.device == state.device &&
                              asked.model == state.model && revision == lb_FW->text();
        if (!sameDisk) {
            ShowNotice(tr(kFwDisksChangingText));
            return;
        }
    }
    if (!devices().updateFirmware(state, decision)) {
        ShowNotice(tr(kFwDisksChangingText));
        return;
    }
    awaitingResult = true;
    revisionBefore = revision;
    showTransferStarted();
}

bool FwUpdate::confirmUpdate(const FirmwareDecision& decision)
{
    const QString imagePath = QString::fromStdString(decision.imagePath);
    const FwUpdateTarget target{model, serial, lb_FW->text(), capacity, imagePath,
                                QFileInfo(imagePath).size()};
    QMessageDlg dialog(this);
    dialog.resize(kQuestionSize);
    dialog.setMessage(QString::fromLatin1(kQuestionIcon), FwUpdateQuestion(target), 1);
    dialog.exec();
    return dialog.result() == QMessageDlg::BtnOk;
}

void FwUpdate::showTransferStarted()
{
    pbTransfer->setRange(0, 0);  // busy until the commands are planned
    pbTransfer->setValue(0);
    pbTransfer->show();
    noteDisk = state.diskNum;
    lbUpdateNote->setText(tr(kFwTransferRunningText));
    lbUpdateNote->show();
}

void FwUpdate::showProgress(int sent, int planned)
{
    pbTransfer->setRange(0, planned);
    pbTransfer->setValue(sent);
}

// The drive as read again first, so that the page behind the message shows
// the revision it reports now; then the message of the outcome.
void FwUpdate::showOutcome(const FirmwareUpdateResult& result)
{
    awaitingResult = false;
    pbTransfer->hide();
    lbUpdateNote->hide();
    const bool downloaded = result.outcome.kind == FwOutcomeKind::Download && result.outcome.code == kFwOk;
    if (downloaded) {
        if (result.reread && result.reread->record.valid)
            showRecord(result.reread->record);
        noteDisk = result.diskNum;
        lbUpdateNote->setText(FwRevisionNote(revisionBefore, result.reread));
        lbUpdateNote->show();
    }
    const std::optional<FwMessage> message = FwOutcomeMessage(result.outcome);
    if (!message)
        return;  // the bus type could not be read: nothing was sent
    const QString text = coreText("firmware", message->text);
    if (message->dialog == FwDialog::Success)
        ShowSuccess(text);
    else
        ShowNotice(text);
}

int FwUpdate::ShowSuccess(const QString& text)
{
    return showMessage(QString::fromLatin1(kSuccessIcon), text);
}

int FwUpdate::ShowNotice(const QString& text)
{
    return showMessage(QString::fromLatin1(kNoticeIcon), text);
}

int FwUpdate::showMessage(const QString& iconPath, const QString& text)
{
    QMessageDlg dialog(this);
    dialog.resize(300, 200);
    dialog.setMessage(iconPath, text, 0);
    dialog.exec();
    return dialog.result();
}

void FwUpdate::SlideIn(int y)
{
    slidePageIn(this, y, pageHeight);
}

void FwUpdate::SlideOut(int y)
{
    slidePageOut(this, y, pageHeight);
}
