#include "pages/HelpDlg.h"

#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QStyleOption>

namespace {

constexpr int kDropTop = 56;
constexpr int kSlideMilliseconds = 200;

const char kWhiteText14[] = "font: 14px \"微软雅黑\";\ncolor: rgb(255, 255, 255);";

struct Label {
    const char* objectName;
    const char* text;  // nullptr: an image drawn by the style sheet
    QRect geometry;
    const char* styleSheet;
};

const Label kLabels[] = {
    {"label", nullptr, {85, 40, 120, 16},
     "background-image: url(:/Quillfence/Resources/main/SSD-Quillfence_logo.png);\n"},
    {"label_2", nullptr, {85, 63, 120, 120}, "border-image: url(:/Quillfence/Resources/add/qr-code2x.png);"},
    {"label_3", QT_TRANSLATE_NOOP("HelpDlg", "版本号:V1.0.1"), {110, 190, 71, 21}, "font: 75 11px \"微软雅黑\";\n\ncolor: rgb(255, 255, 255);"},
    {"label_4", QT_TRANSLATE_NOOP("HelpDlg", "任何意见可以反馈到"), {85, 223, 141, 20}, kWhiteText14},
    // An address that fits the label's 191 px in its 14 px face.
    {"label_5", "help@quillfence.example", {65, 241, 191, 31}, kWhiteText14},
    {"label_6", QT_TRANSLATE_NOOP("HelpDlg", "Copyright © 2026 Quillfence 保留所有权利"), {8, 346, 271, 20},
     "color: rgb(255, 255, 255);\nfont: 75 11px \"微软雅黑\";"},
};

const char* const kCloseText = QT_TRANSLATE_NOOP("HelpDlg", "知道了");
const QRect kCloseGeometry(67, 295, 156, 30);
constexpr int kClosePixelSize = 14;
const char kCloseStyle[] =
    "QPushButton{background-color:#2486f9;color: rgb(168, 205, 253); border-radius:2px; border: "
    "0px;}QPushButton:hover{color:rgb(255,255,255);}";

}  // namespace

HelpDlg::HelpDlg(QWidget* parent) : QWidget(parent)
{
    setupForm();
    panelWidth = width();
    panelHeight = height();
    hide();
}

void HelpDlg::setupForm()
{
    setObjectName(QStringLiteral("HelpDlg"));
    resize(280, 376);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0, 0, 0, 150));
    setPalette(background);
    setAutoFillBackground(true);
    QFont kerned = font();
    kerned.setKerning(true);
    setFont(kerned);

    for (const Label& entry : kLabels) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(entry.objectName));
        label->setGeometry(entry.geometry);
        label->setStyleSheet(QString::fromUtf8(entry.styleSheet));
        if (entry.text)
            label->setText(tr(entry.text));
    }
    setWindowTitle(QStringLiteral("HelpDlg"));  // a panel, never a window of its own

    closeButton = new QPushButton(this);
    applyCloseButtonLook();
    connect(closeButton, &QPushButton::clicked, this, &HelpDlg::PushHide);
}

// Re-asserted on every paint. Only what differs is set: setting a style sheet
// or font schedules another paint of this translucent panel, which would
// otherwise repaint itself for ever.
void HelpDlg::applyCloseButtonLook()
{
    QFont font = closeButton->font();
    font.setPixelSize(kClosePixelSize);
    if (closeButton->font() != font)
        closeButton->setFont(font);
    const QString text = tr(kCloseText);
    if (closeButton->text() != text)
        closeButton->setText(text);
    const QString style = QString::fromUtf8(kCloseStyle);
    if (closeButton->styleSheet() != style)
        closeButton->setStyleSheet(style);
    if (closeButton->geometry() != kCloseGeometry)
        closeButton->setGeometry(kCloseGeometry);
}

void HelpDlg::SlideDown()
{
    if (!hidden)
        return;
    show();
    const int x = parentWidget() ? parentWidget()->width() / 7 * 5 : 0;
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(kSlideMilliseconds);
    animation->setStartValue(QRect(x, kDropTop, panelWidth, 0));
    animation->setEndValue(QRect(x, kDropTop, panelWidth, panelHeight));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    hidden = false;
}

void HelpDlg::PushHide()
{
    if (hidden)
        return;
    hide();
    emit onCloseClisked();
    hidden = true;
}

void HelpDlg::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    // Qt 5 folds high-quality antialiasing into Antialiasing, and its default
    // pen is non-cosmetic already.
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    applyCloseButtonLook();
}
