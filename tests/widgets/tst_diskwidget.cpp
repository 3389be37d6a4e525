// The partition bars: sorting, refused entries, the 90 % colour boundary,
// paging, scrolling by one row and the two text forms.
#include "widgets/DiskWidget.h"

#include "TextRecorder.h"

#include <QtTest>

namespace {

const QString kIcon = QStringLiteral(":/Quillfence/Resources/main/disk_small.png");

// The main window's partition bars, with entries named C, D, E, ...
struct Bars {
    DiskWidget widget;

    Bars(int columns, int count)
    {
        widget.resize(451, 361);
        widget.setColumns(columns);
        for (int i = 0; i < count; ++i)
            widget.addItem(kIcon, QString(QChar('C' + i)), 10.0f * i, 100.0f);
    }

    // The names drawn, in order.
    QStringList shownNames()
    {
        QStringList names;
        for (const QString &text : TextRecorder::strings(widget)) {
            if (text.startsWith(QStringLiteral("分区(")))
                names.append(text.mid(3, text.size() - 4));
        }
        return names;
    }

    void clickArrow(const QRect &arrow)
    {
        QVERIFY(!arrow.isEmpty());
        QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, arrow.center());
        widget.repaint();  // the arrows' hit rectangles follow the painting
    }
};

QStringList letters(char first, char last)
{
    QStringList list;
    for (char c = first; c <= last; ++c)
        list.append(QString(QChar(c)));
    return list;
}

}  // namespace

class TestDiskWidget : public QObject
{
    Q_OBJECT

private slots:
    void entriesAreSortedByName();
    void refusedEntries_data();
    void refusedEntries();
    void barColour_data();
    void barColour();
    void paging_data();
    void paging();
    void scrollByOneRow();
    void scrollsDownWhileAFullPageRemains();
    void clearReturnsToTop();
    void sizeTexts_data();
    void sizeTexts();
};

void TestDiskWidget::entriesAreSortedByName()
{
    Bars bars(1, 0);
    for (const char *name : {"D", "C", "E"})
        QVERIFY(bars.widget.addItem(kIcon, QLatin1String(name), 1.0f, 2.0f));
    QCOMPARE(bars.shownNames(), letters('C', 'E'));
}

void TestDiskWidget::refusedEntries_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<float>("used");
    QTest::addColumn<float>("total");
    QTest::newRow("used above total") << kIcon << 100.5f << 100.0f;
    QTest::newRow("missing icon") << QStringLiteral(":/Quillfence/Resources/main/none.png") << 1.0f << 100.0f;
}

void TestDiskWidget::refusedEntries()
{
    QFETCH(QString, icon);
    QFETCH(float, used);
    QFETCH(float, total);

    Bars bars(1, 4);
    QVERIFY(!bars.widget.addItem(icon, QStringLiteral("A"), used, total));
    QCOMPARE(bars.widget.itemCount(), 4);
    QVERIFY(!bars.widget.isPaging());  // a fifth entry would have turned it on
    QCOMPARE(bars.shownNames(), letters('C', 'F'));
}

void TestDiskWidget::barColour_data()
{
    QTest::addColumn<float>("used");
    QTest::addColumn<bool>("red");
    QTest::newRow("10 of 100") << 10.0f << false;
    QTest::newRow("90 of 100, just below 0.9 in float") << 90.0f << false;
    QTest::newRow("91 of 100") << 91.0f << true;
    QTest::newRow("100 of 100") << 100.0f << true;
}

void TestDiskWidget::barColour()
{
    QFETCH(float, used);
    QFETCH(bool, red);

    DiskWidget widget;
    widget.resize(451, 361);
    QVERIFY(widget.addItem(kIcon, QStringLiteral("C"), used, 100.0f));
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());

    // First entry: row height 72, bar 44 below the cell top at y 20, from
    // 6 pixels right of the icon.
    const int barLeft = QPixmap(kIcon).width() + 6;
    const QColor start = image.pixelColor(barLeft + 4, 20 + 44 + 2);
    if (red) {
        QVERIFY2(start.red() > 200 && start.green() < 120, qPrintable(start.name()));
    } else {
        QVERIFY2(start.green() > 150 && start.red() < 120, qPrintable(start.name()));
    }
}

void TestDiskWidget::paging_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("paging");
    QTest::addColumn<int>("shown");

    QTest::newRow("4 x 1, 4 entries") << 1 << 4 << false << 4;
    QTest::newRow("4 x 1, 5 entries") << 1 << 5 << true << 4;
    QTest::newRow("4 x 2, 8 entries") << 2 << 8 << false << 8;
    QTest::newRow("4 x 2, 9 entries") << 2 << 9 << true << 8;
}

void TestDiskWidget::paging()
{
    QFETCH(int, columns);
    QFETCH(int, count);
    QFETCH(bool, paging);
    QFETCH(int, shown);

    Bars bars(columns, count);
    QCOMPARE(bars.shownNames().size(), shown);
    QCOMPARE(bars.widget.isPaging(), paging);
    // At the top only the down arrow can be drawn.
    QCOMPARE(!bars.widget.downArrowRect().isEmpty(), paging);
    QVERIFY(bars.widget.upArrowRect().isEmpty());
}

void TestDiskWidget::scrollByOneRow()
{
    Bars bars(2, 9);
    bars.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bars.widget));
    bars.widget.repaint();

    bars.clickArrow(bars.widget.downArrowRect());
    QCOMPARE(bars.widget.firstIndex(), 2);
    QCOMPARE(bars.shownNames(), letters('E', 'K'));  // the third to the ninth
    QVERIFY(!bars.widget.upArrowRect().isEmpty());
    QVERIFY(bars.widget.downArrowRect().isEmpty());  // 7 left, less than a page of 8

    bars.clickArrow(bars.widget.upArrowRect());
    QCOMPARE(bars.widget.firstIndex(), 0);
    QCOMPARE(bars.shownNames(), letters('C', 'J'));
    QVERIFY(bars.widget.upArrowRect().isEmpty());
    QVERIFY(!bars.widget.downArrowRect().isEmpty());
}

void TestDiskWidget::scrollsDownWhileAFullPageRemains()
{
    Bars bars(1, 5);
    bars.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bars.widget));
    bars.widget.repaint();

    bars.clickArrow(bars.widget.downArrowRect());
    QCOMPARE(bars.shownNames(), letters('D', 'G'));
    // Four entries remain from the first shown, a full page: still scrolls.
    bars.clickArrow(bars.widget.downArrowRect());
    QCOMPARE(bars.shownNames(), letters('E', 'G'));
    QVERIFY(bars.widget.downArrowRect().isEmpty());

    // A click where the down arrow was does nothing now.
    QTest::mouseClick(&bars.widget, Qt::LeftButton, Qt::NoModifier, QPoint(225, 18 * (361 / 20)));
    QCOMPARE(bars.widget.firstIndex(), 2);
}

void TestDiskWidget::clearReturnsToTop()
{
    Bars bars(2, 9);
    bars.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bars.widget));
    bars.widget.repaint();
    bars.clickArrow(bars.widget.downArrowRect());
    QCOMPARE(bars.widget.firstIndex(), 2);

    bars.widget.clear();
    bars.widget.setColumns(1);
    for (const char *name : {"C", "D", "E"})
        QVERIFY(bars.widget.addItem(kIcon, QLatin1String(name), 1.0f, 2.0f));
    bars.widget.repaint();

    QCOMPARE(bars.shownNames(), letters('C', 'E'));
    QVERIFY(bars.widget.upArrowRect().isEmpty());
    QVERIFY(bars.widget.downArrowRect().isEmpty());
}

void TestDiskWidget::sizeTexts_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("sizes");
    QTest::newRow("one column") << 1 << QStringLiteral("12.34GB可用 共100.00G");
    QTest::newRow("two columns") << 2 << QStringLiteral("12.34/100.00G");
}

void TestDiskWidget::sizeTexts()
{
    QFETCH(int, columns);
    QFETCH(QString, sizes);

    DiskWidget widget;
    widget.resize(451, 361);
    widget.setColumns(columns);
    widget.setFontSize(9);
    QVERIFY(widget.addItem(kIcon, QStringLiteral("C"), 87.66f, 100.0f));

    const QVector<TextRecorder::Text> texts = TextRecorder::record(widget);
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0].text, QStringLiteral("分区(C)"));
    QCOMPARE(texts[1].text, sizes);
    for (const TextRecorder::Text &t : texts) {
        QCOMPARE(t.font.family(), QStringLiteral("黑体"));
        QCOMPARE(t.font.pointSize(), 9);
        QCOMPARE(t.colour, QColor(Qt::white));
    }
}

QTEST_MAIN(TestDiskWidget)
#include "tst_diskwidget.moc"
