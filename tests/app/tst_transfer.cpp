// The main window while a firmware transfer runs: the close button offers
// nothing that is then refused, the tray's tool tip tells of the transfer,
// and the controls that cannot act look disabled.

#include "MainWinFixture.h"

#include "CommandGate.h"
#include "disk/simulated/SimulatedStorage.h"
#include "widgets/QMenuButton.h"
#include "worker/DeviceWorker.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace {

const QString kRefusal = QStringLiteral("正在升级固件，升级结束后才能关闭");
const QString kQuestionStart = QStringLiteral("即将升级此磁盘的固件");

// Drive 2 qualifies for the update: a maker's 120G drive of revision 0208A.
const QString kUpdatable = fleetDrive(2, QStringLiteral("QX M7A0 120G"), QString(), QStringLiteral("0208A"));

}  // namespace

class TransferTest : public QObject {
    Q_OBJECT

    FleetMachine machine;

    void writeCloseSetting(const QByteArray& content)
    {
        const QString path = machine.folder(QStringLiteral("config-home/quillfence/config"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray closeSetting()
    {
        QFile file(machine.folder(QStringLiteral("config-home/quillfence/config")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

    // The colours a widget shows, as drawn.
    static QSet<QRgb> colours(QWidget* widget)
    {
        const QImage image = widget->grab().toImage();
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                seen << image.pixel(x, y);
        return seen;
    }

    // The firmware page of the window, open.
    static QWidget* openUpdatePage(MainWin& win)
    {
        auto* strip = child<QMenuButton>(&win, "MenuButton");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + 2 * strip->width() / 3, 30));
        return child<QWidget>(&win, "FwUpdate");
    }

private slots:
    void initTestCase()
    {
        // A 20-sector image, sent in four commands, in the user's data folder.
        const QString images = machine.folder(QStringLiteral("data-home/quillfence/FwUpdata"));
        QVERIFY(QDir().mkpath(images));
        QFile image(images + QStringLiteral("/DCBFCBCC.bin"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(QByteArray(10000, 'C'));
    }
    void cleanup() { QFile::remove(machine.folder(QStringLiteral("config-home/quillfence/config"))); }

    // The close button during a transfer: where it would quit or ask, the
    // user is told at once that the window must wait; a remembered "hide"
    // hides it. The tray's tool tip tells of the transfer until it ends.
    void closingDuringATransfer_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<bool>("hides");

        QTest::newRow("nothing remembered yet") << QByteArray("<absent>") << false;
        QTest::newRow("quit remembered") << QByteArray("1\n") << false;
        QTest::newRow("hide, asked again") << QByteArray("2\n") << false;
        QTest::newRow("quit, asked again") << QByteArray("3\n") << false;
        QTest::newRow("hide remembered") << QByteArray("0\n") << true;
    }
    void closingDuringATransfer()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, hides);
        if (config != "<absent>")
            writeCloseSetting(config);
        machine.use({fleetSystemDrive(), kUpdatable});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QWidget* page = openUpdatePage(win);
        auto* tray = win.findChild<QSystemTrayIcon*>();
        QVERIFY(tray);
        QCOMPARE(tray->toolTip(), QStringLiteral("QV-Quillfence"));

        // The drive takes its first DOWNLOAD MICROCODE, then waits.
        auto* sim = dynamic_cast<SimulatedStorage*>(&storage());
        QVERIFY(sim);
        bool released = false;
        size_t downloads = 0;
        CommandGate gate(
            *sim, [&](int) { return released || downloads == 0; },
            [&] { downloads = sim->driveState(2).downloads().size(); });
        const auto downloadsSoFar = [&] {
            size_t seen = 0;
            gate.update([&](int) { seen = downloads; });
            return seen;
        };

        MessageLog messages;
        messages.answers = {confirm()};
        QTest::mouseClick(child<QPushButton>(page, "btUpdate"), Qt::LeftButton);
        QTRY_COMPARE(downloadsSoFar(), size_t(1));
        QVERIFY(win.devices().transferring());
        QCOMPARE(messages.seen.size(), 1);
        QVERIFY(messages.seen[0].startsWith(kQuestionStart));
        QVERIFY2(tray->toolTip().contains(QStringLiteral("正在升级固件")), qPrintable(tray->toolTip()));

        win.onButtonCloseClicked();

        if (hides) {
            QCOMPARE(messages.seen.size(), 1);  // nothing asked, nothing refused
            QVERIFY(win.isHidden());
        } else {
            QCOMPARE(messages.seen.mid(1), QStringList({kRefusal}));
            QVERIFY(win.isVisible());
        }
        QCOMPARE(win.exitCode, -1);
        QVERIFY(win.devices().transferring());

        gate.update([&](int) { released = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!win.devices().transferring(), 20000);
        QCOMPARE(messages.seen.last(), QStringLiteral("固件升级成功"));
        QCOMPARE(sim->driveState(2).downloads().size(), size_t(4));
        QCOMPARE(tray->toolTip(), QStringLiteral("QV-Quillfence"));
        QCOMPARE(win.exitCode, -1);
        QCOMPARE(closeSetting(), config);
        QVERIFY(!gate.forced());
    }

    // While a transfer runs, the update button, the disk selector and 刷新
    // cannot act: they look it (the update button grey as the program's
    // other disabled buttons, the texts on the blue dimmed to its light
    // blue), and look as before once it has ended. 刷新 looks the same while
    // the list is read.
    void controlsThatCannotActLookDisabled()
    {
        machine.use({fleetSystemDrive(), kUpdatable});
        TestWin win;
        auto* sim = dynamic_cast<SimulatedStorage*>(&storage());
        QVERIFY(sim);
        bool released = false;
        size_t downloads = 0;
        CommandGate gate(
            *sim, [&](int command) { return released || (command > 1 && downloads == 0); },
            [&] { downloads = sim->driveState(2).downloads().size(); });
        const auto commandsSoFar = [&] {
            int seen = 0;
            gate.update([&](int commands) { seen = commands; });
            return seen;
        };
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        auto* refresh = child<QPushButton>(&win, "btRefresh");
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        const QColor dimmed(185, 206, 248);

        // The list is being read: the drive holds its first command.
        QTRY_COMPARE(commandsSoFar(), 1);
        QVERIFY(!refresh->isEnabled());
        QVERIFY2(colours(refresh).contains(dimmed.rgb()), "刷新中 is not dimmed");
        const QImage refreshReading = refresh->grab().toImage();
        gate.update([&](int) { released = true; });
        QVERIFY(listed(win));
        QVERIFY(refresh->isEnabled());
        QVERIFY(refresh->grab().toImage() != refreshReading);
        QVERIFY(!colours(refresh).contains(dimmed.rgb()));

        QWidget* page = openUpdatePage(win);
        auto* update = child<QPushButton>(page, "btUpdate");
        const QImage idle[] = {update->grab().toImage(), selector->grab().toImage(), refresh->grab().toImage()};
        QVERIFY(!colours(selector).contains(dimmed.rgb()));

        gate.update([&](int) { released = false; });
        MessageLog messages;
        messages.answers = {confirm()};
        QTest::mouseClick(update, Qt::LeftButton);
        const auto downloadsSoFar = [&] {
            size_t seen = 0;
            gate.update([&](int) { seen = downloads; });
            return seen;
        };
        QTRY_COMPARE(downloadsSoFar(), size_t(1));
        QVERIFY(!update->isEnabled() && !selector->isEnabled() && !refresh->isEnabled());
        const QImage busy[] = {update->grab().toImage(), selector->grab().toImage(), refresh->grab().toImage()};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(busy[i] != idle[i], qPrintable(QStringLiteral("control %1 looks as when it acts").arg(i)));
        QVERIFY(colours(update).contains(QColor(190, 190, 204).rgb()));
        QVERIFY(!colours(update).contains(QColor(0x24, 0x86, 0xf9).rgb()));
        QVERIFY2(colours(selector).contains(dimmed.rgb()), "the disk's name is not dimmed");
        QVERIFY2(colours(refresh).contains(dimmed.rgb()), "刷新 is not dimmed");

        gate.update([&](int) { released = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!win.devices().transferring(), 20000);
        QVERIFY(listed(win));
        QTRY_VERIFY(update->isEnabled() && selector->isEnabled() && refresh->isEnabled());
        QCOMPARE(update->grab().toImage(), idle[0]);
        QCOMPARE(selector->grab().toImage(), idle[1]);
        QCOMPARE(refresh->grab().toImage(), idle[2]);
        QVERIFY(!gate.forced());
    }
};

QTEST_MAIN(TransferTest)
#include "tst_transfer.moc"
