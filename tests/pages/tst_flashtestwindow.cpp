// quillfence-flashtest's window lists the disks of the disk list whose
// identity could be read, and hands the chosen one to the test page.
#include "disk/StorageBackend.h"
#include "pages/FlashTestWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>

class TestFlashTestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsDisksAndFeedsThePage();
};

void TestFlashTestWindow::initTestCase()
{
    QVERIFY(qEnvironmentVariableIsSet(kDevicesVariable));
    selectStorageFromEnvironment();
}

void TestFlashTestWindow::listsDisksAndFeedsThePage()
{
    FlashTestWindow window;
    auto *selector = window.findChild<QComboBox *>(QStringLiteral("cbDiskInfo"));
    auto *model = window.findChild<QLabel *>(QStringLiteral("lbModel"));
    auto *capacity = window.findChild<QLabel *>(QStringLiteral("lbCapacity"));

    // The demo fleet's drive 0 holds the system volume and is never offered.
    QVERIFY(selector->count() > 3);
    QCOMPARE(selector->itemText(0), QStringLiteral("物理磁盘2  Kestrel HD1000 7200"));
    QCOMPARE(model->text(), QStringLiteral("Kestrel HD1000 7200"));
    QCOMPARE(capacity->text(), QStringLiteral("931.513G"));
    for (int i = 0; i < selector->count(); ++i)
        QVERIFY2(!selector->itemText(i).startsWith(QStringLiteral("物理磁盘0 ")), qPrintable(selector->itemText(i)));

    const int entry = selector->findText(QStringLiteral("物理磁盘7  QYD-M7A0-512G"));
    QVERIFY(entry > 0);
    selector->setCurrentIndex(entry);
    QCOMPARE(model->text(), QStringLiteral("QYD-M7A0-512G"));
}

QTEST_MAIN(TestFlashTestWindow)
#include "tst_flashtestwindow.moc"
