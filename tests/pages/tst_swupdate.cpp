// The flash and read/write test page against a stand-in tool: the checks
// before a run, what the tool is given, the verdicts, the failed starts and
// the end of a run.
#include "SwUpdateFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace {

const QByteArray kModel = "QYM-M7A0-512G";
const QString kQuestion = QStringLiteral("R/W测试将格式化磁盘，是否继续");
const QString kGood = QStringLiteral("color:white;background:rgb(100,250,101);");
const QString kBad = QStringLiteral("color:white;background:rgb(251,85,16);");

}  // namespace

class TestSwUpdate : public QObject
{
    Q_OBJECT

private slots:
    void checksStopBeforeAnyFile_data();
    void checksStopBeforeAnyFile();
    void runGivesToolIniAndMarker_data();
    void runGivesToolIniAndMarker();
    void markerIsWrittenForEveryTest();
    void scriptsNameTheDiskAndLeaveNoTail();
    void pressDuringRunChangesNothing();
    void verdicts_data();
    void verdicts();
    void cancelledQuestionKeepsVerdict();
    void failedStart_data();
    void failedStart();
    void leftoverActiveIniStopsTheRun();
    void diskInfoLabels_data();
    void diskInfoLabels();
    void endOfRunWaitsWithEventsFlowing();
    void pressDuringTheWaitAfterAFailedStart();
    void destroyedPageWaitsForTheTool();
    void scriptsAndMarkerReplaceLinks();
};

void TestSwUpdate::checksStopBeforeAnyFile_data()
{
    QTest::addColumn<bool>("rwTest");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<double>("capacity");
    QTest::addColumn<int>("capacityIndex");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("systemDisk");

    const QByteArray loader = "Generic FCR SATA Loader Loader Device";
    const QString noCapacity = QStringLiteral("请选择容量");
    const QString tooSmall = QStringLiteral("4M盘不能进行读写测试");
    QTest::newRow("flash, no capacity") << false << kModel << 476.94 << 0 << noCapacity << false;
    QTest::newRow("r/w, no capacity") << true << kModel << 476.94 << 0 << noCapacity << false;
    QTest::newRow("r/w, 0.003 GB, refused before the capacity") << true << kModel << 0.003 << 0 << tooSmall << false;
    QTest::newRow("flash, 0.003 GB, reaches the capacity") << false << kModel << 0.003 << 0 << noCapacity << false;
    QTest::newRow("r/w, just under 4 MB") << true << kModel << 0.0039 << 1 << tooSmall << false;
    QTest::newRow("r/w, loader model") << true << loader << 476.94 << 1 << tooSmall << false;
    QTest::newRow("flash, loader model, no size check") << false << loader << 0.003 << 0 << noCapacity << false;
    QTest::newRow("flash, no disk") << false << QByteArray() << 0.0 << 1 << QStringLiteral("请连接磁盘") << false;
    // Exactly 4 MB passes the size check; 取消 then stops the test.
    // The system disk is refused before the format question.
    const QString systemDisk = QStringLiteral("此磁盘是系统盘，不能进行测试");
    QTest::newRow("flash, system disk") << false << kModel << 476.94 << 1 << systemDisk << true;
    QTest::newRow("r/w, system disk") << true << kModel << 476.94 << 1 << systemDisk << true;
    QTest::newRow("r/w, exactly 4 MB, cancelled") << true << kModel << 0.00390625 << 1 << kQuestion << false;
}

void TestSwUpdate::checksStopBeforeAnyFile()
{
    QFETCH(bool, rwTest);
    QFETCH(QByteArray, model);
    QFETCH(double, capacity);
    QFETCH(int, capacityIndex);
    QFETCH(QString, dialog);
    QFETCH(bool, systemDisk);

    PageFixture f;
    PhyDiskInfo disk = diskRecord(1, model, capacity);
    disk.isSystemDisk = systemDisk ? 1 : 0;
    f.page->GetDiskInfo(disk);
    f.capacity->setCurrentIndex(capacityIndex);
    if (dialog == kQuestion)
        f.dialogs.queue(QMessageDlg::BtnCancel);
    f.press(rwTest);

    QCOMPARE(f.dialogs.texts, QStringList{dialog});
    QVERIFY(!QFile::exists(f.appFile("raw")));
    QVERIFY(!QFile::exists(f.toolFile("runs")));
    QCOMPARE(QDir(f.work.path()).entryList(QDir::Files), QStringList());
    f.verifyInisRestored();
}

void TestSwUpdate::runGivesToolIniAndMarker_data()
{
    QTest::addColumn<int>("capacityIndex");
    QTest::addColumn<bool>("rwTest");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("marker");

    QTest::newRow("128G, flash") << 1 << false << QByteArray("128") << QByteArray("false");
    QTest::newRow("256G, r/w") << 2 << true << QByteArray("256") << QByteArray("true");
    QTest::newRow("512G, flash") << 3 << false << QByteArray("512") << QByteArray("false");
}

void TestSwUpdate::runGivesToolIniAndMarker()
{
    QFETCH(int, capacityIndex);
    QFETCH(bool, rwTest);
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, marker);

    PageFixture f;
    f.giveDisk(1, kModel, 476.94);
    f.capacity->setCurrentIndex(capacityIndex);
    f.press(rwTest);

    QCOMPARE(f.dialogs.texts, rwTest ? QStringList{kQuestion} : QStringList());
    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\n"));
    QCOMPARE(PageFixture::readFile(f.toolFile("seen-ini")), ini);
    QCOMPARE(PageFixture::readFile(f.toolFile("seen-raw")), marker);
    f.verifyInisRestored();
    // The marker stays after a run.
    QCOMPARE(PageFixture::readFile(f.appFile("raw")), marker);
    QVERIFY(f.flashButton->isEnabled());
    QVERIFY(f.rwButton->isEnabled());
}

void TestSwUpdate::markerIsWrittenForEveryTest()
{
    PageFixture f;
    f.giveDisk(1, kModel, 476.94);
    f.capacity->setCurrentIndex(1);

    const struct {
        bool rwTest;
        QByteArray marker;
    } runs[] = {{true, "true"}, {false, "false"}, {true, "true"}};
    for (const auto &run : runs) {
        f.press(run.rwTest);
        QCOMPARE(PageFixture::readFile(f.toolFile("seen-raw")), run.marker);
        QCOMPARE(PageFixture::readFile(f.appFile("raw")), run.marker);
    }
    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\nrun\nrun\n"));
}

void TestSwUpdate::scriptsNameTheDiskAndLeaveNoTail()
{
    PageFixture f;
    const QByteArray longer = QByteArray("select disk 1\r\nclean all\r\n").repeated(8);
    PageFixture::writeFile(f.workFile("offline.txt"), longer);
    PageFixture::writeFile(f.workFile("online.txt"), longer);
    f.capacity->setCurrentIndex(2);

    const struct {
        int diskNum;
        QByteArray offline;
        QByteArray online;
    } runs[] = {
        {12, "select disk 12\r\noffline disk", "select disk 12\r\nonline disk"},
        {3, "select disk 3\r\noffline disk", "select disk 3\r\nonline disk"},
    };
    for (const auto &run : runs) {
        f.giveDisk(run.diskNum, kModel, 476.94);
        f.press(false);
        QCOMPARE(PageFixture::readFile(f.workFile("offline.txt")), run.offline);
        QCOMPARE(PageFixture::readFile(f.workFile("online.txt")), run.online);
    }
}

void TestSwUpdate::pressDuringRunChangesNothing()
{
    PageFixture f;
    PageFixture::writeFile(f.toolFile("hold"), "");
    f.giveDisk(3, kModel, 476.94);
    f.capacity->setCurrentIndex(1);
    f.flashButton->click();

    QVERIFY(!f.flashButton->isEnabled());
    QVERIFY(!f.rwButton->isEnabled());
    QVERIFY(!f.busy->isHidden());
    QTRY_VERIFY(QFile::exists(f.toolFile("seen-ini")));

    // Another capacity, both tests pressed (the buttons are disabled, so
    // straight through the slots), and another disk handed in.
    f.capacity->setCurrentIndex(3);
    f.page->on_btTest_clicked();
    f.page->on_RWTest_clicked();
    QCOMPARE(f.dialogs.texts, QStringList{kQuestion});
    f.giveDisk(7, "QX M7A0 120G", 111.79);
    QCOMPARE(f.page->findChild<QLabel *>(QStringLiteral("lbModel"))->text(), QStringLiteral("QX M7A0 120G"));

    QFile::remove(f.toolFile("hold"));
    f.waitForEnd();
    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\n"));
    QCOMPARE(PageFixture::readFile(f.appFile("raw")), QByteArray("false"));
    // The 128G configuration goes back under its own name, and the disk the
    // run took offline is the one brought back.
    f.verifyInisRestored();
    QCOMPARE(PageFixture::readFile(f.workFile("online.txt")), QByteArray("select disk 3\r\nonline disk"));
    QVERIFY(f.flashButton->isEnabled());
    QVERIFY(f.rwButton->isEnabled());
}

void TestSwUpdate::verdicts_data()
{
    QTest::addColumn<bool>("rwTest");
    QTest::addColumn<QByteArray>("result");  // "<none>": the tool writes none
    QTest::addColumn<QString>("text");        // empty: the label stays hidden
    QTest::addColumn<QString>("style");

    QTest::newRow("pass after a flash test") << false << QByteArray("log\npass\n") << "R/W正常" << kGood;
    QTest::newRow("true and pass") << true << QByteArray("true pass") << "Flash正常" << kGood;
    QTest::newRow("false") << false << QByteArray("pass\nfalse") << "Flash异常" << kBad;
    QTest::newRow("true earlier, last line empty") << false << QByteArray("true\n\n") << "R/W异常" << kBad;
    QTest::newRow("empty file") << true << QByteArray() << "R/W异常" << kBad;
    QTest::newRow("case matters") << false << QByteArray("TRUE PASS") << "R/W异常" << kBad;
    QTest::newRow("no result file") << false << QByteArray("<none>") << QString() << QString();
}

void TestSwUpdate::verdicts()
{
    QFETCH(bool, rwTest);
    QFETCH(QByteArray, result);
    QFETCH(QString, text);
    QFETCH(QString, style);

    PageFixture f;
    if (result != "<none>")
        PageFixture::writeFile(f.toolFile("answer"), result);
    f.giveDisk(1, kModel, 476.94);
    f.capacity->setCurrentIndex(1);
    f.press(rwTest);

    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\n"));
    QCOMPARE(f.result->isHidden(), text.isEmpty());
    QVERIFY(!QFile::exists(f.appFile("result")));
    if (text.isEmpty())
        return;
    QCOMPARE(f.result->text(), text);
    QCOMPARE(f.result->styleSheet(), style);
    QCOMPARE(f.result->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(f.result->font().pixelSize(), 40);
    QCOMPARE(f.result->alignment(), Qt::AlignCenter);
}

void TestSwUpdate::cancelledQuestionKeepsVerdict()
{
    PageFixture f;
    PageFixture::writeFile(f.toolFile("answer"), "pass");
    f.giveDisk(1, kModel, 476.94);
    f.capacity->setCurrentIndex(1);
    f.press(false);
    QCOMPARE(f.result->text(), QStringLiteral("R/W正常"));

    f.dialogs.queue(QMessageDlg::BtnCancel);
    f.press(true);
    QCOMPARE(f.dialogs.texts, QStringList{kQuestion});
    QVERIFY(!f.result->isHidden());
    QCOMPARE(f.result->text(), QStringLiteral("R/W正常"));
    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\n"));

    // A flash test hides the verdict before its checks.
    f.capacity->setCurrentIndex(0);
    f.press(false);
    QVERIFY(f.result->isHidden());
}

void TestSwUpdate::failedStart_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("diskTakenOffline");

    // The disk is taken offline before the start, and brought back.
    QTest::newRow("tool not executable") << "not executable" << true;
    // Nothing is touched when there is no tool or no marker.
    QTest::newRow("no tool") << "no tool" << false;
    QTest::newRow("marker cannot be written") << "marker is a folder" << false;
}

void TestSwUpdate::failedStart()
{
    QFETCH(QString, fault);
    QFETCH(bool, diskTakenOffline);

    PageFixture f;
    const QString tool = f.toolFile("JMMassProd.exe");
    if (fault == "not executable")
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner);
    else if (fault == "no tool")
        QFile::remove(tool);
    else
        QDir(f.app.path()).mkdir(QStringLiteral("raw"));
    if (fault != "marker is a folder")
        PageFixture::writeFile(f.appFile("raw"), "true");  // from an earlier R/W test
    f.giveDisk(4, kModel, 476.94);
    f.capacity->setCurrentIndex(2);
    f.press(false);

    QCOMPARE(f.dialogs.texts, QStringList{QStringLiteral("启动失败")});
    QVERIFY(!QFile::exists(f.toolFile("runs")));
    f.verifyInisRestored();
    QVERIFY(f.flashButton->isEnabled());
    QVERIFY(f.busy->isHidden());
    if (diskTakenOffline) {
        QVERIFY(!QFile::exists(f.appFile("raw")));
        QCOMPARE(PageFixture::readFile(f.workFile("offline.txt")), QByteArray("select disk 4\r\noffline disk"));
        QCOMPARE(PageFixture::readFile(f.workFile("online.txt")), QByteArray("select disk 4\r\nonline disk"));
    } else {
        QCOMPARE(QDir(f.work.path()).entryList(QDir::Files), QStringList());
    }
}

void TestSwUpdate::leftoverActiveIniStopsTheRun()
{
    PageFixture f;
    // An interrupted run left the 512G configuration active.
    QVERIFY(QFile::rename(f.toolFile("MKMPTOOL512G.ini"), f.toolFile("MKMPTOOL.ini")));
    f.giveDisk(4, kModel, 476.94);
    f.capacity->setCurrentIndex(2);
    f.press(false);

    QCOMPARE(f.dialogs.texts, QStringList{QStringLiteral("启动失败")});
    QVERIFY(!QFile::exists(f.toolFile("runs")));
    QVERIFY(!QFile::exists(f.appFile("raw")));
    QCOMPARE(PageFixture::readFile(f.toolFile("MKMPTOOL.ini")), QByteArray("512"));
    QCOMPARE(PageFixture::readFile(f.toolFile("MKMPTOOL256G.ini")), QByteArray("256"));
    QCOMPARE(QDir(f.work.path()).entryList(QDir::Files), QStringList());
}

void TestSwUpdate::diskInfoLabels_data()
{
    QTest::addColumn<double>("capacity");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("capacityText");
    QTest::addColumn<QString>("modelText");

    QTest::newRow("six significant digits") << 238.47489 << kModel << "238.475G" << "QYM-M7A0-512G";
    QTest::newRow("four digits") << 1863.0148 << kModel << "1863.01G" << "QYM-M7A0-512G";
    QTest::newRow("4 MB") << 0.00390625 << kModel << "0.00390625G" << "QYM-M7A0-512G";
    QTest::newRow("whole") << 512.0 << kModel << "512G" << "QYM-M7A0-512G";
    QTest::newRow("Latin-1 model") << 1.5 << QByteArray("QY\xC4-1") << "1.5G" << QString::fromUtf8("QYÄ-1");
    // A model filling its 260 bytes without a NUL ends there, not in the
    // firmware field behind it.
    QTest::newRow("model without NUL") << 0.0 << QByteArray(kTextLength, 'M') << "0G" << QString(kTextLength, 'M');
}

void TestSwUpdate::diskInfoLabels()
{
    QFETCH(double, capacity);
    QFETCH(QByteArray, model);
    QFETCH(QString, capacityText);
    QFETCH(QString, modelText);

    PageFixture f;
    PhyDiskInfo disk = diskRecord(2, model, capacity, "SN\xE9 01", "FW 1");
    f.page->GetDiskInfo(disk);
    QCOMPARE(f.page->findChild<QLabel *>(QStringLiteral("lbCapacity"))->text(), capacityText);
    // Whole, or elided with "…" where it is wider than the label and then
    // whole in its tool tip.
    const QLabel *modelLabel = f.page->findChild<QLabel *>(QStringLiteral("lbModel"));
    if (modelLabel->text() != modelText) {
        QVERIFY2(modelLabel->text().endsWith(QChar(0x2026)), qPrintable(modelLabel->text()));
        QVERIFY(modelText.startsWith(modelLabel->text().chopped(1)));
        QCOMPARE(modelLabel->toolTip(), modelText);
    }
    QCOMPARE(f.page->findChild<QLabel *>(QStringLiteral("lbSerial"))->text(), QString::fromUtf8("SNé 01"));
    QCOMPARE(f.page->findChild<QLabel *>(QStringLiteral("lbFirmware"))->text(), QStringLiteral("FW 1"));
}

void TestSwUpdate::endOfRunWaitsWithEventsFlowing()
{
    PageFixture f;
    // Due at once, but handled only by a wait that turns the event loop.
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    QElapsedTimer clock;
    clock.start();
    f.page->MPTFinished(0, QProcess::NormalExit);
    QVERIFY2(clock.elapsed() >= 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(handled);
    QVERIFY(QFile::exists(f.workFile("online.txt")));
}

void TestSwUpdate::pressDuringTheWaitAfterAFailedStart()
{
    PageFixture f;
    // The tool cannot start: the disk is brought back online and the page
    // waits 500 ms, with events flowing, before it says so.
    QFile::setPermissions(f.toolFile("JMMassProd.exe"), QFile::ReadOwner | QFile::WriteOwner);
    f.giveDisk(4, kModel, 476.94);
    f.capacity->setCurrentIndex(2);
    bool enabledDuringWait = true;
    bool pressed = false;
    // The first turn of the event loop after the press is the page's wait's.
    QTimer::singleShot(0, [&] {
        enabledDuringWait = f.flashButton->isEnabled() || f.rwButton->isEnabled();
        f.capacity->setCurrentIndex(3);
        f.flashButton->click();
        f.page->on_btTest_clicked();  // straight through the slot as well
        pressed = true;
    });
    f.press(false);
    QTRY_VERIFY(pressed);
    QVERIFY(!enabledDuringWait);

    QCOMPARE(f.dialogs.texts, QStringList{QStringLiteral("启动失败")});
    f.verifyInisRestored();
    QVERIFY(!QFile::exists(f.appFile("raw")));
    QVERIFY(f.flashButton->isEnabled());
    QVERIFY(f.rwButton->isEnabled());
}

void TestSwUpdate::destroyedPageWaitsForTheTool()
{
    PageFixture f;
    PageFixture::writeFile(f.toolFile("hold"), "");
    PageFixture::writeFile(f.toolFile("answer"), "pass");
    f.giveDisk(5, kModel, 476.94);
    f.capacity->setCurrentIndex(2);
    f.flashButton->click();
    QTRY_VERIFY(QFile::exists(f.toolFile("seen-ini")));

    // The page goes while the tool runs. The tool is let go only once the
    // page is going: by the page waiting for its end, as it takes in what
    // the tool says meanwhile. A page that killed the tool never gets there.
    const QString hold = f.toolFile("hold");
    auto *tool = f.page->findChild<QProcess *>();
    QVERIFY(tool);
    bool going = false;
    QObject::connect(tool, &QProcess::readyReadStandardOutput, tool, [&] {
        if (going)
            QFile::remove(hold);
    });
    going = true;
    f.page.reset();
    QVERIFY(!QFile::exists(hold));

    // The tool ran to its end rather than being killed, and the run was undone.
    QCOMPARE(PageFixture::readFile(f.appFile("result")), QByteArray("pass"));
    f.verifyInisRestored();
    QCOMPARE(PageFixture::readFile(f.workFile("online.txt")), QByteArray("select disk 5\r\nonline disk"));
    QVERIFY(f.dialogs.texts.isEmpty());
}

void TestSwUpdate::scriptsAndMarkerReplaceLinks()
{
    PageFixture f;
    // Links planted under the names the page writes, as root, in folders
    // others may write to.
    const QString precious = f.workFile("precious");
    PageFixture::writeFile(precious, "someone's data");
    QVERIFY(QFile::link(precious, f.workFile("offline.txt")));
    QVERIFY(QFile::link(precious, f.appFile("raw")));
    QVERIFY(QFile::link(f.workFile("created-through-the-link"), f.workFile("online.txt")));
    f.giveDisk(2, kModel, 476.94);
    f.capacity->setCurrentIndex(1);
    f.press(false);

    QCOMPARE(PageFixture::readFile(f.toolFile("runs")), QByteArray("run\n"));
    QCOMPARE(PageFixture::readFile(precious), QByteArray("someone's data"));
    QVERIFY(!QFile::exists(f.workFile("created-through-the-link")));
    const struct {
        QString path;
        QByteArray content;
    } written[] = {
        {f.workFile("offline.txt"), "select disk 2\r\noffline disk"},
        {f.workFile("online.txt"), "select disk 2\r\nonline disk"},
        {f.appFile("raw"), "false"},
    };
    for (const auto &file : written) {
        QVERIFY2(!QFileInfo(file.path).isSymLink(), qPrintable(file.path));
        QCOMPARE(PageFixture::readFile(file.path), file.content);
    }
}

QTEST_MAIN(TestSwUpdate)
#include "tst_swupdate.moc"
