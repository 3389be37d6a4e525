// The history view: the range chosen decides the samples drawn and the
// alerts listed; the database is read off the GUI thread and a range chosen
// meanwhile wins; a drive without samples says so.

#include "SmartDiskBuilder.h"
#include "history/HealthStore.h"
#include "history/view/HealthHistoryView.h"
#include "history/view/HistoryChart.h"

#include <QSemaphore>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <cstring>

using smart::testing::RawAt;
using smart::testing::SmartDiskBuilder;

namespace {

constexpr qint64 kDay = 24 * 3600;
constexpr qint64 kSectorBytes = 512;

struct Reading {
    qint64 age;  // seconds before the test's start
    int life;
    int badBlocks;
    int temperature;
    qint64 sectorsWritten;
};

// Over a year ago, 40 and 10 days ago (the bad blocks grew), an hour ago
// (the health level fell from good to normal).
const Reading kReadings[] = {
    {400 * kDay, 95, 3, 31, 1000},
    {40 * kDay, 90, 3, 35, 2000},
    {10 * kDay, 88, 5, 41, 5000},
    {3600, 70, 5, 52, 9000},
};

history::HealthSample sampleOf(const Reading& reading, qint64 now)
{
    PhyDiskInfo disk = SmartDiskBuilder("QY-M7A0-128G", true)
                           .Attribute(0, 231, RawAt(0), static_cast<uint8_t>(reading.life))
                           .Attribute(1, 169, RawAt(static_cast<uint64_t>(reading.badBlocks), 2))
                           .Attribute(2, 194, RawAt(static_cast<uint64_t>(reading.temperature)))
                           .Attribute(3, 241, RawAt(static_cast<uint64_t>(reading.sectorsWritten)))
                           .Disk();
    disk.valid = 1;
    std::strcpy(disk.serialNumber, "QV1");
    return *history::SampleOf(disk, std::nullopt, now - reading.age);
}

// Holds the pool's only thread until released, so that a load asked for
// meanwhile can only wait.
class PoolHold {
public:
    PoolHold()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(1);
        QThreadPool::globalInstance()->start(QRunnable::create([this] {
            held_.release();
            gate_.acquire();
        }));
        held_.acquire();
    }
    ~PoolHold()
    {
        release();
        QThreadPool::globalInstance()->waitForDone();
        QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
    }
    void release()
    {
        if (!released_)
            gate_.release();
        released_ = true;
    }

private:
    QSemaphore held_, gate_;
    bool released_ = false;
};

}  // namespace

class HistoryViewTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    qint64 now = 0;
    history::DriveKey drive;

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", dir.path().toUtf8());
        std::string error;
        auto store = history::HealthStore::Open(*history::HealthStore::DefaultFile(), error);
        QVERIFY2(store, error.c_str());
        now = history::Now();
        for (const Reading& reading : kReadings)
            QVERIFY2(store->Record(sampleOf(reading, now), error), error.c_str());
        drive = sampleOf(kReadings[0], now).drive;
    }

    void theRangeChosenDecidesWhatIsShown_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("firstShown");  // of kReadings; the rest follow
        QTest::addColumn<QStringList>("events");  // the latest first

        const QString levelFell = QStringLiteral("健康指标由良好降为正常（剩余寿命70%）");
        const QString blocksGrew = QStringLiteral("总坏块数由3增至5");
        QTest::newRow("一周") << int(HealthHistoryView::Week) << 3 << QStringList{levelFell};
        QTest::newRow("一个月") << int(HealthHistoryView::Month) << 2 << QStringList{levelFell, blocksGrew};
        QTest::newRow("一年") << int(HealthHistoryView::Year) << 1 << QStringList{levelFell, blocksGrew};
        QTest::newRow("全部") << int(HealthHistoryView::Everything) << 0 << QStringList{levelFell, blocksGrew};
    }
    void theRangeChosenDecidesWhatIsShown()
    {
        QFETCH(int, range);
        QFETCH(int, firstShown);
        QFETCH(QStringList, events);

        HealthHistoryView view(drive, QStringLiteral("物理磁盘1  QY-M7A0-128G"));
        QVERIFY(QTest::qWaitFor([&] { return view.isLoaded(); }, 20000));
        QCOMPARE(view.range(), HealthHistoryView::Month);
        view.setRange(static_cast<HealthHistoryView::Range>(range));
        QVERIFY(!view.isLoaded());
        QVERIFY(QTest::qWaitFor([&] { return view.isLoaded(); }, 20000));

        // Each chart draws its own quantity of each sample in the range, oldest first.
        const int shown = static_cast<int>(std::size(kReadings)) - firstShown;
        for (int chart : {0, 1, 2})
            QCOMPARE(view.chart(chart)->points().size(), shown);
        for (int k = 0; k < shown; ++k) {
            const Reading& reading = kReadings[firstShown + k];
            QCOMPARE(view.chart(0)->points()[k].time, now - reading.age);
            QCOMPARE(view.chart(0)->points()[k].value, double(reading.life));
            QCOMPARE(view.chart(1)->points()[k].value, double(reading.temperature));
            QCOMPARE(view.chart(2)->points()[k].value, double(reading.sectorsWritten * kSectorBytes));
        }

        auto* table = view.findChild<QTableWidget*>(QStringLiteral("twEvents"));
        QVERIFY(table);
        QStringList listed;
        for (int row = 0; row < table->rowCount(); ++row)
            listed << table->item(row, 1)->text();
        QCOMPARE(listed, events);
        QCOMPARE(view.eventCount(), events.size());
        QCOMPARE(table->item(0, 0)->text(),
                 QDateTime::fromSecsSinceEpoch(now - 3600).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        QCOMPARE(view.noteText(), QStringLiteral("此期间有 %1 条健康警报。").arg(events.size()));
    }

    // While the database is being read the window goes on; a range chosen
    // meanwhile replaces the one asked for first, whose data is never shown.
    void theDatabaseIsReadOffTheGuiThread()
    {
        PoolHold hold;
        HealthHistoryView view(drive, QStringLiteral("物理磁盘1  QY-M7A0-128G"));
        QList<int> shown;  // the life points at each time the view said it was loaded
        connect(&view, &HealthHistoryView::loaded, [&] { shown << view.chart(0)->points().size(); });
        view.setRange(HealthHistoryView::Week);
        QCoreApplication::processEvents();
        QVERIFY(!view.isLoaded());
        QCOMPARE(view.noteText(), QStringLiteral("正在读取历史记录…"));
        QCOMPARE(view.chart(0)->points().size(), 0);

        hold.release();
        QVERIFY(QTest::qWaitFor([&] { return view.isLoaded(); }, 20000));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(shown, QList<int>{1});
        QCOMPARE(view.range(), HealthHistoryView::Week);
    }

    void aDriveWithoutSamplesSaysSo()
    {
        HealthHistoryView view({"QY-M7A0-128G", "NEW", ""}, QStringLiteral("物理磁盘2  QY-M7A0-128G"));
        QVERIFY(QTest::qWaitFor([&] { return view.isLoaded(); }, 20000));
        QCOMPARE(view.noteText(), QStringLiteral("尚无此磁盘的历史记录：程序每次读取磁盘时记下一次。"));
        for (int chart : {0, 1, 2})
            QVERIFY(view.chart(chart)->points().isEmpty());
        QCOMPARE(view.eventCount(), 0);
    }
};

QTEST_MAIN(HistoryViewTest)
#include "tst_historyview.moc"
