#pragma once

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QSize>
#include <QStringList>
#include <QVector>

#include <memory>

class QWidget;

// A paint device that draws nothing and records every text drawn on it, in
// order, with its font and pen colour. Render a widget onto it to see which
// texts its paint event produces.
class TextRecorder : public QPaintDevice
{
public:
    struct Text {
        QString text;
        QFont font;
        QColor colour;
    };

    explicit TextRecorder(QSize size);
    ~TextRecorder() override;

    QPaintEngine *paintEngine() const override;

    // Renders `widget` (without its children) and returns the texts drawn.
    static QVector<Text> record(QWidget &widget);
    static QStringList strings(QWidget &widget);

    QVector<Text> texts;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<QPaintEngine> m_engine;
};
