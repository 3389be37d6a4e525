#pragma once
// One quantity of a drive's history over time, painted in the style of the
// window's own widgets: a blue line over a fading fill on a white card, the
// lowest and highest value and the first and last date at its edges. A year
// of hourly samples is drawn as at most two points per pixel column (the
// lowest and highest in that column), so painting takes the same time
// whatever the history's length.

#include <QVector>
#include <QWidget>

#include <functional>
#include <optional>

class HistoryChart : public QWidget {
    Q_OBJECT
public:
    struct Point {
        qint64 time;  // seconds since 1970 UTC
        double value;
    };
    // How the value axis writes a value ("80%", "45℃", "2.5 TB").
    using Format = std::function<QString(double value, double largest)>;

    HistoryChart(const QString& title, Format format, QWidget* parent = nullptr);

    // The points, oldest first; the time axis runs from `from` to `to`.
    void setPoints(QVector<Point> points, qint64 from, qint64 to);
    const QVector<Point>& points() const { return points_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF plotArea() const;
    // The points reduced to the plot's pixel columns, in plot coordinates.
    void reduce();

    QString title_;
    Format format_;
    QVector<Point> points_;
    qint64 from_ = 0, to_ = 0;
    double low_ = 0, high_ = 0;
    QVector<QPointF> drawn_;
};
