#include "widgets/QUsbButton.h"

#include <QBitmap>
#include <QPixmap>

namespace {

const QString kNormalImage = QStringLiteral(":/Quillfence/Resources/add/refresh_def2x.png");
const QString kHoverImage = QStringLiteral(":/Quillfence/Resources/add/refresh_hov2x.png");
const QString kPressedImage = QStringLiteral(":/Quillfence/Resources/add/refresh_pre2x.png");

}  // namespace

QUsbButton::QUsbButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    m_shown = true;
    connect(this, SIGNAL(clicked()), this, SLOT(sendUsbclick()));
}

bool QUsbButton::shown() const
{
    return m_shown;
}

void QUsbButton::setShown(bool shown)
{
    m_shown = shown;
}

void QUsbButton::sendUsbclick()
{
    emit usbBtnclicked();
}

void QUsbButton::applyRefreshStyle()
{
    // Every setter below schedules a repaint of the parent, which calls this
    // again from its paint event; setting only what changed ends that loop.
    if (backgroundRole() != QPalette::Base)
        setBackgroundRole(QPalette::Base);
    if (!m_shown) {
        clearMask();
        setEnabled(false);
        hide();
        return;
    }
    setEnabled(true);
    show();

    QPixmap pixmap;
    pixmap.load(kNormalImage, nullptr, Qt::ThresholdDither | Qt::AvoidDither);
    if (iconSize() != pixmap.size())
        setIconSize(pixmap.size());
    if (size() != pixmap.size())
        resize(pixmap.size());

    const QString sheet = QStringLiteral("QPushButton{border-image: url(") + kNormalImage
        + QStringLiteral(")}QPushButton:hover{border-image:url(") + kHoverImage
        + QStringLiteral(")}QPushButton:pressed{border-image:url(") + kPressedImage + QStringLiteral(")}");
    if (styleSheet() != sheet)
        setStyleSheet(sheet);

    // QWidget::setMask() ignores a mask equal to the current one.
    setMask(pixmap.createHeuristicMask(true));
}
