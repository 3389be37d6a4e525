#include "widgets/QMenuButton.h"

#include <QFile>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

QMenuButton::QMenuButton(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

bool QMenuButton::addButton(const QString &normalIcon, const QString &selectedIcon,
                            const QString &caption, int id)
{
    if (caption.isEmpty() || !QFile::exists(normalIcon))
        return false;
    m_buttons.append({normalIcon, selectedIcon, caption, id, false, false, QRect()});
    return true;
}

bool QMenuButton::isSelected(int id) const
{
    bool selected = false;
    for (const Button &b : m_buttons) {
        if (b.id == id)
            selected = b.selected;
    }
    return selected;
}

void QMenuButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const int w = width();
    const int h = height();
    const int d = w / m_maxVisible;

    const int end = qMin(m_buttons.size(), m_firstShown + m_maxVisible);
    for (int i = m_firstShown; i < end; ++i) {
        Button &button = m_buttons[i];
        const int sx = (i - m_firstShown) * d;
        button.rect = QRect(QPoint(sx, 0), QPoint(sx + d - 1, h));

        // Widened by 2 pixels so neighbouring slots leave no seam.
        painter.fillRect(QRect(QPoint(sx, 0), QPoint(sx + d + 1, h)), QColor::fromRgbF(0.99, 0.99, 1));
        painter.setRenderHint(QPainter::Antialiasing);
        if (button.hovered)
            painter.fillRect(QRect(QPoint(sx + 80, 0), QPoint(sx + 339, h - 1)), QColor("#B2dedff9"));

        const QPixmap icon(button.selected ? button.selectedIcon : button.normalIcon);
        const int tw = metrics.horizontalAdvance(button.caption);
        const int iconX = sx - tw / 2 + (d - icon.width()) / 2;
        painter.drawPixmap(iconX, (h - icon.height()) / 2 + 1, icon);

        painter.setFont(font);
        painter.setPen(QPen(button.selected ? QColor(Qt::blue) : QColor(Qt::lightGray), 1,
                            Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawText(QRect(iconX + icon.width() + 10, 0, d, h), Qt::AlignLeft | Qt::AlignVCenter,
                         button.caption);
    }
}

void QMenuButton::mouseMoveEvent(QMouseEvent *event)
{
    for (Button &b : m_buttons)
        b.hovered = b.rect.contains(event->pos());
    setCursor(Qt::PointingHandCursor);
    update();
}

void QMenuButton::leaveEvent(QEvent *event)
{
    for (Button &b : m_buttons)
        b.hovered = false;
    setCursor(Qt::PointingHandCursor);
    update();
    QWidget::leaveEvent(event);
}

void QMenuButton::mousePressEvent(QMouseEvent *event)
{
    m_pressedId = -1;
    for (const Button &b : m_buttons) {
        if (b.rect.contains(event->pos()))
            m_pressedId = b.id;
    }
    update();
}

void QMenuButton::mouseReleaseEvent(QMouseEvent *event)
{
    bool hit = false;
    int hitId = -1;
    for (Button &b : m_buttons) {
        if (b.rect.contains(event->pos())) {
            b.selected = !b.selected;
            hit = true;
            hitId = b.id;
        } else {
            b.selected = false;
        }
    }
    update();

    if (hit && hitId == m_pressedId) {
        emit select(hitId);
    } else {
        // Released outside every button or on another one than pressed.
        for (Button &b : m_buttons)
            b.selected = false;
    }
}
