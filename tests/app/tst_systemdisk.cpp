// The system disk on request: where it is the only disk the empty state
// offers it; listed, it is marked as the system disk, read like any disk
// and refused a firmware update with nothing sent; the choice is kept.

#include "MainWinFixture.h"

#include "disk/simulated/DeviceLog.h"
#include "disk/simulated/SimulatedStorage.h"
#include "firmware/FwResult.h"
#include "widgets/QMenuButton.h"

#include "worker/DeviceWorker.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTableView>

namespace {

// The only disk: the system disk, a maker's drive that would qualify for an
// update (revision 0208A, a 120G model) with 89 % of its life left.
const QString kSystemModel = QStringLiteral("QX M7A0 120G");
const QString kOnlyTheSystemDisk =
    fleetDrive(0, kSystemModel, fleetVolumes(QStringLiteral("C")) + kFleetLife89, QStringLiteral("0208A"));
const QString kMarkedEntry = QStringLiteral("物理磁盘0  （系统盘）") + kSystemModel;

}  // namespace

class SystemDiskTest : public QObject {
    Q_OBJECT

    FleetMachine machine;

    QString settings() const
    {
        QFile file(machine.folder(QStringLiteral("config-home/quillfence/settings")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<absent>");
    }
    QString deviceLog() const
    {
        QFile file(machine.folder(QStringLiteral("device.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    static void openPage(MainWin& win, int index)
    {
        auto* strip = child<QMenuButton>(&win, "MenuButton");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + index * strip->width() / 3, 30));
    }
    static QAction* systemDiskAction(MainWin& win)
    {
        for (QAction* action : child<QComboBox>(&win, "cbDiskInfo")->actions())
            if (action->text() == QStringLiteral("显示系统盘"))
                return action;
        qFatal("no 显示系统盘 action");
    }

private slots:
    void initTestCase()
    {
        qputenv(kDeviceLogVariable, QFile::encodeName(machine.folder(QStringLiteral("device.log"))));
        // The image the update would send, were the disk not the system disk.
        const QString images = machine.folder(QStringLiteral("data-home/quillfence/FwUpdata"));
        QVERIFY(QDir().mkpath(images));
        QFile image(images + QStringLiteral("/DCBFCBCC.bin"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(QByteArray(10000, 'C'));
    }

    void onRequestAndKept()
    {
        machine.use({kOnlyTheSystemDisk});
        {
            TestWin win;
            win.show();
            QVERIFY(QTest::qWaitForWindowExposed(&win));
            QVERIFY(listed(win));
            auto* note = child<QLabel>(&win, "lbNoPartition");
            auto* offer = child<QPushButton>(&win, "btShowSystemDisk");
            auto* selector = child<QComboBox>(&win, "cbDiskInfo");
            QCOMPARE(note->text(), QStringLiteral("系统盘未列出"));
            QVERIFY(offer->isVisible());
            QCOMPARE(offer->text(), QStringLiteral("显示系统盘"));
            QCOMPARE(selector->count(), 0);
            QCOMPARE(settings(), QStringLiteral("<absent>"));

            QTest::mouseClick(offer, Qt::LeftButton);
            QTRY_COMPARE(selector->count(), 1);
            QVERIFY(listed(win));
            QCOMPARE(selector->currentText(), kMarkedEntry);
            QVERIFY(settings().contains(QStringLiteral("show-system-disk=1\n")));
            QVERIFY(offer->isHidden());
            QVERIFY(note->isHidden());  // its volume C is shown
            QVERIFY(systemDiskAction(win)->isChecked());
            // Its life and health level.
            QTRY_VERIFY(child<QWidget>(&win, "life")->isVisible());
            QCOMPARE(child<QLabel>(&win, "lbNameStauts")->text(), QStringLiteral("健康指标：良好"));
            QTRY_COMPARE(child<QLabel>(&win, "lbNUM")->text(), QStringLiteral("1"));

            // Its SMART table.
            openPage(win, 0);
            QWidget* smart = child<QWidget>(&win, "Smart");
            QTRY_VERIFY(smart->isVisible());
            QVERIFY(child<QTableView>(smart, "tableView")->model()->rowCount() > 0);
            openPage(win, 0);
            QTRY_VERIFY(smart->isHidden());

            // The update is refused, and the drive is sent nothing.
            const int linesBefore = deviceLog().count(QLatin1Char('\n'));
            QVERIFY(linesBefore > 0);  // the drive was read
            openPage(win, 2);
            QWidget* update = child<QWidget>(&win, "FwUpdate");
            QTRY_VERIFY(update->isVisible());
            MessageLog messages;
            QTest::mouseClick(child<QPushButton>(update, "btUpdate"), Qt::LeftButton);
            QTRY_COMPARE(messages.seen, QStringList{QString::fromUtf8(kFwSystemDiskText)});
            QVERIFY(!win.devices().transferring());
            QCOMPARE(deviceLog().count(QLatin1Char('\n')), linesBefore);
            QVERIFY(!deviceLog().contains(QStringLiteral("direction=out")));
            auto* sim = dynamic_cast<SimulatedStorage*>(&storage());
            QVERIFY(sim);
            QVERIFY(sim->driveState(0).downloads().empty());
        }

        // Started again, the window lists the system disk at once.
        {
            TestWin win;
            win.show();
            QVERIFY(listed(win));
            auto* selector = child<QComboBox>(&win, "cbDiskInfo");
            QCOMPARE(selector->count(), 1);
            QCOMPARE(selector->currentText(), kMarkedEntry);
            QVERIFY(child<QPushButton>(&win, "btShowSystemDisk")->isHidden());

            // Turned off, it is left out again and offered.
            systemDiskAction(win)->trigger();
            QTRY_COMPARE(selector->count(), 0);
            QVERIFY(listed(win));
            QCOMPARE(child<QLabel>(&win, "lbNoPartition")->text(), QStringLiteral("系统盘未列出"));
            QVERIFY(child<QPushButton>(&win, "btShowSystemDisk")->isVisible());
            QVERIFY(settings().contains(QStringLiteral("show-system-disk=0\n")));
        }
    }

    // Beside other disks the system disk is left out without an offer; a
    // machine without any disk offers nothing either.
    void offeredOnlyWhereItIsTheReason_data()
    {
        QTest::addColumn<QStringList>("drives");
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("entries");
        QTest::newRow("another disk") << QStringList{kOnlyTheSystemDisk, fleetDrive(2, QStringLiteral("Two"))}
                                      << QStringLiteral("未能检测分区") << 1;
        const QString unreadable = QStringLiteral(", \"faults\": [\"openReadWrite\"]");
        QTest::newRow("another disk without rights")
            << QStringList{kOnlyTheSystemDisk, fleetDrive(2, QStringLiteral("Two"), unreadable)}
            << QStringLiteral("需要管理员权限") << 0;
    }
    void offeredOnlyWhereItIsTheReason()
    {
        QFETCH(QStringList, drives);
        QFETCH(QString, note);
        QFETCH(int, entries);
        QFile::remove(machine.folder(QStringLiteral("config-home/quillfence/settings")));
        machine.use(drives);
        TestWin win;
        win.show();
        QVERIFY(listed(win));
        QCOMPARE(child<QComboBox>(&win, "cbDiskInfo")->count(), entries);
        QCOMPARE(child<QLabel>(&win, "lbNoPartition")->text(), note);
        QVERIFY(child<QPushButton>(&win, "btShowSystemDisk")->isHidden());
    }
};

QTEST_MAIN(SystemDiskTest)
#include "tst_systemdisk.moc"
