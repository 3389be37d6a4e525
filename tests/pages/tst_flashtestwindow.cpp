// quillfence-flashtest's window lists the disks of the disk list whose
// identity could be read, and hands the chosen one to the test page; it
// stays open while a test runs.
#include "SwUpdateFixture.h"
#include "disk/StorageBackend.h"
#include "files/UserSettings.h"
#include "pages/FlashTestWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class TestFlashTestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsDisksAndFeedsThePage();
    void closingDuringATestIsRefused();
};

void TestFlashTestWindow::initTestCase()
{
    QVERIFY(qEnvironmentVariableIsSet(kDevicesVariable));
    selectStorageFromEnvironment();
}

void TestFlashTestWindow::listsDisksAndFeedsThePage()
{
    // Whatever the main window was told to show: the tool is never offered
    // the system disk.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QVERIFY(files::writeUserSetting("show-system-disk", "1"));
    FlashTestWindow window;
    auto *selector = window.findChild<QComboBox *>(QStringLiteral("cbDiskInfo"));
    auto *model = window.findChild<QLabel *>(QStringLiteral("lbModel"));
    auto *capacity = window.findChild<QLabel *>(QStringLiteral("lbCapacity"));

    // The demo fleet's drive 0 holds the system volume and is never offered.
    QVERIFY(selector->count() > 3);
    QCOMPARE(selector->itemText(0), QStringLiteral("物理磁盘2  Kestrel HD1000 7200"));
    QCOMPARE(model->text(), QStringLiteral("Kestrel HD1000 7200"));
    QCOMPARE(capacity->text(), QStringLiteral("931.513G"));
    // Nor is drive 17, an NVMe drive: the maker's tool tests its SATA drives.
    for (int i = 0; i < selector->count(); ++i) {
        QVERIFY2(!selector->itemText(i).startsWith(QStringLiteral("物理磁盘0 ")), qPrintable(selector->itemText(i)));
        QVERIFY2(!selector->itemText(i).startsWith(QStringLiteral("物理磁盘17 ")), qPrintable(selector->itemText(i)));
    }

    const int entry = selector->findText(QStringLiteral("物理磁盘7  QYD-M7A0-512G"));
    QVERIFY(entry > 0);
    selector->setCurrentIndex(entry);
    QCOMPARE(model->text(), QStringLiteral("QYD-M7A0-512G"));
}

void TestFlashTestWindow::closingDuringATestIsRefused()
{
    ToolFolder folder;
    ToolFolder::writeFile(folder.toolFile("hold"), "");
    ToolFolder::writeFile(folder.toolFile("answer"), "true");
    DialogAnswerer dialogs;
    FlashTestWindow window(nullptr, folder.app.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QComboBox *>(QStringLiteral("cbCapacity"))->setCurrentIndex(1);
    window.findChild<QPushButton *>(QStringLiteral("btTest"))->click();
    QTRY_VERIFY(QFile::exists(folder.toolFile("seen-ini")));

    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QTRY_COMPARE(dialogs.texts, QStringList{QStringLiteral("正在测试，测试结束后才能关闭")});

    // The tool was left running: it ends on its own and gives its verdict.
    QFile::remove(folder.toolFile("hold"));
    auto *result = window.findChild<QLabel *>(QStringLiteral("lbResult"));
    QTRY_VERIFY_WITH_TIMEOUT(result->isVisible(), 10000);
    QCOMPARE(result->text(), QStringLiteral("Flash正常"));
    QCOMPARE(ToolFolder::readFile(folder.toolFile("runs")), QByteArray("run\n"));
    folder.verifyInisRestored();
    QVERIFY(window.close());
}

QTEST_MAIN(TestFlashTestWindow)
#include "tst_flashtestwindow.moc"
