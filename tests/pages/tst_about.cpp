// The About panel: where it drops, that it drops only once while down, that
// each close is reported once, its form, and that painting comes to rest.
#include "pages/HelpDlg.h"
#include "EventLoopTurns.h"
#include "PageTestSupport.h"
#include "widgets/CjkFonts.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

QPushButton* closeButton(HelpDlg& panel)
{
    return panel.findChild<QPushButton*>();
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installCjkFontSubstitutes(); }
    void dropsAtFiveSeventhsOfParentWidth_data();
    void dropsAtFiveSeventhsOfParentWidth();
    void secondSlideDownChangesNothing();
    void closeIsReportedOncePerClose();
    void form();
    void metaObjectEntries();
    void paintingComesToRest();
};

void TestAbout::dropsAtFiveSeventhsOfParentWidth_data()
{
    QTest::addColumn<int>("parentWidth");
    QTest::addColumn<int>("x");
    QTest::newRow("700") << 700 << 500;
    QTest::newRow("706") << 706 << 500;
    QTest::newRow("707") << 707 << 505;
}

void TestAbout::dropsAtFiveSeventhsOfParentWidth()
{
    QFETCH(int, parentWidth);
    QFETCH(int, x);

    QWidget window;
    window.resize(parentWidth, 600);
    HelpDlg panel(&window);
    window.show();
    QVERIFY(panel.isHidden());

    panel.SlideDown();
    QVERIFY(panel.isVisible());
    QPropertyAnimation* drop = runningSlide(&panel);
    QVERIFY(drop);
    QCOMPARE(drop->propertyName(), QByteArray("geometry"));
    QCOMPARE(drop->duration(), 200);
    QCOMPARE(drop->startValue().toRect(), QRect(x, 56, 280, 0));
    QCOMPARE(drop->endValue().toRect(), QRect(x, 56, 280, 376));
    QTRY_COMPARE(panel.geometry(), QRect(x, 56, 280, 376));
    QTRY_VERIFY(panel.findChildren<QPropertyAnimation*>().isEmpty());
}

void TestAbout::secondSlideDownChangesNothing()
{
    QWidget window;
    window.resize(700, 600);
    HelpDlg panel(&window);
    window.show();

    panel.SlideDown();
    QPropertyAnimation* drop = runningSlide(&panel);
    QVERIFY(drop);
    panel.SlideDown();  // while still dropping
    QCOMPARE(runningSlide(&panel), drop);
    QTRY_COMPARE(panel.geometry(), QRect(500, 56, 280, 376));
    QTRY_VERIFY(panel.findChildren<QPropertyAnimation*>().isEmpty());

    window.resize(1400, 600);  // would drop at x 1000
    panel.SlideDown();
    QVERIFY(panel.findChildren<QPropertyAnimation*>().isEmpty());
    QCOMPARE(panel.geometry(), QRect(500, 56, 280, 376));
}

void TestAbout::closeIsReportedOncePerClose()
{
    QWidget window;
    window.resize(700, 600);
    HelpDlg panel(&window);
    window.show();
    QSignalSpy closed(&panel, &HelpDlg::onCloseClisked);

    panel.PushHide();  // not down: nothing to close
    QCOMPARE(closed.count(), 0);

    panel.SlideDown();
    QTRY_COMPARE(panel.geometry(), QRect(500, 56, 280, 376));
    QTest::mouseClick(closeButton(panel), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QVERIFY(panel.isHidden());
    panel.PushHide();
    QCOMPARE(closed.count(), 1);

    panel.SlideDown();
    QVERIFY(panel.isVisible());
    panel.PushHide();
    QCOMPARE(closed.count(), 2);
    QVERIFY(panel.isHidden());
}

void TestAbout::form()
{
    HelpDlg panel;
    QCOMPARE(panel.objectName(), QStringLiteral("HelpDlg"));
    QCOMPARE(panel.size(), QSize(280, 376));
    QCOMPARE(panel.windowTitle(), QStringLiteral("HelpDlg"));
    QVERIFY(panel.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(panel.autoFillBackground());
    QCOMPARE(panel.palette().color(QPalette::Window), QColor(0, 0, 0, 150));
    QVERIFY(panel.font().kerning());

    struct Expected {
        const char* name;
        QString text;
        QRect geometry;
        QString styleSheet;
    };
    const QString white14 = QStringLiteral("font: 14px \"微软雅黑\";\ncolor: rgb(255, 255, 255);");
    const Expected labels[] = {
        {"label", QString(), {85, 40, 120, 16},
         QStringLiteral("background-image: url(:/Quillfence/Resources/main/SSD-Quillfence_logo.png);\n")},
        {"label_2", QString(), {85, 63, 120, 120},
         QStringLiteral("border-image: url(:/Quillfence/Resources/add/qr-code2x.png);")},
        {"label_3", QStringLiteral("版本号:V1.0.1"), {110, 190, 71, 21},
         QStringLiteral("font: 75 11px \"微软雅黑\";\n\ncolor: rgb(255, 255, 255);")},
        {"label_4", QStringLiteral("任何意见可以反馈到"), {85, 223, 141, 20}, white14},
        {"label_5", QStringLiteral("help@quillfence.example"), {65, 241, 191, 31}, white14},
        {"label_6", QStringLiteral("Copyright © 2026 Quillfence 保留所有权利"), {8, 346, 271, 20},
         QStringLiteral("color: rgb(255, 255, 255);\nfont: 75 11px \"微软雅黑\";")},
    };
    for (const Expected& e : labels) {
        auto* label = panel.findChild<QLabel*>(QLatin1String(e.name));
        QVERIFY2(label, e.name);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->geometry(), e.geometry);
        QCOMPARE(label->styleSheet(), e.styleSheet);
    }

    QPushButton* button = closeButton(panel);
    QVERIFY(button);
    QVERIFY(button->objectName().isEmpty());
    QCOMPARE(button->text(), QStringLiteral("知道了"));
    QCOMPARE(button->geometry(), QRect(67, 295, 156, 30));
    QCOMPARE(button->font().pixelSize(), 14);
    QCOMPARE(button->styleSheet(),
             QStringLiteral("QPushButton{background-color:#2486f9;color: rgb(168, 205, 253); border-radius:2px; "
                            "border: 0px;}QPushButton:hover{color:rgb(255,255,255);}"));
}

void TestAbout::metaObjectEntries()
{
    const QMetaObject& meta = HelpDlg::staticMetaObject;
    QCOMPARE(ownMethods(meta), (QStringList{QStringLiteral("onCloseClisked()"), QStringLiteral("PushHide()")}));
    QCOMPARE(meta.method(meta.methodOffset()).methodType(), QMetaMethod::Signal);
    QCOMPARE(meta.method(meta.methodOffset() + 1).methodType(), QMetaMethod::Slot);
}

// Each paint re-asserts the close button's look; doing so must not schedule
// yet another paint of the translucent panel.
void TestAbout::paintingComesToRest()
{
    QWidget window;
    window.resize(700, 600);
    HelpDlg panel(&window);
    PaintCounter counter;
    panel.installEventFilter(&counter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel.SlideDown();
    QTRY_VERIFY(panel.findChildren<QPropertyAnimation*>().isEmpty());
    QTRY_VERIFY(counter.paints > 0);
    turnEventLoop();  // what the slide's last step asked for

    const int settled = counter.paints;
    turnEventLoop();
    QCOMPARE(counter.paints, settled);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
