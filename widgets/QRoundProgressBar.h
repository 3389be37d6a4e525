#pragma once

#include <QLinearGradient>
#include <QWidget>

// Draws a value as a ring: a dark ring for the whole range, a green sector
// over it for the part reached (clockwise from twelve o'clock) and the value
// as text in the middle, which stays unpainted.
class QRoundProgressBar : public QWidget
{
    Q_OBJECT

public:
    explicit QRoundProgressBar(QWidget *parent = nullptr);

    void setMaximum(double maximum);
    void setValue(double value);
    void setRingWidth(int width);
    double value() const { return m_value; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_value = 0;
    double m_maximum = 100;
    int m_ringWidth = 6;
    QColor m_textColour{QStringLiteral("#FFFFFF")};
    QLinearGradient m_sectorGradient;
    QLinearGradient m_ringGradient;
};
