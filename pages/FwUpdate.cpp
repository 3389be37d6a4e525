#include "pages/FwUpdate.h"

#include "firmware/FwImageFolders.h"
#include "pages/PageSlide.h"
#include "pages/RecordText.h"
#include "widgets/QMessageDlg.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <optional>

namespace {

const char kFieldStyle[] = "font: 15px \"微软雅黑\";\ncolor: rgb(68, 71, 77);";
const char kButtonStyle[] =
    "QPushButton{border:0px;border-radius:2px;color:#f7fbfc; background-color: #2486f9;}\n"
    "QPushButton:hover{border:0px; border-radius:2px; color:f7fbfc;}";
const QColor kTextColour(68, 71, 77);

const char kSuccessIcon[] = ":/Quillfence/Resources/icon1.png";
const char kNoticeIcon[] = ":/Quillfence/Resources/icon2.png";

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

FwUpdate::FwUpdate(QWidget* parent) : QWidget(parent)
{
    setupForm();
    pageHeight = height();
    hide();
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

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void FwUpdate::retranslateUi()
{
    setWindowTitle(tr("FwUpdate"));
    label_2->setText(tr("固件升级"));
    label->setText(tr("序列号"));
    lb_Sn->setText(tr("N/A"));
    label_4->setText(tr("型号"));
    lb_Model->setText(tr("N/A"));
    label_6->setText(tr("固件版本"));
    lb_FW->setText(tr("N/A"));
    btUpdate->setText(tr("固件升级"));
}

void FwUpdate::GetDiskInfo(PhyDiskInfo& info)
{
    state = FwUpdateStateFromRecord(info);
    lb_Sn->setText(recordText(info.serialNumber));
    lb_Model->setText(recordText(info.model));
    lb_FW->setText(recordText(info.firmware));
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(16);
    btUpdate->setFont(font);
}

// The revision is read back from its label, as shown to the user.
void FwUpdate::on_btUpdate_clicked()
{
    const FwUpdateOutcome outcome =
        SendFwUpdate(state, DecideFwUpdateAmong(state, lb_FW->text().toStdString(), FwImageFolders()));
    const std::optional<FwMessage> message = FwOutcomeMessage(outcome);
    if (!message)
        return;  // the bus type could not be read: nothing was sent
    const QString text = QString::fromUtf8(message->text);
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
