// The main window on simulated machines: refresh cycle, selection, life and
// health, close behaviour with its settings file, tray, pages and hot-plug.

#include "app/CloseSettings.h"
#include "app/DiskNotifications.h"
#include "app/MainWin.h"
#include "ServedHelper.h"
#include "disk/StorageBackend.h"
#include "disk/simulated/AtaSectors.h"
#include "disk/simulated/SimulatedStorage.h"
#include "widgets/DiskWidget.h"
#include "widgets/QMenuButton.h"
#include "widgets/QRoundProgressBar.h"
#include "widgets/QUsbButton.h"
#include "worker/DeviceWorker.h"
#include "CommandGate.h"
#include "MainWinFixture.h"
#include "DialogAnswerer.h"
#include "MessageButtons.h"
#include "ModalAnswers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString drive(int number, const QString& model, const QString& extra = QString())
{
    const QString identity = model.isEmpty() ? QString()
                                             : QStringLiteral(", \"identity\": {\"serial\": \"S%1\", \"model\": \"%2\", "
                                                              "\"firmware\": \"F1\"}")
                                                   .arg(number)
                                                   .arg(model);
    return QStringLiteral("{\"number\": %1, \"length\": 128035676160%2%3}").arg(number).arg(identity, extra);
}

QString volumes(const QString& letters)
{
    QStringList list;
    for (QChar letter : letters)
        list << QStringLiteral("{\"letter\": \"%1\", \"total\": 10737418240, \"free\": 5368709120}").arg(letter);
    return QStringLiteral(", \"volumes\": [%1]").arg(list.join(", "));
}

const QString kSystemDrive = drive(0, QStringLiteral("System"), volumes(QStringLiteral("C")));
// SMART of a maker's M7A0 drive with 89 % of its life left; SMART that fails.
const QString kLife89 = QStringLiteral(", \"smart\": {\"attributes\": [{\"id\": 231, \"value\": 89, \"raw\": 89}]}");
const QString kSmartFails = QStringLiteral(", \"faults\": [\"smart\"]");

// Calls `seen` for every event of one type that reaches a widget.
class EventLog : public QObject {
public:
    EventLog(QWidget* widget, QEvent::Type type, std::function<void()> seen) : type(type), seen(std::move(seen))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type)
            seen();
        return false;
    }

private:
    QEvent::Type type;
    std::function<void()> seen;
};

// Ticks the boxes of the question what closing does, and clicks 确定.
ModalAnswers::Answer closeChoice(bool quit, bool remember)
{
    return answerIf<QMessageDlg>([=](QMessageDlg* dialog) {
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            if (box->text() == QStringLiteral("退出软件") && quit)
                box->click();
            if (box->text() == QStringLiteral("记住我的选择") && box->isChecked() != remember)
                box->click();
        }
        clickMessageButton(dialog, QMessageDlg::BtnOk);
    });
}

SimulatedStorage& simulatedMachine()
{
    auto* machine = dynamic_cast<SimulatedStorage*>(&storage());
    if (!machine)
        qFatal("not a simulated machine");
    return *machine;
}

// Turns the event loop without running any timer until `spy` has caught one
// more signal. A change of the fleet file is noticed meanwhile (the kernel
// has queued its notice before the write returned), but the quiet time the
// window waits for after a burst of changes cannot run out.
bool noticedWithoutTimers(QSignalSpy& spy)
{
    const int before = spy.count();
    const QDeadlineTimer deadline(10000);
    while (spy.count() == before && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::X11ExcludeTimers);
        if (spy.count() == before)
            QThread::msleep(1);
    }
    return spy.count() > before;
}

}  // namespace

class MainWinTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString fleetPath;

    void machine(const QStringList& drives)
    {
        writeFleet(drives);
        selectStorageFromEnvironment();
    }
    // Only the file: a window watching it reads it again on its device thread.
    void writeFleet(const QStringList& drives)
    {
        save(QStringLiteral("{\"drives\": [%1]}").arg(drives.join(", ")).toUtf8());
    }
    void save(const QByteArray& fleet)
    {
        QFile file(fleetPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(fleet);
    }
    template <typename T>
    static T* child(QObject* parent, const char* name = "")
    {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    static QStringList entries(QWidget* window)
    {
        QStringList texts;
        auto* selector = child<QComboBox>(window, "cbDiskInfo");
        for (int i = 0; i < selector->count(); ++i)
            texts << selector->itemText(i);
        return texts;
    }
    static DiskNotifications* notifications(MainWin& win)
    {
        auto* found = win.findChild<DiskNotifications*>();
        if (!found)
            qFatal("no disk notifications");
        return found;
    }
    // The wait for quiet after a burst of changes.
    static QTimer* settleTimer(MainWin& win) { return child<QTimer>(notifications(win)); }
    static QFileSystemWatcher* fleetWatch(MainWin& win) { return child<QFileSystemWatcher>(notifications(win)); }
    static bool makerWidgetsShown(QWidget* window)
    {
        bool shown = true;
        for (const char* name : {"lbLifeRemain", "lbNameStauts", "lbNameSSD", "life", "lbPicSSD", "lbPicStatus"})
            shown = shown && !child<QWidget>(window, name)->isHidden();
        return shown;
    }
    // Waits until the window shows the list last asked for.
    static bool listed(MainWin& win)
    {
        return QTest::qWaitFor([&win] { return !win.readingDisks(); }, 20000);
    }
    static void writeConfig(const QByteArray& content, const QString& path = closeSettingsPath())
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray readConfig()
    {
        QFile file(closeSettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

private slots:
    // The disk's number is read back from its selector entry, in either
    // language, whatever digits the model has.
    void diskNumberOfEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("number");
        QTest::newRow("Chinese") << QStringLiteral("物理磁盘12  QX M7A0 120G") << 12;
        QTest::newRow("Chinese, system disk") << QStringLiteral("物理磁盘0  （系统盘）QYM-M7A0-512G") << 0;
        QTest::newRow("English") << QStringLiteral("Disk 7  QYD-M7A0-512G") << 7;
        QTest::newRow("English, system disk") << QStringLiteral("Disk 10  (system disk) 980 PRO 2TB") << 10;
        QTest::newRow("no number") << QStringLiteral("未检测到磁盘") << -1;
    }
    void diskNumberOfEntries()
    {
        QFETCH(QString, entry);
        QFETCH(int, number);
        QCOMPARE(diskNumberOfEntry(entry).value_or(-1), number);
    }

    void initTestCase()
    {
        QVERIFY(dir.isValid());
        fleetPath = dir.filePath("fleet.json");
        qputenv(kDevicesVariable, fleetPath.toUtf8());
        // The close settings go to this test's own configuration folder.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config-home").toUtf8());
        // and the health history to its own data folder.
        qputenv("XDG_DATA_HOME", dir.filePath("data-home").toUtf8());
        QVERIFY(closeSettingsPath().startsWith(dir.path()));
    }
    void cleanup()
    {
        QFile::remove(closeSettingsPath());  // a file, a link or a FIFO
        QDir(closeSettingsPath()).removeRecursively();
        QFile::remove(legacyCloseSettingsPath());
    }

    void onlyTheSystemDiskShowsTheNoDiskState()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QVERIFY(entries(&win).isEmpty());
        QVERIFY(!child<QLabel>(&win, "lbNoPartition")->isHidden());
        QVERIFY(!makerWidgetsShown(&win));
        QTRY_COMPARE(child<QLabel>(&win, "lbNUM")->text(), QStringLiteral("0"));
    }

    void selectionIsKeptByDiskNumberAcrossRefreshes()
    {
        machine({kSystemDrive, drive(2, "Two"), drive(3, "Three"), drive(12, "Twelve")});
        TestWin win;
        QVERIFY(listed(win));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two", "物理磁盘3  Three", "物理磁盘12  Twelve"}));
        selector->setCurrentIndex(1);

        // Drive 2 now fails its identity read: its entry says so.
        machine({kSystemDrive, drive(2, QString()), drive(3, "Three"), drive(12, "Twelve")});
        win.RefreshDiskList();
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  未能读取磁盘信息", "物理磁盘3  Three", "物理磁盘12  Twelve"}));
        QCOMPARE(selector->currentText(), QStringLiteral("物理磁盘3  Three"));
    }

    void receiversGetTheEmptySlotThenTheFirstThenThePreviousDisk()
    {
        machine({kSystemDrive, drive(2, "Two"), drive(12, "Twelve")});
        TestWin win;
        QVERIFY(listed(win));
        child<QComboBox>(&win, "cbDiskInfo")->setCurrentIndex(1);
        QStringList received;
        connect(&win, &MainWin::SendDiskInfo, this, [&](PhyDiskInfo& record) {
            received << QStringLiteral("%1:%2").arg(record.diskNum).arg(QString::fromLatin1(record.model));
        });
        win.RefreshDiskList();
        QVERIFY(listed(win));
        QCOMPARE(received, QStringList({"2:", "2:Two", "12:Twelve"}));

        received.clear();
        machine({kSystemDrive});
        win.RefreshDiskList();
        QVERIFY(listed(win));
        QCOMPARE(received, QStringList({"0:"}));  // the all-zero first slot clears the pages
        QVERIFY(!child<QLabel>(&win, "lbNoPartition")->isHidden());
        QCOMPARE(child<DiskWidget>(&win, "LogicDisk")->itemCount(), 0);
    }

    void aFailedListLeavesTheWindowAsItWas()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        QFile::remove(fleetPath);
        selectStorageFromEnvironment();  // an empty machine: no system disk
        win.RefreshDiskList();
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
    }

    // The entry under the mouse (or chosen with the keys) stands out in the
    // window's blue with white text; the others are dark on white.
    void selectorListMarksTheEntryUnderTheMouse()
    {
        machine({kSystemDrive, drive(2, "Two"), drive(3, "Three"), drive(4, "Four")});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        selector->showPopup();
        QAbstractItemView* list = selector->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(1, 0));

        const QImage image = list->viewport()->grab().toImage();
        auto colours = [&](int row) {
            const QRect rect = list->visualRect(list->model()->index(row, 0));
            QSet<QRgb> seen;
            for (int x = rect.left(); x <= rect.right(); ++x)
                seen << image.pixel(x, rect.center().y());
            return seen;
        };
        const QSet<QRgb> marked = colours(1);
        QVERIFY(marked.contains(QColor(50, 143, 253).rgb()));
        QVERIFY(marked.contains(QColor(Qt::white).rgb()));  // the text
        const QSet<QRgb> plain = colours(2);
        QVERIFY(!plain.contains(QColor(50, 143, 253).rgb()));
        QVERIFY(plain.contains(QColor(68, 71, 77).rgb()));  // the text
        selector->hidePopup();
    }

    void partitionsInOneOrTwoColumns()
    {
        machine({kSystemDrive, drive(2, "Four", volumes("DEFG")), drive(3, "Six", volumes("HIJKLM"))});
        TestWin win;
        QVERIFY(listed(win));
        auto* bars = child<DiskWidget>(&win, "LogicDisk");
        QCOMPARE(bars->itemCount(), 4);
        QCOMPARE(bars->columns(), 1);
        QCOMPARE(bars->fontSize(), 11);
        QVERIFY(child<QLabel>(&win, "lbNoPartition")->isHidden());
        child<QComboBox>(&win, "cbDiskInfo")->setCurrentIndex(1);
        QCOMPARE(bars->itemCount(), 6);
        QCOMPARE(bars->columns(), 2);
        QCOMPARE(bars->fontSize(), 9);
    }

    void makerWidgetsFollowTheSelectedDisk()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G", kLife89), drive(3, "Plain")});
        TestWin win;
        QVERIFY(listed(win));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QVERIFY(makerWidgetsShown(&win));
        selector->setCurrentIndex(1);
        for (const char* name : {"lbLifeRemain", "lbNameStauts", "lbNameSSD", "life", "lbPicSSD", "lbPicStatus"})
            QVERIFY2(child<QWidget>(&win, name)->isHidden(), name);
    }

    // A maker's drive whose SMART cannot be read brings no life: the ring and
    // the level of the drive shown before must not stay.
    void lifeAndLevelBelongToTheSelectedDisk()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G", kLife89), drive(3, "QY-M7A0-128G", kSmartFails),
                 drive(4, "QY-M7A0-512G")});
        TestWin win;
        QVERIFY(listed(win));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        auto* ring = child<QRoundProgressBar>(&win, "life");
        auto* level = child<QLabel>(&win, "lbNameStauts");
        auto* note = child<QLabel>(&win, "lbLifeUnknown");
        QVERIFY(makerWidgetsShown(&win));
        QCOMPARE(ring->value(), 89.0);
        QCOMPARE(level->text(), QStringLiteral("健康指标：良好"));
        QVERIFY(note->isHidden());

        struct Expected {
            int entry;
            bool lifeShown;
            QString note;
        };
        const Expected cases[] = {
            {1, false, "未能读取SMART信息"},  // SMART fails
            {0, true, ""},
            {2, false, "未能读取剩余寿命"},   // SMART read, no life attribute
        };
        for (const Expected& expected : cases) {
            selector->setCurrentIndex(expected.entry);
            QVERIFY2(!child<QLabel>(&win, "lbNameSSD")->isHidden(), qPrintable(selector->currentText()));
            QCOMPARE(!ring->isHidden(), expected.lifeShown);
            QCOMPARE(!level->isHidden(), expected.lifeShown);
            QCOMPARE(!child<QLabel>(&win, "lbPicStatus")->isHidden(), expected.lifeShown);
            QCOMPARE(!note->isHidden(), !expected.lifeShown);
            if (!expected.lifeShown)
                QCOMPARE(note->text(), expected.note);
        }
    }

    // An NVMe drive is listed with its model and shows its remaining life,
    // 100 less the percentage used, in the ring with the same health levels,
    // whoever made it; the maker's name and picture only on the maker's.
    void nvmeDrivesShowTheirLifeInTheRing()
    {
        const auto nvme = [](int number, const QString& model, const QString& health) {
            return drive(number, model, QStringLiteral(", \"bus\": \"nvme\"") + health);
        };
        machine({kSystemDrive, nvme(2, "Corvid NV3 1TB", ", \"health\": {\"percentageUsed\": 23}"),
                 nvme(3, "Corvid NV3 2TB", ", \"health\": {\"percentageUsed\": 120}"),
                 nvme(4, "Corvid NV3 4TB", ", \"faults\": [\"smart\"]"),
                 nvme(5, "QY NVMe M7A0 1TB", ", \"health\": {\"percentageUsed\": 1}")});
        TestWin win;
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Corvid NV3 1TB", "物理磁盘3  Corvid NV3 2TB",
                                             "物理磁盘4  Corvid NV3 4TB", "物理磁盘5  QY NVMe M7A0 1TB"}));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        auto* ring = child<QRoundProgressBar>(&win, "life");
        auto* level = child<QLabel>(&win, "lbNameStauts");
        auto* note = child<QLabel>(&win, "lbLifeUnknown");
        struct Expected {
            int entry;
            double life;  // -1: no life, the note instead
            QString text;  // the level, or the note
            bool makersName;
        };
        const Expected cases[] = {
            {0, 77, "健康指标：正常", false},
            {1, 0, "健康指标：警告", false},
            {2, -1, "未能读取SMART信息", false},
            {3, 99, "健康指标：良好", true},
        };
        for (const Expected& expected : cases) {
            selector->setCurrentIndex(expected.entry);
            const QByteArray shown = selector->currentText().toUtf8();
            QVERIFY2(!child<QWidget>(&win, "lbLifeRemain")->isHidden(), shown);
            QCOMPARE(!child<QWidget>(&win, "lbNameSSD")->isHidden(), expected.makersName);
            QCOMPARE(!child<QWidget>(&win, "lbPicSSD")->isHidden(), expected.makersName);
            QCOMPARE(ring->isHidden(), expected.life < 0);
            QCOMPARE(note->isHidden(), expected.life >= 0);
            if (expected.life >= 0) {
                QCOMPARE(ring->value(), expected.life);
                QCOMPARE(level->text(), expected.text);
            } else {
                QCOMPARE(note->text(), expected.text);
            }
        }
    }

    // A life outside 0 to 100 moves the ring but gives the disk no level.
    void lifeOutOfRangeShowsNoLevel()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G")});  // no life attribute
        TestWin win;
        QVERIFY(listed(win));
        win.getLife(2, 101);
        QVERIFY(!child<QRoundProgressBar>(&win, "life")->isHidden());
        QVERIFY(child<QLabel>(&win, "lbNameStauts")->isHidden());
        QVERIFY(child<QLabel>(&win, "lbLifeUnknown")->isHidden());
    }

    void emptyStates_data()
    {
        QTest::addColumn<QStringList>("drives");  // {"none"}: no fleet file, the list fails
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("message");  // empty: partition bars, no message

        // The system disk is offered (显示系统盘) where it is the only disk.
        QTest::newRow("only the system disk") << QStringList{kSystemDrive} << QStringList() << "系统盘未列出";
        QTest::newRow("the list cannot be read") << QStringList{"none"} << QStringList() << "未检测到磁盘";
        const QString refused = QStringLiteral(", \"faults\": [\"openReadWrite\"]");
        QTest::newRow("no disk opened for lack of rights")
            << QStringList{kSystemDrive, drive(2, "Two", refused), drive(3, "Three", volumes("D") + refused)}
            << QStringList() << "需要管理员权限";
        QTest::newRow("first disk without partitions")
            << QStringList{kSystemDrive, drive(2, "Bare"), drive(3, "Lettered", volumes("D"))}
            << QStringList{"物理磁盘2  Bare", "物理磁盘3  Lettered"} << "未能检测分区";
        QTest::newRow("identity unreadable")
            << QStringList{kSystemDrive, drive(2, QString(), volumes("D"))}
            << QStringList{"物理磁盘2  未能读取磁盘信息"} << QString();
        // Another program holds the drive's writer's lock: it is read as busy.
        QTest::newRow("a drive another program updates")
            << QStringList{kSystemDrive, drive(2, "Two", volumes("D") + ", \"locked\": true")}
            << QStringList{"物理磁盘2  正在升级固件"} << QString();
    }
    void emptyStates()
    {
        QFETCH(QStringList, drives);
        QFETCH(QStringList, entries);
        QFETCH(QString, message);
        if (drives == QStringList{"none"}) {
            QFile::remove(fleetPath);
            selectStorageFromEnvironment();
        } else {
            machine(drives);
        }
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QCOMPARE(this->entries(&win), entries);
        QTRY_COMPARE(child<QLabel>(&win, "lbNUM")->text(), QString::number(entries.size()));
        auto* label = child<QLabel>(&win, "lbNoPartition");
        QCOMPARE(!label->isHidden(), !message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(label->text(), message);
        QCOMPARE(child<DiskWidget>(&win, "LogicDisk")->itemCount(), message.isEmpty() ? 1 : 0);
    }

    void lifeSetsTheRingAndTheHealthLevel_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");
        QTest::newRow("29") << 29 << "健康指标：警告";
        QTest::newRow("30") << 30 << "健康指标：正常";
        QTest::newRow("79") << 79 << "健康指标：正常";
        QTest::newRow("80") << 80 << "健康指标：良好";
        QTest::newRow("101 moves only the ring") << 101 << "健康指标：优秀";
    }
    void lifeSetsTheRingAndTheHealthLevel()
    {
        QFETCH(int, percent);
        QFETCH(QString, text);
        machine({kSystemDrive, drive(2, "QY-M7A0-256G")});  // a maker's disk without a life of its own
        TestWin win;
        QVERIFY(listed(win));
        win.getLife(2, percent);
        QCOMPARE(child<QLabel>(&win, "lbNameStauts")->text(), text);
        QCOMPARE(child<QRoundProgressBar>(&win, "life")->value(), double(percent));
    }

    void copyPutsTheSelectorTextOnTheClipboard()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        win.CopyPhyDiskInf();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("物理磁盘2  Two"));
    }

    void closeBehaviour_data()
    {
        QTest::addColumn<QByteArray>("config");  // "<absent>" for no file
        QTest::addColumn<int>("answer");          // -1: no question expected
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("absent, hide remembered") << QByteArray("<absent>") << 0 << true << -1 << QByteArray("0\n");
        QTest::newRow("absent, quit remembered") << QByteArray("<absent>") << 1 << false << 0 << QByteArray("1\n");
        QTest::newRow("0 hides without asking") << QByteArray("0\n") << -1 << true << -1 << QByteArray("0\n");
        QTest::newRow("1 quits without asking") << QByteArray("1\n") << -1 << false << 0 << QByteArray("1\n");
        QTest::newRow("2 asks again, hide once") << QByteArray("2\n") << 2 << true << -1 << QByteArray("2\n");
        QTest::newRow("2 asks again, quit once") << QByteArray("2\n") << 3 << false << 0 << QByteArray("3\n");
        QTest::newRow("3 asks again, hide remembered") << QByteArray("3\n") << 0 << true << -1 << QByteArray("0\n");
        QTest::newRow("last line abc counts as 0") << QByteArray("1\nabc\n") << -1 << true << -1 << QByteArray("1\nabc\n");
        QTest::newRow("7 does nothing") << QByteArray("7\n") << -1 << false << -1 << QByteArray("7\n");
    }
    void closeBehaviour()
    {
        QFETCH(QByteArray, config);
        QFETCH(int, answer);
        QFETCH(bool, hidden);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, written);
        machine({kSystemDrive});
        if (config != "<absent>")
            writeConfig(config);
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        // A question that should not come is counted and rejected.
        QList<ModalAnswers::Answer> answers;
        if (answer >= 0)
            answers << closeChoice(answer & 1, !(answer & 2));
        ModalAnswers dialogs(answers);
        win.onButtonCloseClicked();
        QCOMPARE(dialogs.count(), answer >= 0 ? 1 : 0);
        QCOMPARE(win.exitCode, exitCode);
        if (exitCode < 0)  // a closed window is hidden anyway
            QCOMPARE(win.isHidden(), hidden);
        QCOMPARE(readConfig(), written);
    }

    // Without the administrator's password the window says so, and its
    // refresh button asks again.
    void aRefusedPasswordIsSaidAndTheRefreshButtonAsksAgain()
    {
        SimulatedStorage machine(parseFleet(
            QStringLiteral("{\"drives\": [%1, %2]}").arg(kSystemDrive, drive(2, "Two")).toStdString()));
        ServedHelpers helpers(machine);
        helpers.refused = {helper::kReadMode};
        installStorage(std::make_unique<HelperStorage>(helpers.starter()));
        {
            TestWin win;
            win.show();
            QVERIFY(QTest::qWaitForWindowExposed(&win));
            auto* label = child<QLabel>(&win, "lbNoPartition");
            QTRY_COMPARE(label->text(), QStringLiteral("读取磁盘需要管理员密码"));
            QVERIFY(!label->isHidden());
            QVERIFY(entries(&win).isEmpty());

            helpers.refused.clear();
            QTest::mouseClick(child<QPushButton>(&win, "btRefresh"), Qt::LeftButton);
            QTRY_COMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
            QCOMPARE(helpers.started.size(), size_t(2));  // at the start, and on the button
        }
        installStorage(nullptr);  // the helpers end with their client
    }

    // An answer remembered beside the program by an earlier version counts
    // and moves to the user's folder; after that the old file is not read.
    void anAnswerBesideTheProgramIsTakenOverOnce()
    {
        machine({kSystemDrive});
        writeConfig("1\n", legacyCloseSettingsPath());
        {
            TestWin win;
            win.show();
            win.onButtonCloseClicked();
            QCOMPARE(win.exitCode, 0);
        }
        QCOMPARE(readConfig(), QByteArray("1\n"));
        writeConfig("0\n");
        TestWin win;
        win.show();
        win.onButtonCloseClicked();
        QCOMPARE(win.exitCode, -1);
        QVERIFY2(win.isHidden(), "the answer in the user's folder counts, not the old file's");
    }

    void aCancelledQuestionChangesNothing()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        ModalAnswers dialogs({answerIf<QMessageDlg>(
            [](QMessageDlg* dialog) { clickMessageButton(dialog, QMessageDlg::BtnCancel); })});
        win.onButtonCloseClicked();
        QCOMPARE(dialogs.count(), 1);
        QVERIFY(!win.isHidden());
        QCOMPARE(readConfig(), QByteArray("<absent>"));
    }

    // The window may run as administrator beside a folder others can write
    // to: whatever is not a regular file under the name is neither read nor
    // written through.
    void aConfigThatIsNoRegularFileShowsTheWarning_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to an answer") << "link";
        QTest::newRow("link to nowhere") << "dangling link";
        QTest::newRow("FIFO") << "fifo";
    }
    void aConfigThatIsNoRegularFileShowsTheWarning()
    {
        QFETCH(QString, kind);
        machine({kSystemDrive});
        const QString path = closeSettingsPath();
        const QString target = dir.filePath("target");
        QFile::remove(target);
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        if (kind == "link") {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("2\n");  // ask again, then write the answer
        }
        if (kind.endsWith("link"))
            QVERIFY(QFile::link(target, path));
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        TestWin win;
        win.show();
        QString title, text;
        ModalAnswers dialogs({answerIf<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Yes)->click();
        })});
        win.onButtonCloseClicked();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(title, QStringLiteral("file write"));
        QCOMPARE(text, QStringLiteral("can't open"));
        QVERIFY(!win.isHidden());
        QCOMPARE(win.exitCode, -1);
        QCOMPARE(QFileInfo(target).exists(), kind == "link");
        if (kind == "link")
            QCOMPARE(readConfig(), QByteArray("2\n"));  // through the link: the target is untouched
        QVERIFY(QFileInfo(path).isSymLink() == kind.endsWith("link"));
    }

    void anUnwritableConfigShowsTheWarningAfterTheAction()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        QString title;
        bool folderMade = false;
        ModalAnswers dialogs({
            // While the question is open, a folder takes the file's name.
            answerIf<QMessageDlg>([&](QMessageDlg* dialog) {
                folderMade = QDir().mkpath(closeSettingsPath());
                clickMessageButton(dialog, QMessageDlg::BtnOk);
            }),
            answerIf<QMessageBox>([&](QMessageBox* box) {
                title = box->windowTitle();
                box->button(QMessageBox::Yes)->click();
            }),
        });
        win.onButtonCloseClicked();
        QVERIFY(folderMade);
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(title, QStringLiteral("file write"));
        QVERIFY2(win.isHidden(), "the window action taken stands");
        QVERIFY(QFileInfo(closeSettingsPath()).isDir());
    }

    void anAnswerReplacesTheFileItWrites()
    {
        machine({kSystemDrive});
        writeConfig("3\n");
        // A second name of the file as it was: written in place, it would change too.
        const QString oldFile = dir.filePath("old-config");
        QFile::remove(oldFile);
        QCOMPARE(::link(QFile::encodeName(closeSettingsPath()).constData(), QFile::encodeName(oldFile).constData()), 0);
        TestWin win;
        win.show();
        ModalAnswers dialogs({closeChoice(false, true)});
        win.onButtonCloseClicked();
        QCOMPARE(dialogs.count(), 1);
        QVERIFY(win.isHidden());
        QCOMPARE(readConfig(), QByteArray("0\n"));
        QFile old(oldFile);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("3\n"));
    }

    void trayDoubleClickRestoresAndQuitAlwaysQuits()
    {
        machine({kSystemDrive});
        writeConfig("0\n");
        TestWin win;
        win.show();
        win.onButtonCloseClicked();
        QVERIFY(win.isHidden());
        win.iconIsActived(QSystemTrayIcon::Trigger);
        QVERIFY2(win.isHidden(), "a single click does nothing");
        win.iconIsActived(QSystemTrayIcon::DoubleClick);
        QVERIFY(!win.isHidden());
        win.slotCloseAction();
        QCOMPARE(win.exitCode, 0);  // 退出 quits even with config 0
    }

    void trayObjectsGoWithTheWindow()
    {
        machine({kSystemDrive});
        auto* win = new TestWin(true);
        QPointer<QSystemTrayIcon> icon = win->findChild<QSystemTrayIcon*>();
        QVERIFY(icon);
        QPointer<QMenu> menu = icon->contextMenu();
        QVERIFY(menu);
        delete win;  // destroyed without being closed
        QVERIFY(icon.isNull());
        QVERIFY(menu.isNull());
    }

    void withoutATrayHidingMinimises()
    {
        machine({kSystemDrive});
        writeConfig("0\n");
        TestWin win(false);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        win.onButtonCloseClicked();
        QVERIFY(!win.isHidden());
        QVERIFY(win.windowState() & Qt::WindowMinimized);
    }

    void pagesOpenAndCloseWithTheStrip()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        auto* strip = child<QMenuButton>(&win, "MenuButton");
        const QStringList pages = {"Smart", "FmDataMigrate", "FwUpdate"};
        auto page = [&](int i) { return win.findChild<QWidget*>(pages[i]); };
        auto press = [&](int i) {
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + i * strip->width() / 3, 30));
        };
        // A page is built when first opened.
        for (int i = 0; i < 3; ++i)
            QVERIFY2(!page(i), qPrintable(pages[i]));

        press(0);
        QVERIFY(!page(0)->isHidden());
        press(2);
        QVERIFY2(page(0)->isHidden(), "opening one page hides the other at once");
        QVERIFY(!page(2)->isHidden());
        press(2);
        QTRY_VERIFY(page(2)->isHidden());
        QVERIFY(page(0)->isHidden());
        QVERIFY2(!page(1), "a page never opened is never built");
    }

    // A window closed while its toolbar strip and a page slide frees both
    // slides with it (LeakSanitizer reports a slide left without owner).
    void aWindowClosedMidSlideFreesItsSlides()
    {
        machine({kSystemDrive, drive(2, "Two")});
        auto win = std::make_unique<TestWin>();
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win.get()));
        auto* strip = child<QMenuButton>(win.get(), "MenuButton");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6, 30));
        QWidget* page = win->findChild<QWidget*>("Smart");
        QVERIFY(page);
        QList<QPointer<QPropertyAnimation>> slides;
        bool stripSlides = false;
        for (QPropertyAnimation* slide : win->findChildren<QPropertyAnimation*>()) {
            slides.append(slide);
            stripSlides = stripSlides || (slide->state() == QAbstractAnimation::Running && slide->targetObject() != page);
        }
        QVERIFY2(stripSlides, "the strip's slide is not owned by the window");
        win.reset();
        for (const auto& slide : slides)
            QVERIFY(slide.isNull());
    }

    void theAboutPanelDropsOnceAndHidesWithItsButton()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        auto* arrow = child<QLabel>(&win, "label_2");
        QVERIFY(!win.findChild<QWidget*>("HelpDlg"));  // built when first dropped
        QVERIFY(arrow->isHidden());
        win.ShowHelp();
        win.ShowHelp();
        QWidget* panel = win.findChild<QWidget*>("HelpDlg");
        QVERIFY(panel);
        QCOMPARE(win.findChildren<QWidget*>("HelpDlg").size(), 1);
        QVERIFY(!panel->isHidden());
        QVERIFY(!arrow->isHidden());
        QPushButton* close = panel->findChild<QPushButton*>();
        QVERIFY(close);
        close->click();
        QVERIFY(panel->isHidden());
        QVERIFY(arrow->isHidden());
    }

    // Drives that take seconds to answer: the window paints and turns its
    // event loop all the while, says it is reading, and shows the list, with
    // each maker's disk's life, when it comes.
    void theWindowPaintsBeforeTheDrivesAnswer()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G", volumes("D") + kLife89 + ", \"delayMs\": 1000")});
        QElapsedTimer sinceStart;
        sinceStart.start();
        TestWin win;
        // Each command waits until the window's event loop has turned after
        // it; the first, until the checks of the reading state are done.
        bool released = false;
        int turnedAfter = 0;  // commands the event loop has turned after
        CommandGate gate(simulatedMachine(), [&](int command) { return released && turnedAfter >= command; });
        QTimer turns;
        connect(&turns, &QTimer::timeout, [&] { gate.update([&](int commands) { turnedAfter = commands; }); });
        turns.start(5);
        // The drives are asked only once the window has painted.
        QStringList order;
        EventLog paints(&win, QEvent::Paint, [&] { order << "paint"; });
        connect(&win.devices(), &DeviceWorker::readingChanged, this, [&](bool reading) {
            if (reading)
                order << "reading";
        });
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QTRY_VERIFY(order.contains("reading"));
        QCOMPARE(order.first(), QStringLiteral("paint"));
        auto* note = child<QLabel>(&win, "lbNoPartition");
        auto* refresh = child<QPushButton>(&win, "btRefresh");
        QVERIFY(win.readingDisks());
        QVERIFY(entries(&win).isEmpty());
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("正在读取磁盘…"));
        QVERIFY(!refresh->isEnabled());
        QCOMPARE(refresh->text(), QStringLiteral("刷新中"));

        gate.update([&](int) { released = true; });
        QVERIFY(listed(win));
        QVERIFY2(!gate.forced(), "the GUI thread waited for the drive");
        QVERIFY(sinceStart.elapsed() >= 3000);  // IDENTIFY and two SMART reads
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  QY-M7A0-256G"}));
        QVERIFY(note->isHidden());
        QVERIFY(refresh->isEnabled());
        QCOMPARE(refresh->text(), QStringLiteral("刷新"));
        QCOMPARE(child<QRoundProgressBar>(&win, "life")->value(), 89.0);
    }

    // Buttons and a burst of hot-plug notices during a reading give one
    // reading after it; the refresh button stays busy until both are done.
    void refreshRequestsDuringAReadingAreMerged()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        int readings = 0;
        connect(&win.devices(), &DeviceWorker::diskListRead, this, [&readings] { ++readings; });
        QSignalSpy busy(&win.devices(), &DeviceWorker::readingChanged);
        QSignalSpy noticed(fleetWatch(win), &QFileSystemWatcher::fileChanged);
        QSignalSpy changed(notifications(win), &DiskNotifications::disksChanged);
        // The next reading waits after its first command until released.
        bool released = false;
        CommandGate gate(simulatedMachine(), [&](int) { return released; });

        win.RefreshDiskList();
        win.on_btRefresh_clicked();
        child<QUsbButton>(&win, "usbbtn")->sendUsbclick();
        win.RefreshDiskList();
        for (int i = 0; i < 3; ++i) {
            writeFleet({kSystemDrive, drive(2, "Two"), drive(5, "Five")});
            QVERIFY(noticedWithoutTimers(noticed));
        }
        QVERIFY(changed.wait(10000));  // the burst's end, while the reading is held
        gate.update([&](int) { released = true; });
        QVERIFY(listed(win));
        QVERIFY(!gate.forced());
        QCOMPARE(readings, 2);
        QCOMPARE(busy.count(), 2);
        QCOMPARE(busy.at(0).at(0).toBool(), true);
        QCOMPARE(busy.at(1).at(0).toBool(), false);
        // The merged reading read the changed fleet file.
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two", "物理磁盘5  Five"}));
    }

    // A life that comes for a disk no longer shown leaves the window alone.
    void aLifeOfAnotherDiskIsIgnored()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G", kLife89), drive(3, "QY-M7A0-128G")});
        TestWin win;
        QVERIFY(listed(win));
        auto* ring = child<QRoundProgressBar>(&win, "life");
        QCOMPARE(ring->value(), 89.0);
        win.getLife(3, 12);
        QCOMPARE(ring->value(), 89.0);
        QCOMPARE(child<QLabel>(&win, "lbNameStauts")->text(), QStringLiteral("健康指标：良好"));
        child<QComboBox>(&win, "cbDiskInfo")->setCurrentIndex(1);  // disk 3 reports no life
        win.getLife(2, 89);
        QVERIFY(ring->isHidden());
        QVERIFY(!child<QLabel>(&win, "lbLifeUnknown")->isHidden());
    }

    // A firmware update on a drive that takes its time: the window keeps
    // turning, the bar counts the commands, the disk cannot be changed or
    // the window closed until the end; 退出 asks, and quits after the end;
    // the page then shows the revision the drive reports. Each command waits
    // until the bar has shown the one before, and the first also until the
    // window was asked to close: a window waiting for the drive would make
    // the gate give up.
    void aFirmwareUpdateNeverFreezesTheWindow()
    {
        const QDir app(QCoreApplication::applicationDirPath());
        QVERIFY(app.mkpath("FwUpdata"));
        const std::unique_ptr<QDir, void (*)(QDir*)> images(new QDir(app.filePath("FwUpdata")), [](QDir* dir) {
            dir->removeRecursively();
            delete dir;
        });
        QFile image(app.filePath("FwUpdata/DCBFCBCC.bin"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(QByteArray(10000, 'C'));  // 20 sectors: four commands
        image.close();
        machine({kSystemDrive, QStringLiteral("{\"number\": 2, \"length\": 128035676160, \"delayMs\": 1000,"
                                              " \"identity\": {\"serial\": \"QV7A0C11280455\","
                                              " \"model\": \"QX M7A0 120G\", \"firmware\": \"0208A\"}}")});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        SimulatedStorage* sim = &simulatedMachine();
        const auto sent = [sim] { return int(sim->driveState(2).downloads().size()); };
        bool released = false;
        int shown = -1;  // the highest count the bar showed
        CommandGate gate(
            *sim, [&](int) { return sent() == 0 || (released && shown >= sent() - 1); },
            // The drive runs the new firmware from its last command on.
            [sim, sent] {
                if (sent() == 4)
                    sim->fleet().drives.back().behaviour.identify =
                        buildIdentifySector("QV7A0C11280455", "QX M7A0 120G", "0428c");
            });

        auto* strip = child<QMenuButton>(&win, "MenuButton");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + 2 * strip->width() / 3, 30));
        QWidget* page = win.findChild<QWidget*>("FwUpdate");
        QVERIFY(page);
        auto* bar = page->findChild<QProgressBar*>("pbTransfer");
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QList<int> values;
        bool lockedThroughout = true;
        QTimer sample;
        connect(&sample, &QTimer::timeout, [&] {
            if (!win.devices().transferring())
                return;
            lockedThroughout = lockedThroughout && !selector->isEnabled() &&
                               !child<QPushButton>(&win, "btRefresh")->isEnabled();
            if (bar->isVisible() && bar->maximum() > 0 && (values.isEmpty() || values.last() != bar->value())) {
                values << bar->value();
                gate.update([&](int) { shown = std::max(shown, bar->value()); });
            }
        });
        sample.start(5);

        DialogAnswerer answerer;  // 确定 to every question, OK to every notice
        QTest::mouseClick(page->findChild<QPushButton*>("btUpdate"), Qt::LeftButton);
        QVERIFY(win.devices().transferring());
        QCOMPARE(answerer.dialogs.size(), 1);
        QVERIFY(answerer.last().text.contains(QStringLiteral("QX M7A0 120G")));

        win.close();
        QCOMPARE(win.exitCode, -1);
        QVERIFY(win.isVisible());
        QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>正在升级固件，升级结束后才能关闭"));
        QVERIFY(win.devices().transferring());

        win.slotCloseAction();  // 退出 in the tray menu
        QCOMPARE(answerer.dialogs.size(), 3);
        QVERIFY(answerer.last().text.contains(QStringLiteral("是否在升级结束后退出")));
        QCOMPARE(win.exitCode, -1);

        gate.update([&](int) { released = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!win.devices().transferring(), 30000);
        QVERIFY2(!gate.forced(), "the GUI thread waited for the drive");
        QCOMPARE(answerer.dialogs.size(), 4);
        QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>固件升级成功"));
        QCOMPARE(win.exitCode, 0);  // once the result was seen
        QCOMPARE(values.mid(0, 4), (QList<int>{0, 1, 2, 3}));
        QVERIFY(lockedThroughout);
        QCOMPARE(page->findChild<QLabel*>("lb_FW")->text(), QStringLiteral("0428c"));
        QCOMPARE(page->findChild<QLabel*>("lbUpdateNote")->text(), QStringLiteral("磁盘现在报告的固件版本为 0428c"));
        QCOMPARE(sim->driveState(2).downloads().size(), size_t(4));
    }

    void aChangedFleetFileRefreshesOncePerBurst()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        int refreshes = 0;
        connect(child<QComboBox>(&win, "cbDiskInfo"), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [&](int index) { refreshes += index == -1; });
        QSignalSpy noticed(fleetWatch(win), &QFileSystemWatcher::fileChanged);
        QSignalSpy changed(notifications(win), &DiskNotifications::disksChanged);
        // Three saves, each noticed before the next: one burst, however long
        // that takes, as no timer runs in between.
        for (int i = 0; i < 3; ++i) {
            machine({kSystemDrive, drive(2, "Two"), drive(5, "Five")});
            QVERIFY(noticedWithoutTimers(noticed));
        }
        QCOMPARE(changed.count(), 0);  // the window waits for the burst's end
        QVERIFY(changed.wait(10000));
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two", "物理磁盘5  Five"}));
        // Every notice of the saves came before the burst's end: none is left
        // to refresh again.
        QVERIFY(!settleTimer(win)->isActive());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(refreshes, 1);

        machine({kSystemDrive, drive(5, "Five")});
        QTRY_COMPARE(entries(&win), QStringList({"物理磁盘5  Five"}));
    }

    void onlyTheFleetFileRefreshes()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        int refreshes = 0;
        connect(child<QComboBox>(&win, "cbDiskInfo"), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [&](int index) { refreshes += index == -1; });
        auto write = [&](const QString& name, const QByteArray& content) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        };
        QSignalSpy folderNoticed(fleetWatch(win), &QFileSystemWatcher::directoryChanged);
        QSignalSpy changed(notifications(win), &DiskNotifications::disksChanged);
        // Nothing refreshes, and no wait for quiet runs, that would refresh later.
        auto settled = [&](int expected) {
            QVERIFY(!settleTimer(win)->isActive());
            QCOMPARE(changed.count(), expected);
            QCOMPARE(refreshes, expected);
        };

        // An export and a screenshot saved beside the fleet file, one twice.
        // The kernel queues its notices as the files change, so the folder's
        // watch reports them all at once, when the event loop turns next.
        write("smart.xlsx", "PK");
        write("main-window.png", "png");
        write("smart.xlsx", "PK again");
        QVERIFY(QFile::rename(dir.filePath("main-window.png"), dir.filePath("old.png")));
        QVERIFY(folderNoticed.wait(10000));
        settled(0);

        // The fleet file replaced by rename, as editors save it.
        write("fleet.json.new", QByteArray("{\"drives\": [") + kSystemDrive.toUtf8() + ", "
                                    + drive(5, "Five").toUtf8() + "]}");
        QCOMPARE(std::rename(QFile::encodeName(dir.filePath("fleet.json.new")).constData(),
                             QFile::encodeName(fleetPath).constData()),
                 0);
        QVERIFY(changed.wait(10000));
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘5  Five"}));
        settled(1);

        // The watch has moved to the new file.
        machine({kSystemDrive, drive(6, "Six")});
        QVERIFY(changed.wait(10000));
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘6  Six"}));
        settled(2);
    }

    // A fleet file saved with values of the wrong type or beyond range is read
    // again as an empty machine (with a message), the window keeps its list,
    // and the next good save is read as ever.
    void aBadFleetFileSavedWhileRunningLeavesTheWindowAsItWas()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QVERIFY(listed(win));
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
        // What each reading the window asks for finds.
        std::vector<DiskListStatus> readings;
        connect(win.findChild<DeviceWorker*>(), &DeviceWorker::diskListRead, &win,
                [&readings](const DiskListReading& reading) { readings.push_back(reading.status); });
        const QByteArray bad[] = {
            "{\"drives\": [{\"number\": 0, \"length\": 1, \"smart\": {\"marker\": \"yes\"}}]}",
            "{\"drives\": [{\"number\": 0, \"length\": 1e400}]}",
        };
        for (const QByteArray& fleet : bad) {
            readings.clear();
            save(fleet);
            // Read again as an empty machine: no system disk, no list.
            QTRY_VERIFY(!readings.empty());
            QVERIFY(listed(win));
            QCOMPARE(readings.back(), DiskListStatus::NoSystemDisk);
            QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
        }
        save(QStringLiteral("{\"drives\": [%1]}").arg(QStringList({kSystemDrive, drive(7, "Seven")}).join(", ")).toUtf8());
        QTRY_COMPARE(entries(&win), QStringList({"物理磁盘7  Seven"}));
    }
};

QTEST_MAIN(MainWinTest)
#include "tst_mainwin.moc"
