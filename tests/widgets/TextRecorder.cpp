#include "TextRecorder.h"

#include <QPaintEngine>
#include <QWidget>

namespace {

class RecordingEngine : public QPaintEngine
{
public:
    explicit RecordingEngine(TextRecorder *device)
        : QPaintEngine(AllFeatures), m_device(device)
    {
    }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
    }

    // One drawText call arrives in pieces, one per script and font (Latin and
    // Chinese apart); a piece that starts where the previous one ended on the
    // same baseline continues it.
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        QVector<TextRecorder::Text> &texts = m_device->texts;
        const bool continues = !texts.isEmpty() && qAbs(p.y() - m_lastEnd.y()) < 0.5
            && qAbs(p.x() - m_lastEnd.x()) < 0.5;
        if (continues)
            texts.last().text += item.text();
        else
            texts.append({item.text(), item.font(), m_pen.color()});
        m_lastEnd = p + QPointF(item.width(), 0);
    }

    // Everything else is drawn nowhere.
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawEllipse(const QRectF &) override {}
    void drawPoints(const QPointF *, int) override {}

private:
    TextRecorder *m_device;
    QPen m_pen;
    QPointF m_lastEnd;
};

}  // namespace

TextRecorder::TextRecorder(QSize size)
    : m_size(size), m_engine(std::make_unique<RecordingEngine>(this))
{
}

TextRecorder::~TextRecorder() = default;

QPaintEngine *TextRecorder::paintEngine() const
{
    return m_engine.get();
}

int TextRecorder::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    case PdmNumColors:
        return 0;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

QVector<TextRecorder::Text> TextRecorder::record(QWidget &widget)
{
    TextRecorder recorder(widget.size());
    widget.render(&recorder, QPoint(), QRegion(), QWidget::RenderFlags());
    return recorder.texts;
}

QStringList TextRecorder::strings(QWidget &widget)
{
    QStringList result;
    for (const Text &t : record(widget))
        result.append(t.text);
    return result;
}
