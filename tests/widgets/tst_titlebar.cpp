// The title bar moves its window and forwards its buttons; the push button
// switches its look while hovered.
#include "widgets/MyPushButton.h"
#include "widgets/MyTitleBar.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

class TestTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void dragMovesWindow();
    void moveWithoutPressDoesNothing();
    void buttonEmitsOnlyItsSignal_data();
    void buttonEmitsOnlyItsSignal();
    void pushButtonHoverLook_data();
    void pushButtonHoverLook();
};

namespace {

// A window holding the bar, as the main window does.
struct Window {
    QWidget widget;
    MyTitleBar *bar;

    Window()
    {
        auto *layout = new QVBoxLayout(&widget);
        layout->setContentsMargins(1, 1, 1, 1);
        bar = new MyTitleBar(&widget);
        bar->setTitleIcon(QStringLiteral(":/Quillfence/Resources/main/SSD-Quillfence_logo.png"));
        layout->addWidget(bar);
        layout->addStretch();
        widget.resize(600, 300);
        widget.move(100, 100);
        widget.show();
    }
};

QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(QSize(64, 64)).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

void TestTitleBar::dragMovesWindow()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    QLabel *title = window.bar->findChild<QLabel *>(QStringLiteral("TitleContent"));
    QVERIFY(title);
    const QPoint start = window.widget.pos();
    const QPoint grip = title->rect().center();

    QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(title, grip + QPoint(30, 10));
    QTest::mouseRelease(title, Qt::LeftButton, Qt::NoModifier, grip);

    QCOMPARE(window.widget.pos(), start + QPoint(30, 10));
}

void TestTitleBar::moveWithoutPressDoesNothing()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    const QPoint start = window.widget.pos();

    QTest::mouseMove(window.bar, QPoint(200, 20));
    QTest::mouseMove(window.bar, QPoint(230, 30));

    QCOMPARE(window.widget.pos(), start);
}

void TestTitleBar::buttonEmitsOnlyItsSignal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("signal");  // index into min, close, help
    QTest::newRow("minimise") << QStringLiteral("ButtonMin") << 0;
    QTest::newRow("close") << QStringLiteral("ButtonClose") << 1;
    QTest::newRow("about") << QStringLiteral("ButtonHelp") << 2;
}

void TestTitleBar::buttonEmitsOnlyItsSignal()
{
    QFETCH(QString, button);
    QFETCH(int, signal);

    Window window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    QSignalSpy minimise(window.bar, &MyTitleBar::signalButtonMinClicked);
    QSignalSpy close(window.bar, &MyTitleBar::signalButtonCloseClicked);
    QSignalSpy help(window.bar, &MyTitleBar::signalButtonHelpClicked);
    const QPoint start = window.widget.pos();

    auto *pushButton = window.bar->findChild<QPushButton *>(button);
    QVERIFY(pushButton);
    QTest::mouseClick(pushButton, Qt::LeftButton);

    const QVector<int> counts = {minimise.count(), close.count(), help.count()};
    QVector<int> expected(3, 0);
    expected[signal] = 1;
    QCOMPARE(counts, expected);
    QVERIFY(window.widget.isVisible());
    QCOMPARE(window.widget.pos(), start);
}

void TestTitleBar::pushButtonHoverLook_data()
{
    QTest::addColumn<bool>("whiteText");
    QTest::addColumn<bool>("bordered");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("hover");

    // Each look ends with the rule of the disabled button: dimmed text.
    const QString whiteDisabled = QStringLiteral("QPushButton:disabled{color:rgb(185, 206, 248);}");
    const QString blackDisabled = QStringLiteral("QPushButton:disabled{color:rgb(120, 120, 120);}");
    const QString white = QStringLiteral("QPushButton{background:transparent;color:white;}") + whiteDisabled;
    const QString black = QStringLiteral("QPushButton{background:transparent;color:black;}") + blackDisabled;
    QTest::newRow("white, bordered")
        << true << true << white
        << QStringLiteral("QPushButton{background:transparent;color:white;border-radius:2px;"
                          "border-color: white;border-width: 1px;border-style: solid;}") + whiteDisabled;
    QTest::newRow("white") << true << false << white << white;
    QTest::newRow("black, bordered")
        << false << true << black
        << QStringLiteral("QPushButton{background:transparent;color:black;border-radius:2px;"
                          "border-color: black;border-width: 1px;border-style: solid;}") + blackDisabled;
    QTest::newRow("black") << false << false << black << black;
}

void TestTitleBar::pushButtonHoverLook()
{
    QFETCH(bool, whiteText);
    QFETCH(bool, bordered);
    QFETCH(QString, normal);
    QFETCH(QString, hover);

    const QString normalIcon = QStringLiteral(":/Quillfence/Resources/刷新.png");
    const QString hoverIcon = QStringLiteral(":/Quillfence/Resources/刷新_sel.png");
    QVERIFY(imageOf(QIcon(normalIcon)) != imageOf(QIcon(hoverIcon)));

    QWidget window;
    window.resize(200, 100);
    MyPushButton button(&window);
    button.setGeometry(20, 20, 75, 31);
    button.setButtonStyle(normalIcon, hoverIcon, whiteText, bordered);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(button.styleSheet(), normal);
    QCOMPARE(imageOf(button.icon()), imageOf(QIcon(normalIcon)));

    QEnterEvent enter(QPointF(30, 15), QPointF(50, 35), QPointF(button.mapToGlobal(QPoint(30, 15))));
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.styleSheet(), hover);
    QCOMPARE(imageOf(button.icon()), imageOf(QIcon(hoverIcon)));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(button.styleSheet(), normal);
    QCOMPARE(imageOf(button.icon()), imageOf(QIcon(normalIcon)));

    // Disabled under the mouse, and entered while disabled: it does not light up.
    QApplication::sendEvent(&button, &enter);
    button.setEnabled(false);
    QCOMPARE(button.styleSheet(), normal);
    QCOMPARE(imageOf(button.icon()), imageOf(QIcon(normalIcon)));
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.styleSheet(), normal);
}

QTEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
