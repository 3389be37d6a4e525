#include "history/view/HistoryChart.h"
#include "history/view/HistoryFonts.h"

#include <QDateTime>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor kLine(50, 143, 253);
const QColor kText(68, 71, 77);
const QColor kAxisText(120, 120, 120);
const QColor kGrid(225, 226, 240);
const QColor kCard(255, 255, 255);
const QColor kBorder(200, 200, 220);
constexpr int kMarginLeft = 70, kMarginRight = 16, kMarginTop = 28, kMarginBottom = 22;
constexpr int kGridLines = 4;

QString dateText(qint64 time)
{
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

}  // namespace

HistoryChart::HistoryChart(const QString& title, Format format, QWidget* parent)
    : QWidget(parent), title_(title), format_(std::move(format))
{
    setMinimumHeight(110);
}

void HistoryChart::setPoints(QVector<Point> points, qint64 from, qint64 to)
{
    points_ = std::move(points);
    from_ = from;
    to_ = std::max(to, from + 1);
    if (!points_.isEmpty()) {
        const auto [low, high] = std::minmax_element(points_.begin(), points_.end(),
                                                     [](const Point& a, const Point& b) { return a.value < b.value; });
        low_ = low->value;
        high_ = high->value;
        if (high_ - low_ < 1e-9) {
            // A flat line sits in the middle of a band around its value.
            const double pad = std::max(1.0, std::abs(high_) * 0.05);
            low_ -= pad;
            high_ += pad;
        }
    }
    reduce();
    update();
}

QRectF HistoryChart::plotArea() const
{
    return QRectF(kMarginLeft, kMarginTop, std::max(1, width() - kMarginLeft - kMarginRight),
                  std::max(1, height() - kMarginTop - kMarginBottom));
}

void HistoryChart::resizeEvent(QResizeEvent*)
{
    reduce();
}

void HistoryChart::reduce()
{
    drawn_.clear();
    if (points_.isEmpty())
        return;
    const QRectF area = plotArea();
    const double span = static_cast<double>(to_ - from_);
    auto xOf = [&](qint64 time) { return area.left() + (time - from_) / span * area.width(); };
    auto yOf = [&](double value) { return area.bottom() - (value - low_) / (high_ - low_) * area.height(); };
    // Per pixel column: the first value, the lowest, the highest and the last,
    // in the order they came, so the line keeps its shape.
    int column = -1;
    double first = 0, low = 0, high = 0, last = 0;
    qint64 lowTime = 0, highTime = 0;
    auto flush = [&] {
        if (column < 0)
            return;
        const double x = column + 0.5;
        drawn_.append(QPointF(x, yOf(first)));
        if (lowTime <= highTime) {
            drawn_.append(QPointF(x, yOf(low)));
            drawn_.append(QPointF(x, yOf(high)));
        } else {
            drawn_.append(QPointF(x, yOf(high)));
            drawn_.append(QPointF(x, yOf(low)));
        }
        drawn_.append(QPointF(x, yOf(last)));
    };
    for (const Point& point : points_) {
        const int x = static_cast<int>(std::floor(xOf(point.time)));
        if (x != column) {
            flush();
            column = x;
            first = low = high = last = point.value;
            lowTime = highTime = point.time;
            continue;
        }
        if (point.value < low) {
            low = point.value;
            lowTime = point.time;
        }
        if (point.value > high) {
            high = point.value;
            highTime = point.time;
        }
        last = point.value;
    }
    flush();
}

void HistoryChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(kBorder);
    painter.setBrush(kCard);
    painter.drawRoundedRect(card, 4, 4);

    painter.setPen(kText);
    painter.setFont(historyCaptionFont(13, true));
    painter.drawText(QRectF(12, 4, width() - 24, kMarginTop - 6), Qt::AlignLeft | Qt::AlignVCenter, title_);

    const QRectF area = plotArea();
    painter.setFont(historyValueFont(11));
    if (points_.isEmpty()) {
        painter.setPen(kAxisText);
        painter.drawText(area, Qt::AlignCenter, tr("此期间没有数据"));
        return;
    }
    // The grid and the value axis.
    for (int k = 0; k <= kGridLines; ++k) {
        const double y = area.top() + area.height() * k / kGridLines;
        painter.setPen(QPen(kGrid, 1));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(kAxisText);
        const double value = high_ - (high_ - low_) * k / kGridLines;
        painter.drawText(QRectF(0, y - 8, kMarginLeft - 8, 16), Qt::AlignRight | Qt::AlignVCenter,
                         format_(value, std::max(std::abs(high_), std::abs(low_))));
    }
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width() / 2, kMarginBottom - 2),
                     Qt::AlignLeft | Qt::AlignVCenter, dateText(from_));
    painter.drawText(QRectF(area.center().x(), area.bottom() + 2, area.width() / 2, kMarginBottom - 2),
                     Qt::AlignRight | Qt::AlignVCenter, dateText(to_));

    // The fill under the line, then the line.
    painter.setClipRect(area.adjusted(-2, -2, 2, 2));
    QPainterPath line;
    line.moveTo(drawn_.front());
    for (int k = 1; k < drawn_.size(); ++k)
        line.lineTo(drawn_[k]);
    QPainterPath fill = line;
    fill.lineTo(drawn_.back().x(), area.bottom());
    fill.lineTo(drawn_.front().x(), area.bottom());
    fill.closeSubpath();
    QLinearGradient shade(0, area.top(), 0, area.bottom());
    QColor top = kLine;
    top.setAlpha(90);
    QColor bottom = kLine;
    bottom.setAlpha(8);
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawPath(fill);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kLine, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(line);
    if (drawn_.size() <= 4) {
        // A single sample shows as a dot.
        painter.setBrush(kLine);
        painter.drawEllipse(drawn_.front(), 3, 3);
    }
}
