// The tray's watch on a simulated fleet, with the desktop's notification
// service played by a stub on the private session bus this test runs on
// (dbus-run-session): samples of every reading in the database, one
// notification per change with its Chinese text, a click that opens the
// window on the drive, drives in standby left asleep, a damaged database
// set aside with one message, the interval menu kept in the settings.

#include "app/MainWin.h"
#include "app/TrayWatch.h"
#include "disk/StorageBackend.h"
#include "history/HealthStore.h"
#include "worker/DeviceWorker.h"

#include <QAction>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";

class TestWin : public MainWin {
public:
    TestWin() : MainWin(nullptr, false) {}

protected:
    void endProcess(int) override {}
};

}  // namespace

// The notification service: records what it is asked to show.
class NotificationStub : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint id;
        QString summary, body;
        QStringList actions;
    };
    QList<Shown> shown;

    int count(const QString& body) const
    {
        int n = 0;
        for (const Shown& one : shown)
            n += one.body == body;
        return n;
    }
    const Shown* find(const QString& body) const
    {
        for (const Shown& one : shown) {
            if (one.body == body)
                return &one;
        }
        return nullptr;
    }

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int)
    {
        const uint id = static_cast<uint>(shown.size()) + 1;
        shown.append({id, summary, body, actions});
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    void CloseNotification(uint) {}
};

class HealthWatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString fleetPath, logPath;
    NotificationStub stub;
    QDBusConnection stubBus{QStringLiteral("none")};
    TestWin* win = nullptr;
    TrayWatch* watch = nullptr;
    // Every reading recorded since the window was made, and every reading.
    QSignalSpy* readings = nullptr;
    int lists = 0;

    void writeFleet(int life, int badBlocks)
    {
        QFile file(fleetPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral(R"({"drives": [
          {"number": 0, "length": 1073741824, "volumes": [{"letter": "C", "total": 1073741824, "free": 0}],
           "identity": {"serial": "SYS0", "model": "System", "firmware": "1"}},
          {"number": 1, "length": 128035676160,
           "identity": {"serial": "QV1", "model": "QY-M7A0-128G", "firmware": "1"},
           "smart": {"attributes": [{"id": 231, "value": %1, "raw": 0}, {"id": 169, "raw": %2}]}},
          {"number": 2, "length": 1073741824, "power": "standby",
           "identity": {"serial": "SLEEPY", "model": "Sleepy Disk", "firmware": "1"}},
          {"number": 3, "length": 1073741824, "identity": {"serial": "OT3", "model": "Other Disk", "firmware": "1"}}
        ]})")
                       .arg(life)
                       .arg(badBlocks << 16)
                       .toUtf8());
    }
    static int samplesOf(const char* model, const char* serial)
    {
        std::string error;
        const auto store = history::HealthStore::Open(*history::HealthStore::DefaultFile(), error);
        if (!store)
            return -1;
        const auto drive = store->DriveOf({model, serial, ""});
        return drive ? static_cast<int>(drive->samples) : 0;
    }
    QStringList logLinesOfDrive(int drive, int from) const
    {
        QFile file(logPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QStringList found;
        for (int k = from; k < lines.size(); ++k) {
            if (lines[k].startsWith(QStringLiteral("drive=%1 ").arg(drive)))
                found << lines[k];
        }
        return found;
    }
    int logLength() const
    {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).size()
                                              : 0;
    }
    QString bodies() const
    {
        QStringList all;
        for (const auto& one : stub.shown)
            all << one.summary + QStringLiteral(": ") + one.body;
        return all.join('\n');
    }
    // Waits for `readings` more readings to be recorded.
    bool recorded(int readings)
    {
        QSignalSpy spy(watch, &TrayWatch::recorded);
        return QTest::qWaitFor([&] { return spy.count() >= readings; }, 20000);
    }

    // Waits until no reading runs or waits to run and every reading is recorded.
    bool quiet()
    {
        return QTest::qWaitFor(
            [&] { return !win->devices().readingDisks() && readings->count() == lists; }, 20000);
    }

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus of its own: run under dbus-run-session");
        stubBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stub"));
        QVERIFY(stubBus.registerObject(QString::fromLatin1(kPath), &stub, QDBusConnection::ExportAllSlots));
        QVERIFY2(stubBus.registerService(QString::fromLatin1(kService)),
                 "the bus already has a notification service: run under dbus-run-session");

        QVERIFY(dir.isValid());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        // A second between two readings of the watch.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("config/quillfence"))));
        QFile settings(dir.filePath(QStringLiteral("config/quillfence/settings")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("watch-interval=1\n");
        settings.close();
        // A damaged database from before.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("data/quillfence"))));
        QFile damaged(dir.filePath(QStringLiteral("data/quillfence/health.db")));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(6000, 'z'));
        damaged.close();

        fleetPath = dir.filePath(QStringLiteral("fleet.json"));
        logPath = dir.filePath(QStringLiteral("device.log"));
        writeFleet(90, 3);
        qputenv(kDevicesVariable, fleetPath.toUtf8());
        qputenv("QUILLFENCE_DEVICE_LOG", logPath.toUtf8());
        selectStorageFromEnvironment();

        win = new TestWin;
        watch = win->findChild<TrayWatch*>();
        QVERIFY(watch);
        readings = new QSignalSpy(watch, &TrayWatch::recorded);
        connect(&win->devices(), &DeviceWorker::diskListRead, this, [this] { ++lists; });
        win->show();
    }

    void cleanupTestCase()
    {
        delete readings;
        delete win;
    }

    void aDamagedDatabaseIsSetAsideWithOneMessage()
    {
        const QString said = QStringLiteral("健康历史数据库已损坏，已改名为 %1 保留，并已新建数据库。");
        // The test opens the database only after the window did.
        QVERIFY(QTest::qWaitFor([&] { return readings->count() >= 1; }, 20000));
        QCOMPARE(samplesOf("QY-M7A0-128G", "QV1"), 1);
        const QStringList aside = QDir(dir.filePath(QStringLiteral("data/quillfence")))
                                      .entryList({QStringLiteral("health.db.damaged-*")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile kept(dir.filePath(QStringLiteral("data/quillfence/")) + aside[0]);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(6000, 'z'));
        const QString body = said.arg(kept.fileName());
        QVERIFY2(QTest::qWaitFor([&] { return stub.count(body) == 1; }, 20000), qPrintable(bodies()));
        QVERIFY(recorded(2));
        QCOMPARE(stub.count(body), 1);
    }

    void everyReadingAddsASampleAtTheInterval()
    {
        QCOMPARE(watch->interval(), 1);
        const int before = samplesOf("QY-M7A0-128G", "QV1");
        const int other = samplesOf("Other Disk", "OT3");
        QVERIFY(recorded(2));
        QVERIFY(samplesOf("QY-M7A0-128G", "QV1") >= before + 2);
        QVERIFY(samplesOf("Other Disk", "OT3") >= other + 2);
    }

    void eachChangeIsNotifiedOnceWithItsText()
    {
        // The drive loses life and gains bad blocks while the window runs.
        writeFleet(25, 12);
        const QString level = QStringLiteral("健康指标由良好降为警告（剩余寿命25%）");
        const QString blocks = QStringLiteral("总坏块数由3增至12");
        QVERIFY(QTest::qWaitFor([&] { return stub.count(level) == 1 && stub.count(blocks) == 1; }, 20000));
        QCOMPARE(stub.find(level)->summary, QStringLiteral("QY-M7A0-128G（序列号 QV1）"));
        QCOMPARE(stub.find(blocks)->actions.value(0), QStringLiteral("default"));
        // Later checks find the same values: nothing more is said.
        QVERIFY(recorded(3));
        QCOMPARE(stub.count(level), 1);
        QCOMPARE(stub.count(blocks), 1);
        std::string error;
        const auto store = history::HealthStore::Open(*history::HealthStore::DefaultFile(), error);
        const auto drive = store->DriveOf({"QY-M7A0-128G", "QV1", ""});
        QVERIFY(drive);
        QCOMPARE(store->Events(drive->id, INT64_MIN).size(), size_t{2});
    }

    void aClickOpensTheWindowOnTheDrive()
    {
        auto* selector = win->findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
        QVERIFY(QTest::qWaitFor([&] { return selector->count() == 3; }, 20000));
        selector->setCurrentIndex(2);  // 物理磁盘3
        win->hide();
        const auto* shown = stub.find(QStringLiteral("总坏块数由3增至12"));
        QVERIFY(shown);
        QDBusMessage clicked = QDBusMessage::createSignal(QString::fromLatin1(kPath), QString::fromLatin1(kService),
                                                          QStringLiteral("ActionInvoked"));
        clicked << shown->id << QStringLiteral("default");
        QVERIFY(stubBus.send(clicked));
        QVERIFY(QTest::qWaitFor([&] { return win->isVisible(); }, 20000));
        QCOMPARE(selector->currentText(), QStringLiteral("物理磁盘1  QY-M7A0-128G"));
    }

    void theIntervalChosenInTheMenuIsKept()
    {
        QList<QAction*> choices = watch->intervalActions();
        QCOMPARE(choices.size(), 5);
        QStringList texts;
        for (QAction* choice : choices)
            texts << choice->text();
        QCOMPARE(texts, (QStringList{"关闭", "15分钟", "1小时", "6小时", "1天"}));
        choices[1]->trigger();
        QCOMPARE(watch->interval(), 900);
        QVERIFY(choices[1]->isChecked());
        choices[0]->trigger();
        QCOMPARE(watch->interval(), 0);
        QFile settings(dir.filePath(QStringLiteral("config/quillfence/settings")));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), QByteArray("watch-interval=0\n"));
    }

    // The watch is off now: once the last reading of the watch is recorded,
    // the reading below is the only one.
    void aDriveInStandbyReceivesCheckPowerModeOnly()
    {
        QVERIFY(quiet());
        const int sleepySamples = samplesOf("Sleepy Disk", "SLEEPY");
        const int from = logLength();
        // The fleet as its file says, drive 2 spun down again, read as the
        // watch reads.
        QSignalSpy spy(watch, &TrayWatch::recorded);
        win->devices().readDiskList(true, false, true);
        QVERIFY(QTest::qWaitFor([&] { return spy.count() == 1; }, 20000));
        const QStringList lines = logLinesOfDrive(2, from);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("command=[0-9A-F]{12}E5")).match(lines[0]).hasMatch(),
                 qPrintable(lines[0]));
        QCOMPARE(samplesOf("Sleepy Disk", "SLEEPY"), sleepySamples);
        // The other drives were read and sampled.
        QVERIFY(!logLinesOfDrive(1, from).isEmpty());
        // The window still shows the sleeping drive as it was last read.
        auto* selector = win->findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
        QVERIFY(selector->findText(QStringLiteral("物理磁盘2  Sleepy Disk")) >= 0);
    }

    // 刷新 is a reading the user asked for: every drive is read, the one in
    // standby too, and each adds a sample.
    void aRefreshAddsASampleOfEveryDrive()
    {
        QVERIFY(quiet());
        const int maker = samplesOf("QY-M7A0-128G", "QV1");
        const int sleepy = samplesOf("Sleepy Disk", "SLEEPY");
        QSignalSpy spy(watch, &TrayWatch::recorded);
        win->findChild<QPushButton*>(QStringLiteral("btRefresh"))->click();
        QVERIFY(QTest::qWaitFor([&] { return spy.count() == 1; }, 20000));
        QCOMPARE(samplesOf("QY-M7A0-128G", "QV1"), maker + 1);
        QCOMPARE(samplesOf("Sleepy Disk", "SLEEPY"), sleepy + 1);
    }
};

QTEST_MAIN(HealthWatchTest)
#include "tst_healthwatch.moc"
