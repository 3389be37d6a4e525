// The message dialog: button rows and their results, dragging, keys, the
// close-choice boxes and the button layout kept across a resize.
#include "widgets/QMessageDlg.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kIcon = QStringLiteral(":/Quillfence/Resources/icon3.png");

// Points inside the button band of a 300 x 200 dialog (y 165 to 203).
const QPoint kLeftHalf(75, 180);
const QPoint kRightHalf(225, 180);
const QPoint kMiddle(150, 180);

}  // namespace

class TestMessageDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void clickReturnsButtonId_data();
    void clickReturnsButtonId();
    void pressDraggedOffButtonReleasesNothing();
    void dragOnBackgroundMovesDialog();
    void keys_data();
    void keys();
    void closeChoiceBits_data();
    void closeChoiceBits();
    void closeChoiceBoxesPlacement();
    void resizeKeepsButtonsUntilRebuild();

private:
    // A shown 300 x 200 dialog in message mode.
    static void openMessage(QMessageDlg &dialog, int buttonSet);
};

void TestMessageDlg::initTestCase()
{
    qRegisterMetaType<QMessageDlg::emBTN>();
}

void TestMessageDlg::openMessage(QMessageDlg &dialog, int buttonSet)
{
    dialog.resize(300, 200);
    dialog.setMessage(kIcon, QStringLiteral("文件已经导出，是否现在打开？"), buttonSet);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

void TestMessageDlg::clickReturnsButtonId_data()
{
    QTest::addColumn<int>("buttonSet");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("expected");  // -1: no button, dialog stays open

    QTest::newRow("0 确定") << 0 << kMiddle << 0;
    QTest::newRow("1 确定") << 1 << kLeftHalf << 0;
    QTest::newRow("1 取消") << 1 << kRightHalf << 1;
    QTest::newRow("2 是") << 2 << kLeftHalf << 2;
    QTest::newRow("2 否") << 2 << kRightHalf << 3;
    QTest::newRow("3 continue") << 3 << kMiddle << 4;
    QTest::newRow("3 continue, right edge") << 3 << QPoint(299, 166) << 4;
    QTest::newRow("1 above the band") << 1 << QPoint(75, 160) << -1;
    QTest::newRow("unknown set has no buttons") << 7 << kMiddle << -1;
}

void TestMessageDlg::clickReturnsButtonId()
{
    QFETCH(int, buttonSet);
    QFETCH(QPoint, click);
    QFETCH(int, expected);

    QMessageDlg dialog;
    openMessage(dialog, buttonSet);
    QSignalSpy pressed(&dialog, &QMessageDlg::vBtnPress);

    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, click);

    QCOMPARE(dialog.result(), expected);
    if (expected < 0) {
        QCOMPARE(pressed.count(), 0);
        QVERIFY(dialog.isVisible());
    } else {
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.at(0).at(0).value<QMessageDlg::emBTN>(), QMessageDlg::emBTN(expected));
        QVERIFY(!dialog.isVisible());
    }
}

void TestMessageDlg::pressDraggedOffButtonReleasesNothing()
{
    QMessageDlg dialog;
    openMessage(dialog, 1);
    const QPoint start = dialog.pos();
    QSignalSpy pressed(&dialog, &QMessageDlg::vBtnPress);

    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, kLeftHalf);
    QTest::mouseMove(&dialog, QPoint(90, 100));
    QTest::mouseMove(&dialog, QPoint(120, 60));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(120, 60));

    QCOMPARE(dialog.result(), -1);
    QCOMPARE(pressed.count(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.pos(), start);
}

void TestMessageDlg::dragOnBackgroundMovesDialog()
{
    QMessageDlg dialog;
    openMessage(dialog, 0);
    const QPoint start = dialog.pos();

    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));
    QTest::mouseMove(&dialog, QPoint(60, 120));
    QCOMPARE(dialog.pos(), start + QPoint(40, 20));
    // The press point stays under the mouse.
    QTest::mouseMove(&dialog, QPoint(10, 90));
    QCOMPARE(dialog.pos(), start + QPoint(30, 10));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));

    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), -1);
}

void TestMessageDlg::keys_data()
{
    QTest::addColumn<int>("buttonSet");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("closes");

    for (int set = 0; set <= 3; ++set)
        QTest::addRow("Escape, set %d", set) << set << int(Qt::Key_Escape) << 1 << true;
    QTest::newRow("Return, set 0") << 0 << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("Return, set 1") << 1 << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("Return, set 2") << 2 << int(Qt::Key_Return) << 2 << true;
    QTest::newRow("Return, set 3 keeps result") << 3 << int(Qt::Key_Return) << -1 << true;
    QTest::newRow("Return, no buttons") << 9 << int(Qt::Key_Return) << -1 << true;
    QTest::newRow("keypad Enter does nothing") << 1 << int(Qt::Key_Enter) << -1 << false;
    QTest::newRow("space does nothing") << 0 << int(Qt::Key_Space) << -1 << false;
}

void TestMessageDlg::keys()
{
    QFETCH(int, buttonSet);
    QFETCH(int, key);
    QFETCH(int, expected);
    QFETCH(bool, closes);

    QMessageDlg dialog;
    openMessage(dialog, buttonSet);
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(&dialog, Qt::Key(key), modifiers);

    QCOMPARE(dialog.result(), expected);
    QCOMPARE(dialog.isVisible(), !closes);
}

void TestMessageDlg::closeChoiceBits_data()
{
    QTest::addColumn<QStringList>("clicks");  // boxes clicked, in order
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("minimiseChecked");

    const QString minimise = QStringLiteral("最小化到任务栏");
    const QString quit = QStringLiteral("退出软件");
    const QString remember = QStringLiteral("记住我的选择");
    QTest::newRow("untouched") << QStringList() << 0 << true;
    QTest::newRow("checked box of the pair stays checked") << QStringList{minimise} << 0 << true;
    QTest::newRow("quit") << QStringList{quit} << 1 << false;
    QTest::newRow("forget") << QStringList{remember} << 2 << true;
    QTest::newRow("quit, forget") << QStringList{quit, remember} << 3 << false;
    QTest::newRow("quit, then minimise") << QStringList{quit, minimise} << 0 << true;
    QTest::newRow("quit twice stays quit") << QStringList{quit, quit} << 1 << false;
}

void TestMessageDlg::closeChoiceBits()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, choice);
    QFETCH(bool, minimiseChecked);

    QMessageDlg dialog;
    dialog.resize(300, 200);
    dialog.setCloseChoice(1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QMap<QString, QCheckBox *> boxes;
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        boxes[box->text()] = box;
    QCOMPARE(boxes.size(), 3);

    for (const QString &name : clicks) {
        QCheckBox *box = boxes.value(name);
        QVERIFY(box);
        // On the indicator, at the box's left.
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    }

    QCOMPARE(dialog.closeChoice(), choice);
    QCOMPARE(boxes[QStringLiteral("最小化到任务栏")]->isChecked(), minimiseChecked);
    QCOMPARE(boxes[QStringLiteral("退出软件")]->isChecked(), !minimiseChecked);

    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, kLeftHalf);
    QCOMPARE(dialog.result(), 0);
}

void TestMessageDlg::closeChoiceBoxesPlacement()
{
    QMessageDlg dialog;
    dialog.resize(300, 200);
    dialog.setCloseChoice(1);

    const QMap<QString, QRect> expected = {
        {QStringLiteral("最小化到任务栏"), QRect(75, 23, 285, 23)},
        {QStringLiteral("退出软件"), QRect(75, 69, 285, 23)},
        {QStringLiteral("记住我的选择"), QRect(75, 115, 285, 23)},
    };
    const QList<QCheckBox *> boxes = dialog.findChildren<QCheckBox *>();
    QCOMPARE(boxes.size(), 3);
    for (QCheckBox *box : boxes)
        QCOMPARE(box->geometry(), expected.value(box->text()));
}

void TestMessageDlg::resizeKeepsButtonsUntilRebuild()
{
    QMessageDlg dialog;
    openMessage(dialog, 1);
    dialog.resize(600, 400);

    // Still the 300 x 200 layout: 取消 at x 150 to 299, y from 165.
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(450, 380));
    QCOMPARE(dialog.result(), -1);
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, kRightHalf);
    QCOMPARE(dialog.result(), 1);

    // The next setMessage lays the row out for 600 x 400.
    dialog.setMessage(kIcon, QStringLiteral("x"), 1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, kRightHalf);
    QCOMPARE(dialog.result(), -1);
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(450, 380));
    QCOMPARE(dialog.result(), 1);
}

QTEST_MAIN(TestMessageDlg)
#include "tst_messagedlg.moc"
