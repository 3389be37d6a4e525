#include "pages/PageSlide.h"

#include <QMetaObject>
#include <QPropertyAnimation>
#include <QRect>
#include <QWidget>

namespace {

constexpr int kSlideMilliseconds = 200;

QRect collapsed(const QWidget* page, int y)
{
    const QWidget* parent = page->parentWidget();
    return QRect(1, y, parent ? parent->width() - 2 : page->width(), 0);
}

// Full height with the bottom edge on the line above y.
QRect expanded(const QWidget* page, int y, int pageHeight)
{
    QRect rect = collapsed(page, y);
    rect.setTop(y - pageHeight);
    return rect;
}

QPropertyAnimation* geometryAnimation(QWidget* page, const QRect& from, const QRect& to)
{
    auto* animation = new QPropertyAnimation(page, "geometry", page);
    animation->setDuration(kSlideMilliseconds);
    animation->setStartValue(from);
    animation->setEndValue(to);
    return animation;
}

// The main window is reached by slot name, so a page does not depend on its class.
void callMainWindow(QWidget* page, const char* slot)
{
    if (QWidget* window = page->parentWidget())
        QMetaObject::invokeMethod(window, slot);
}

}  // namespace

void slidePageIn(QWidget* page, int y, int pageHeight)
{
    QPropertyAnimation* animation = geometryAnimation(page, collapsed(page, y), expanded(page, y, pageHeight));
    page->show();
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    callMainWindow(page, "toolbarSlideUp");
}

void slidePageOut(QWidget* page, int y, int pageHeight)
{
    QPropertyAnimation* animation = geometryAnimation(page, expanded(page, y, pageHeight), collapsed(page, y));
    QObject::connect(animation, &QPropertyAnimation::finished, page, &QWidget::hide);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    callMainWindow(page, "toolbarSlideDown");
}
