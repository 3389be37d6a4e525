// The round progress bar: the sector's angle, the unpainted middle, the
// circle of a non-square widget and the two text forms.
#include "widgets/QRoundProgressBar.h"

#include "TextRecorder.h"

#include <QtMath>
#include <QtTest>

namespace {

// The widget drawn over a transparent background.
QImage paint(QRoundProgressBar &bar)
{
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    bar.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

enum class Shade { Empty, Ring, Sector };

Shade shadeAt(const QImage &image, QPointF point)
{
    const QColor c = image.pixelColor(point.toPoint());
    if (c.alpha() < 128)
        return Shade::Empty;
    // The ring is dark blue (0, 26, 107); the sector a bright green.
    return c.green() > 150 && c.blue() < 230 ? Shade::Sector : Shade::Ring;
}

// A point on the middle of a ring of the given width in a 100 x 100 widget,
// `degrees` clockwise from twelve o'clock.
QPointF onRing(double degrees, int ringWidth)
{
    const double r = 49.5 - ringWidth / 2.0;
    const double a = qDegreesToRadians(degrees);
    return QPointF(49.5 + r * qSin(a), 49.5 - r * qCos(a));
}

}  // namespace

Q_DECLARE_METATYPE(Shade)

class TestRoundProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void sectorCoversAngle_data();
    void sectorCoversAngle();
    void nonSquareWidgetDrawsCentredCircle();
    void text_data();
    void text();
};

void TestRoundProgressBar::sectorCoversAngle_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<Shade>("shade");

    QTest::newRow("0: ring only, 5°") << 0.0 << 5.0 << Shade::Ring;
    QTest::newRow("0: ring only, 355°") << 0.0 << 355.0 << Shade::Ring;
    QTest::newRow("25: 45° reached") << 25.0 << 45.0 << Shade::Sector;
    QTest::newRow("25: 135° not") << 25.0 << 135.0 << Shade::Ring;
    QTest::newRow("50: 170° reached") << 50.0 << 170.0 << Shade::Sector;
    QTest::newRow("50: 190° not") << 50.0 << 190.0 << Shade::Ring;
    QTest::newRow("87.4: 305° reached") << 87.4 << 305.0 << Shade::Sector;
    QTest::newRow("87.4: 325° not") << 87.4 << 325.0 << Shade::Ring;
    QTest::newRow("100: closed ring, 355°") << 100.0 << 355.0 << Shade::Sector;
    QTest::newRow("100: closed ring, 180°") << 100.0 << 180.0 << Shade::Sector;
}

void TestRoundProgressBar::sectorCoversAngle()
{
    QFETCH(double, value);
    QFETCH(double, degrees);
    QFETCH(Shade, shade);

    QRoundProgressBar bar;
    bar.resize(100, 100);
    bar.setRingWidth(10);
    bar.setMaximum(100.0);
    bar.setValue(value);
    const QImage image = paint(bar);

    QCOMPARE(shadeAt(image, onRing(degrees, 10)), shade);
    // The middle stays unpainted, also with the line to the centre.
    QCOMPARE(shadeAt(image, QPointF(50, 50)), Shade::Empty);
    QCOMPARE(shadeAt(image, QPointF(50, 30)), Shade::Empty);
}

void TestRoundProgressBar::nonSquareWidgetDrawsCentredCircle()
{
    QRoundProgressBar bar;
    bar.resize(200, 100);
    bar.setRingWidth(10);
    bar.setValue(25);
    const QImage image = paint(bar);

    // Diameter 100, from x 50 to 149.
    QCOMPARE(shadeAt(image, QPointF(30, 50)), Shade::Empty);
    QCOMPARE(shadeAt(image, QPointF(170, 50)), Shade::Empty);
    QCOMPARE(shadeAt(image, QPointF(55, 50)), Shade::Ring);     // nine o'clock
    QCOMPARE(shadeAt(image, QPointF(144, 40)), Shade::Sector);  // just above three o'clock
    QCOMPARE(shadeAt(image, QPointF(144, 60)), Shade::Ring);    // just below it
    QCOMPARE(shadeAt(image, QPointF(100, 5)), Shade::Sector);   // twelve o'clock
}

void TestRoundProgressBar::text_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("weight");

    QTest::newRow("main window ring") << QSize(41, 41) << 2 << 87.4 << "87" << 10 << 50;
    QTest::newRow("main window ring at 0") << QSize(41, 41) << 2 << 0.0 << "0" << 10 << 50;
    QTest::newRow("inner 44: small") << QSize(50, 50) << 3 << 87.4 << "87" << 10 << 50;
    QTest::newRow("inner 45: large") << QSize(51, 51) << 3 << 87.4 << "87.40%" << 25 << 75;
    QTest::newRow("large ring") << QSize(160, 160) << 6 << 87.4 << "87.40%" << 25 << 75;
    QTest::newRow("large ring, full") << QSize(160, 160) << 6 << 100.0 << "100.00%" << 25 << 75;
}

void TestRoundProgressBar::text()
{
    QFETCH(QSize, size);
    QFETCH(int, ringWidth);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    QFETCH(int, weight);

    QRoundProgressBar bar;
    bar.resize(size);
    bar.setMaximum(100.0);
    bar.setRingWidth(ringWidth);
    bar.setValue(value);

    const QVector<TextRecorder::Text> texts = TextRecorder::record(bar);
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts[0].text, text);
    QCOMPARE(texts[0].font.pointSize(), pointSize);
    QCOMPARE(texts[0].font.weight(), weight);
    QCOMPARE(texts[0].colour, QColor(Qt::white));
}

QTEST_MAIN(TestRoundProgressBar)
#include "tst_roundprogressbar.moc"
