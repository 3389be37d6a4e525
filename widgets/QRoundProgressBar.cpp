#include "widgets/QRoundProgressBar.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Below this inner width the text switches to the small whole-number form.
constexpr int kLargeTextMinWidth = 45;

}  // namespace

QRoundProgressBar::QRoundProgressBar(QWidget *parent)
    : QWidget(parent)
{
    m_sectorGradient.setColorAt(0, QColor::fromRgbF(0, 0.8, 0.2, 1));
    m_sectorGradient.setColorAt(0.35, QColor::fromRgbF(0.1, 1, 0.3, 1));
    m_sectorGradient.setColorAt(1, QColor::fromRgbF(0.8, 1, 0.8, 1));
    m_ringGradient.setColorAt(0, QColor::fromRgbF(0, 0.1, 0.42, 1));
}

void QRoundProgressBar::setMaximum(double maximum)
{
    m_maximum = maximum;
}

void QRoundProgressBar::setValue(double value)
{
    m_value = value;
    update();
}

void QRoundProgressBar::setRingWidth(int width)
{
    m_ringWidth = width;
}

void QRoundProgressBar::paintEvent(QPaintEvent *)
{
    // A maximum of 0 or less would divide by zero: nothing is reached then.
    const bool valid = m_maximum > 0;
    const int angle = valid ? int(m_value * 360 / m_maximum) : 0;
    QRect square(QPoint(0, 0), QPoint(width() - 1, height() - 1));

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);

    // A centred square with the smaller side.
    const int w = square.width();
    const int h = square.height();
    if (h < w) {
        square.setLeft(square.left() + (w - h) / 2);
        square.setWidth(h);
    } else if (w < h) {
        square.setTop(square.top() + (h - w) / 2);
        square.setHeight(w);
    }

    m_sectorGradient.setStart(square.topLeft());
    m_sectorGradient.setFinalStop(square.bottomRight());
    m_ringGradient.setStart(square.topLeft());
    m_ringGradient.setFinalStop(square.bottomRight());

    const QPointF topCentre(square.left() + square.width() / 2, square.top());
    QPainterPath sector;
    sector.moveTo(topCentre);
    sector.arcTo(QRectF(square), 90, -angle);
    if (angle % 360 != 0) {
        const qint64 cx = (qint64(square.left()) + square.right()) / 2;
        const qint64 cy = (qint64(square.top()) + square.bottom()) / 2;
        sector.lineTo(QPointF(cx, cy));
    }

    QPainterPath ring;
    ring.moveTo(topCentre);
    ring.arcTo(QRectF(square), 90, 360);

    const QRect inner = square.adjusted(m_ringWidth, m_ringWidth, -m_ringWidth, -m_ringWidth);
    QPainterPath innerCircle;
    innerCircle.moveTo(inner.left() + inner.width() / 2, inner.top());
    innerCircle.arcTo(QRectF(inner), 0, 360);

    painter.fillPath(ring.subtracted(innerCircle), m_ringGradient);
    painter.fillPath(sector.subtracted(innerCircle), m_sectorGradient);

    const bool large = inner.width() >= kLargeTextMinWidth;
    QFont font(QStringLiteral("微软雅黑"));
    font.setWeight(large ? 75 : 50);
    font.setPointSize(large ? 25 : 10);
    painter.setFont(font);
    painter.setPen(QPen(m_textColour, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const double shown = valid ? (float(m_value) * 100.0f) / m_maximum : 0.0;
    const QString text = large ? QString::asprintf("%0.2f%%", shown) : QString::asprintf("%0.0f", shown);
    painter.drawText(inner, Qt::AlignCenter, text);
}
