// The overlay mask follows the watched dialogs; the round refresh button
// takes clicks only on its picture.
#include "EventLoopTurns.h"
#include "widgets/MaskWidget.h"
#include "widgets/QMessageDlg.h"
#include "widgets/QUsbButton.h"

#include <QSignalSpy>
#include <QtTest>

class TestMaskUsb : public QObject
{
    Q_OBJECT

private slots:
    void maskFollowsWatchedDialog();
    void maskIgnoresOtherNames();
    void emptyNameListStopsMask();
    void withoutTranslucentWindowsTheMaskIsAChild();
    void refreshButtonTakesClicksOnItsPictureOnly();
    void hiddenRefreshButton();
    void refreshStyleSettlesInParentPaint();
};

namespace {

struct MainWindow {
    QWidget widget;
    MaskWidget *mask;

    MainWindow()
    {
        widget.setGeometry(100, 100, 500, 400);
        widget.show();
        mask = new MaskWidget(&widget);
        mask->setDialogNames({QStringLiteral("QVMsgBox")});
    }
};

// A mask on a desktop that does not blend translucent windows.
class UnblendedMask : public MaskWidget
{
public:
    using MaskWidget::MaskWidget;

protected:
    bool translucentWindows() const override { return false; }
};

// Repaints its parent's refresh button look on every paint, as the main
// window does.
class PaintingParent : public QWidget
{
public:
    QUsbButton *button = new QUsbButton(this);
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++paints;
        button->applyRefreshStyle();
    }
};

}  // namespace

void TestMaskUsb::maskFollowsWatchedDialog()
{
    MainWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    QVERIFY(!window.mask->isVisible());

    QMessageDlg dialog(&window.widget);
    dialog.resize(300, 200);
    dialog.setMessage(QStringLiteral(":/Quillfence/Resources/icon1.png"), QStringLiteral("完成"), 0);
    dialog.show();
    QVERIFY(window.mask->isVisible());
    QCOMPARE(window.mask->geometry(), window.widget.geometry());

    dialog.reject();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!window.mask->isVisible());
}

void TestMaskUsb::maskIgnoresOtherNames()
{
    MainWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));

    QDialog other(&window.widget);
    other.setObjectName(QStringLiteral("QVMsgBox2"));
    other.show();
    QVERIFY(!window.mask->isVisible());
}

void TestMaskUsb::emptyNameListStopsMask()
{
    MainWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    window.mask->setDialogNames({});

    QMessageDlg dialog(&window.widget);
    dialog.resize(300, 200);
    dialog.setMessage(QString(), QStringLiteral("x"), 0);
    dialog.show();
    QVERIFY(!window.mask->isVisible());
}

void TestMaskUsb::withoutTranslucentWindowsTheMaskIsAChild()
{
    QWidget window;
    window.setGeometry(100, 100, 500, 400);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(50, 143, 253));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto *mask = new UnblendedMask(&window);
    mask->setDialogNames({QStringLiteral("QVMsgBox")});
    auto *later = new QWidget(&window);  // a child created after the mask
    later->setGeometry(10, 10, 50, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QMessageDlg dialog(&window);
    dialog.resize(300, 200);
    dialog.setMessage(QString(), QStringLiteral("x"), 0);
    dialog.show();
    QVERIFY(mask->isVisible());
    QVERIFY(!mask->isWindow());
    QCOMPARE(mask->geometry(), window.rect());
    QCOMPARE(window.childAt(20, 20), mask);  // above the other children
    // The window's colour under black at alpha 150.
    const QColor dimmed = window.grab().toImage().pixelColor(300, 300);
    QVERIFY2(qAbs(dimmed.red() - 21) <= 1 && qAbs(dimmed.green() - 59) <= 1 && qAbs(dimmed.blue() - 104) <= 1,
             qPrintable(dimmed.name()));

    dialog.reject();
    QVERIFY(!mask->isVisible());
    QCOMPARE(window.grab().toImage().pixelColor(300, 300), QColor(50, 143, 253));
}

void TestMaskUsb::refreshButtonTakesClicksOnItsPictureOnly()
{
    QWidget window;
    window.resize(200, 150);
    QUsbButton button(&window);
    button.move(20, 20);
    QVERIFY(button.shown());
    button.applyRefreshStyle();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(button.size(), QSize(61, 51));
    QVERIFY(button.isEnabled());
    QSignalSpy clicked(&button, &QUsbButton::usbBtnclicked);

    // The transparent corner: the click falls through to the window.
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(58, 48));
    QCOMPARE(clicked.count(), 0);

    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
    QCOMPARE(clicked.count(), 1);
}

void TestMaskUsb::hiddenRefreshButton()
{
    QWidget window;
    QUsbButton button(&window);
    window.show();
    button.setShown(false);
    button.applyRefreshStyle();
    QVERIFY(!button.isVisible());
    QVERIFY(!button.isEnabled());

    button.setShown(true);
    button.applyRefreshStyle();
    QVERIFY(button.isVisible());
    QVERIFY(button.isEnabled());
}

void TestMaskUsb::refreshStyleSettlesInParentPaint()
{
    PaintingParent window;
    window.resize(200, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.paints > 0);
    turnEventLoop();  // what the first paint's restyling asked for
    const int settled = window.paints;
    turnEventLoop();
    // Restyling the button must not schedule yet another paint of the parent.
    QCOMPARE(window.paints, settled);
    QCOMPARE(window.button->size(), QSize(61, 51));
}

QTEST_MAIN(TestMaskUsb)
#include "tst_maskusb.moc"
